// The text of the spectral data files and the safe writing of all files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kelo::colourdata {

// One line per whole nm from firstNm: the wavelength, then the value of each
// column at it with "%.10g", single blanks between. The columns are of one
// length.
std::string spectralRows(int firstNm, const std::vector<std::vector<double>>& columns);

struct DataFile {
    std::string name;  // within the output folder
    std::string contents;
};

// Creates `folder` when missing and writes each file through a temporary
// file renamed into place, so a reader never sees a half-written file.
// Throws std::runtime_error naming the file that could not be written.
void writeDataFiles(const std::filesystem::path& folder, const std::vector<DataFile>& files);

}  // namespace kelo::colourdata
