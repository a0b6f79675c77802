// What a saved spectrum file must look like, and what a failed save must
// leave behind: the checks behind the soak's count of lost or half-written
// files.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kelo::soak {

// The whole file; nothing when it cannot be read.
std::optional<std::string> fileContents(const std::filesystem::path& file);

// Empty when `file` is a complete spectrum file of `rows` data rows: its
// header through the BEGIN line, the column line, then exactly `rows` rows,
// each with two or more columns, the last ending with a newline. Otherwise
// what is wrong with it.
std::string spectrumFileProblem(const std::filesystem::path& file, std::size_t rows);

// The first temporary file a save left in `folder` (written beside the file
// it replaces, with ".part" added); empty when there is none.
std::string temporaryFileIn(const std::filesystem::path& folder);

// `file` as its folder's name and its own, for messages.
std::string shownName(const std::filesystem::path& file);

}  // namespace kelo::soak
