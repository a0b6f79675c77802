#include "DataWriter.h"

#include <config/AtomicFile.h>

#include <cstdio>
#include <stdexcept>
#include <system_error>

namespace kelo::colourdata {

std::string spectralRows(int firstNm, const std::vector<std::vector<double>>& columns) {
    const std::size_t rows = columns.empty() ? 0 : columns.front().size();
    std::string text;
    char number[32];
    for (std::size_t row = 0; row < rows; ++row) {
        text += std::to_string(firstNm + static_cast<int>(row));
        for (const std::vector<double>& column : columns) {
            std::snprintf(number, sizeof number, " %.10g", column.at(row));
            text += number;
        }
        text += '\n';
    }
    return text;
}

void writeDataFiles(const std::filesystem::path& folder, const std::vector<DataFile>& files) {
    std::error_code folderError;
    std::filesystem::create_directories(folder, folderError);
    if (folderError) {
        throw std::runtime_error("cannot create " + folder.string() + ": " + folderError.message());
    }
    for (const DataFile& file : files) {
        const std::string error =
            replaceFileContents(folder / file.name, file.contents.data(), file.contents.size());
        if (!error.empty()) throw std::runtime_error(error);
    }
}

}  // namespace kelo::colourdata
