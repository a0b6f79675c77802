#include "SavedFiles.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace kelo::soak {

namespace {

constexpr const char* kBeginLine = "# ---------------BEGIN--------------------";
constexpr const char* kColumnLineStart = "# Wavelength(nm)";
constexpr const char* kTemporarySuffix = ".part";

bool isDataRow(const std::string& line) {
    return !line.empty() && line.front() != '#' && line.find_first_of("\t,") != std::string::npos;
}

}  // namespace

std::optional<std::string> fileContents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string spectrumFileProblem(const std::filesystem::path& file, std::size_t rows) {
    const std::optional<std::string> text = fileContents(file);
    if (!text) return "missing";
    if (text->empty() || text->back() != '\n') return "does not end with a newline";
    std::istringstream lines(*text);
    std::string line;
    while (std::getline(lines, line) && line != kBeginLine) {
    }
    if (!lines) return "has no BEGIN line";
    if (!std::getline(lines, line) || line.rfind(kColumnLineStart, 0) != 0)
        return "has no column line after BEGIN";
    std::size_t found = 0;
    while (std::getline(lines, line)) {
        if (!isDataRow(line)) return "has a malformed row after " + std::to_string(found);
        ++found;
    }
    if (found != rows)
        return "has " + std::to_string(found) + " rows instead of " + std::to_string(rows);
    return {};
}

std::string temporaryFileIn(const std::filesystem::path& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const std::size_t suffix = std::char_traits<char>::length(kTemporarySuffix);
        if (name.size() > suffix &&
            name.compare(name.size() - suffix, suffix, kTemporarySuffix) == 0)
            return name;
    }
    return {};
}

std::string shownName(const std::filesystem::path& file) {
    return file.parent_path().filename().string() + "/" + file.filename().string();
}

}  // namespace kelo::soak
