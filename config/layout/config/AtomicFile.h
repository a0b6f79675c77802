// Replacing a file so that a failed write never destroys the good one.
//
// Header-only: the updater program shares it without linking the
// application's libraries.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kelo {

// Writes `size` bytes to a temporary file beside `target`, flushes it to the
// disk and renames it over `target`. On any failure the temporary file is
// removed, `target` is left as it was, and the returned text says what went
// wrong; on success the returned text is empty.
inline std::string replaceFileContents(const std::filesystem::path& target, const void* data,
                                       std::size_t size) {
    std::filesystem::path temporary = target;
    temporary += ".part";

    std::FILE* file = std::fopen(temporary.string().c_str(), "wb");
    if (!file) return "cannot create " + temporary.string() + ": " + std::strerror(errno);

    bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    int writeError = written ? 0 : errno;
    if (written && std::fflush(file) != 0) {
        written = false;
        writeError = errno;
    }
#ifndef _WIN32
    if (written && ::fsync(fileno(file)) != 0) {
        written = false;
        writeError = errno;
    }
#endif
    if (std::fclose(file) != 0 && written) {
        written = false;
        writeError = errno;
    }

    std::error_code ignored;
    if (written && std::filesystem::exists(target, ignored)) {
        // The new contents take the place of the old with its permissions.
        std::error_code permissionError;
        std::filesystem::permissions(temporary, std::filesystem::status(target).permissions(),
                                     permissionError);
    }
    if (!written) {
        std::filesystem::remove(temporary, ignored);
        return "cannot write " + temporary.string() + ": " + std::strerror(writeError);
    }
    std::error_code renameError;
    std::filesystem::rename(temporary, target, renameError);
    if (renameError) {
        std::filesystem::remove(temporary, ignored);
        return "cannot replace " + target.string() + ": " + renameError.message();
    }
    return {};
}

}  // namespace kelo
