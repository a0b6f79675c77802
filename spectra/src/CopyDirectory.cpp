// Copying a calibration folder the operator chose into the working folder.
// Existing files are never overwritten: they may be the unit's own.
#include <boost/filesystem.hpp>
#include <iostream>

#include "spectra/cSpectraUtility.h"

namespace fs = boost::filesystem;

namespace {

bool endsWithSeparator(const std::string& path) {
    return path.empty() || path.back() == '/' || path.back() == '\\';
}

bool copyTree(const fs::path& source, const fs::path& destination) {
    try {
        if (!fs::exists(source) || !fs::is_directory(source)) {
            std::cerr << "Source directory " << source.string()
                      << " does not exist or is not a directory." << std::endl;
            return false;
        }
        // Missing parents too: a fresh working folder has no cal/ yet.
        fs::create_directories(destination);
    } catch (const fs::filesystem_error& error) {
        std::cerr << error.what() << std::endl;
        return false;
    }
    boost::system::error_code listError;
    fs::directory_iterator entry(source, listError);
    for (const fs::directory_iterator end; !listError && entry != end; entry.increment(listError)) {
        const fs::path target = destination / entry->path().filename();
        try {
            if (fs::is_directory(entry->path())) {
                if (!copyTree(entry->path(), target)) return false;
            } else {
                fs::copy_file(entry->path(), target, fs::copy_options::none);
            }
        } catch (const fs::filesystem_error& error) {
            std::cerr << error.what() << std::endl;
        }
    }
    if (listError) {
        std::cerr << source.string() << ": " << listError.message() << std::endl;
        return false;
    }
    return true;
}

}  // namespace

bool cSpectraUtility::copyDirectory(const std::string& source, const std::string& destination) {
    if (endsWithSeparator(destination)) {
        std::cerr << "Destination directory \"" << destination << "\" has no name." << std::endl;
        return false;
    }
    return copyTree(source, destination);
}
