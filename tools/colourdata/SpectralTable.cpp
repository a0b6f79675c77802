#include "SpectralTable.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

#include "SourceError.h"

namespace kelo::colourdata {
namespace {

struct Header {
    std::optional<double> startNm;
    std::optional<double> endNm;
    std::optional<long> bands;
    std::optional<long> sets;
};

// The whole token as a finite number, or nothing.
std::optional<double> toNumber(const std::string& token) {
    if (token.empty()) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(token.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string onLine(int lineNumber) {
    return "line " + std::to_string(lineNumber) + ": ";
}

double headerNumber(const std::string& keyword, std::istream& words, const std::string& source,
                    int lineNumber) {
    std::string token;
    words >> token;
    const std::optional<double> value = toNumber(token);
    if (!value) {
        throw SourceError(source,
                          onLine(lineNumber) + keyword + " has no number (\"" + token + "\")");
    }
    return *value;
}

long headerCount(const std::string& keyword, std::istream& words, const std::string& source,
                 int lineNumber, long least) {
    const double value = headerNumber(keyword, words, source, lineNumber);
    if (value != std::floor(value) || value < static_cast<double>(least) || value > 1e6) {
        throw SourceError(source, onLine(lineNumber) + keyword + " is not a whole number from " +
                                      std::to_string(least) + " up");
    }
    return static_cast<long>(value);
}

// Keywords other than the four the table needs are descriptive and skipped.
void readHeaderLine(const std::string& keyword, std::istream& words, Header& header,
                    const std::string& source, int lineNumber) {
    if (keyword == "SPECTRAL_START_NM") {
        header.startNm = headerNumber(keyword, words, source, lineNumber);
    } else if (keyword == "SPECTRAL_END_NM") {
        header.endNm = headerNumber(keyword, words, source, lineNumber);
    } else if (keyword == "SPECTRAL_BANDS") {
        header.bands = headerCount(keyword, words, source, lineNumber, 2);
    } else if (keyword == "NUMBER_OF_SETS") {
        header.sets = headerCount(keyword, words, source, lineNumber, 1);
    }
}

// Appends the numbers of one line inside the data block; true when the line
// closes the block.
bool readDataLine(std::istream& words, std::vector<double>& values, const std::string& source,
                  int lineNumber) {
    std::string token;
    while (words >> token) {
        if (token == "END_DATA") return true;
        const std::optional<double> value = toNumber(token);
        if (!value) {
            throw SourceError(source, onLine(lineNumber) + "\"" + token + "\" is not a number");
        }
        values.push_back(*value);
    }
    return false;
}

void requireHeader(const Header& header, const std::string& source) {
    const char* missing = !header.startNm ? "SPECTRAL_START_NM"
                          : !header.endNm ? "SPECTRAL_END_NM"
                          : !header.bands ? "SPECTRAL_BANDS"
                                          : nullptr;
    if (missing) throw SourceError(source, std::string("no ") + missing + " before BEGIN_DATA");
    if (*header.endNm <= *header.startNm) {
        throw SourceError(source, "SPECTRAL_END_NM is not above SPECTRAL_START_NM");
    }
}

std::vector<std::vector<double>> splitSets(const std::vector<double>& values, const Header& header,
                                           const std::string& source) {
    const std::size_t bands = static_cast<std::size_t>(*header.bands);
    if (values.empty()) throw SourceError(source, "no numbers between BEGIN_DATA and END_DATA");
    if (values.size() % bands != 0) {
        throw SourceError(source, "the data hold " + std::to_string(values.size()) +
                                      " numbers, not whole sets of " + std::to_string(bands) +
                                      " (SPECTRAL_BANDS)");
    }
    const std::size_t setCount = values.size() / bands;
    if (header.sets && static_cast<std::size_t>(*header.sets) != setCount) {
        throw SourceError(source, "the data hold " + std::to_string(setCount) +
                                      " sets, NUMBER_OF_SETS says " + std::to_string(*header.sets));
    }
    std::vector<std::vector<double>> sets;
    for (std::size_t first = 0; first < values.size(); first += bands)
        sets.emplace_back(values.begin() + first, values.begin() + first + bands);
    return sets;
}

}  // namespace

SpectralTable parseSpectralTable(std::istream& text, const std::string& sourceName) {
    Header header;
    std::vector<double> values;
    int lineNumber = 0;
    int dataLine = 0;
    bool dataEnded = false;
    std::string line;
    while (!dataEnded && std::getline(text, line)) {
        ++lineNumber;
        std::istringstream words(line);
        if (dataLine == 0) {
            std::string keyword;
            words >> keyword;
            if (keyword == "BEGIN_DATA") {
                requireHeader(header, sourceName);
                dataLine = lineNumber;
            } else {
                readHeaderLine(keyword, words, header, sourceName, lineNumber);
            }
        } else {
            dataEnded = readDataLine(words, values, sourceName, lineNumber);
        }
    }
    if (dataLine == 0) throw SourceError(sourceName, "no BEGIN_DATA line");
    if (!dataEnded) {
        throw SourceError(sourceName,
                          "no END_DATA after BEGIN_DATA on line " + std::to_string(dataLine));
    }

    SpectralTable table;
    table.startNm = *header.startNm;
    table.endNm = *header.endNm;
    table.sets = splitSets(values, header, sourceName);
    return table;
}

SpectralTable readSpectralTable(const std::filesystem::path& file) {
    std::ifstream text(file);
    if (!text)
        throw SourceError(file.string(), std::string("cannot be read: ") + std::strerror(errno));
    return parseSpectralTable(text, file.string());
}

}  // namespace kelo::colourdata
