// Opening and reading a unit's files so that whatever stands at a path (a
// folder, a device, a file that cannot be read) comes back as a result the
// loaders name in their messages, never as an exception.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "config/EchoedText.h"

namespace kelo {

enum class FileOpening { opened, missing, notAFile, unreadable };

// Opens the regular file at `path` for binary reading and gives its length
// in `size`.
FileOpening openUnitFile(const std::string& path, std::ifstream& file, std::uintmax_t& size);

// What an opening other than `opened` says about the file, e.g. "is not a file".
const char* describeOpening(FileOpening opening);

// Reads exactly `count` bytes from the file's current place into `target`;
// false when fewer came.
bool readExactly(std::ifstream& file, void* target, std::size_t count);

}  // namespace kelo
