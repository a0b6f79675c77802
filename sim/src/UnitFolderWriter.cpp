#include "sim/UnitFolderWriter.h"

#include <system_error>

#include "config/AtomicFile.h"

namespace kelo::sim {

UnitFolderWriter::UnitFolderWriter(std::filesystem::path root, std::ostream& log)
    : root(std::move(root)), log(log) {}

std::string UnitFolderWriter::write(const std::string& relative, const void* data,
                                    std::size_t size) const {
    const std::filesystem::path target = root / relative;
    std::error_code failure;
    std::filesystem::create_directories(target.parent_path(), failure);
    if (failure)
        return "cannot create folder " + target.parent_path().string() + ": " + failure.message();
    std::string error = replaceFileContents(target, data, size);
    if (error.empty()) log << "wrote " << target.string() << " (" << size << " bytes)\n";
    return error;
}

std::string UnitFolderWriter::write(const std::string& relative,
                                    const std::vector<std::uint8_t>& bytes) const {
    return write(relative, bytes.data(), bytes.size());
}

std::string UnitFolderWriter::write(const std::string& relative, const std::string& text) const {
    return write(relative, text.data(), text.size());
}

std::string UnitFolderWriter::writeUnlessPresent(const std::string& relative,
                                                 const std::string& text) const {
    const std::filesystem::path target = root / relative;
    std::error_code ignored;
    if (!std::filesystem::exists(target, ignored)) return write(relative, text);
    log << "kept the existing " << target.string() << "\n";
    return {};
}

}  // namespace kelo::sim
