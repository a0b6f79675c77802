// Writing the files of a unit below a root folder, one log line per file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace kelo::sim {

class UnitFolderWriter {
public:
    UnitFolderWriter(std::filesystem::path root, std::ostream& log);

    // Replaces root/relative with the bytes, creating its folders; a failed
    // write leaves the old file. Returns an empty text or what went wrong.
    std::string write(const std::string& relative, const void* data, std::size_t size) const;
    std::string write(const std::string& relative, const std::vector<std::uint8_t>& bytes) const;
    std::string write(const std::string& relative, const std::string& text) const;

    // Like write(), but an existing file is left as it is and logged as kept.
    std::string writeUnlessPresent(const std::string& relative, const std::string& text) const;

private:
    std::filesystem::path root;
    std::ostream& log;
};

}  // namespace kelo::sim
