#include "UnitFileReading.h"

#include <filesystem>
#include <system_error>

namespace kelo {

FileOpening openUnitFile(const std::string& path, std::ifstream& file, std::uintmax_t& size) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) return FileOpening::missing;
    if (!std::filesystem::is_regular_file(status)) return FileOpening::notAFile;
    size = std::filesystem::file_size(path, error);
    if (error) return FileOpening::unreadable;
    file.open(path, std::ios::binary);
    return file ? FileOpening::opened : FileOpening::unreadable;
}

const char* describeOpening(FileOpening opening) {
    switch (opening) {
        case FileOpening::opened:
            return "is open";
        case FileOpening::missing:
            return "is missing";
        case FileOpening::notAFile:
            return "is not a file (a folder stands there, or a device)";
        case FileOpening::unreadable:
            return "cannot be read";
    }
    return "cannot be read";
}

bool readExactly(std::ifstream& file, void* target, std::size_t count) {
    // istream::read turns a failing read (a folder opened as a file, a disk
    // error) into a stream state instead of letting it throw.
    file.read(static_cast<char*>(target), static_cast<std::streamsize>(count));
    return static_cast<std::size_t>(file.gcount()) == count;
}

}  // namespace kelo
