// Writing files safely: a file is only ever written where a regular file is
// or nothing is, and a replaced file is never left half-written.
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

// What keeps `path` from being written as a file, as a phrase to follow the
// path: empty when it names a regular file, a symbolic link that leads to
// one, or nothing; otherwise "is a directory", "is not a regular file" (a
// device, a pipe, a socket) or "is a symbolic link to nothing".
inline std::string regularFileProblem(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    // A path that cannot even be looked at (no permission) is left to the
    // opening, which reports why.
    const fs::file_type entry = fs::symlink_status(path, error).type();
    if (entry == fs::file_type::not_found || entry == fs::file_type::none) return {};
    switch (fs::status(path, error).type()) {
        case fs::file_type::regular:
        case fs::file_type::none:
            return {};
        case fs::file_type::directory:
            return "is a directory";
        case fs::file_type::not_found:
            return "is a symbolic link to nothing";
        default:
            return "is not a regular file";
    }
}

// Writes `size` bytes to a temporary file beside `target`, flushes it to the
// disk and renames it over `target`. A symbolic link to a regular file is
// followed: the file it leads to gets the new contents and the link stays.
// A `target` that regularFileProblem refuses is left alone. On any failure
// the temporary file is removed, `target` is left as it was, and the
// returned text says what went wrong; on success the returned text is empty.
inline std::string replaceFileContents(const std::filesystem::path& target, const void* data,
                                       std::size_t size) {
    namespace fs = std::filesystem;
    if (std::string problem = regularFileProblem(target); !problem.empty())
        return target.string() + " " + problem;
    std::error_code ignored;
    fs::path destination = target;
    if (fs::is_symlink(fs::symlink_status(target, ignored))) {
        std::error_code linkError;
        destination = fs::canonical(target, linkError);
        if (linkError) return "cannot follow " + target.string() + ": " + linkError.message();
    }
    fs::path temporary = destination;
    temporary += ".part";

    // A temporary file left by an interrupted write goes; anything else in
    // its place (a link, a device) stays, and the exclusive creation fails
    // rather than write through it.
    if (fs::is_regular_file(fs::symlink_status(temporary, ignored))) fs::remove(temporary, ignored);
    std::FILE* file = std::fopen(temporary.string().c_str(), "wbx");
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

    if (written && fs::exists(destination, ignored)) {
        // The new contents take the place of the old with its permissions.
        std::error_code permissionError;
        fs::permissions(temporary, fs::status(destination, ignored).permissions(), permissionError);
    }
    if (!written) {
        fs::remove(temporary, ignored);
        return "cannot write " + temporary.string() + ": " + std::strerror(writeError);
    }
    std::error_code renameError;
    fs::rename(temporary, destination, renameError);
    if (renameError) {
        fs::remove(temporary, ignored);
        return "cannot replace " + target.string() + ": " + renameError.message();
    }
    return {};
}

}  // namespace kelo
