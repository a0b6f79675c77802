#include "InputFiles.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "NumberText.h"
#include "QuotedInput.h"
#include "config/AtomicFile.h"
#include "config/LittleEndian.h"

namespace kelo::cli {

namespace {

constexpr const char* kBlanks = " \t\r";

// `path` opened for reading when it is a regular file; nothing, with `error`
// set, otherwise.
std::optional<std::ifstream> openRegularFile(const std::string& path, std::ios::openmode mode,
                                             std::string& error) {
    if (const std::string problem = regularFileProblem(path); !problem.empty()) {
        error = kelo::echoed(path) + " " + problem;
        return std::nullopt;
    }
    std::ifstream file(path, mode);
    if (!file) {
        error = kelo::echoed(path) + ": cannot be opened";
        return std::nullopt;
    }
    return file;
}

std::string trimmed(const std::string& line) {
    const std::size_t first = line.find_first_not_of(kBlanks);
    if (first == std::string::npos) return {};
    return line.substr(first, line.find_last_not_of(kBlanks) - first + 1);
}

// "<path>: line <n>: " before what is wrong on that line.
std::string atLine(const std::string& path, std::size_t lineNumber) {
    return kelo::echoed(path) + ": line " + std::to_string(lineNumber) + ": ";
}

// `text` as a finite number from `low` to `high` (`what` names such a
// number in the refusal); nothing, with `reason` set, otherwise.
std::optional<double> boundedNumber(const std::string& text, double low, double high,
                                    const char* what, std::string& reason) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, value);
    if (stop != end || failure == std::errc::invalid_argument)
        reason = quotedInput(text) + " is not a number";
    else if (failure == std::errc::result_out_of_range)
        reason = quotedInput(text) + " is beyond what a number can hold";
    else if (!std::isfinite(value))
        reason = quotedInput(text) + " is not a finite number";
    else if (value < low || value > high)
        reason = quotedInput(text) + " is outside " + numberText(low) + " to " + numberText(high) +
                 ", the range of " + what;
    else
        return value;
    return std::nullopt;
}

// Calls `take(lineNumber, text)` for every line of `file` that is not
// blank, with the blanks around it removed, until `take` returns false.
// False when that happened or the file could not be read to its end (then
// `error` says so).
template <class Take>
bool forEachValueLine(std::ifstream& file, const std::string& path, std::string& error, Take take) {
    std::string line;
    for (std::size_t lineNumber = 1; std::getline(file, line); ++lineNumber) {
        const std::string text = trimmed(line);
        if (!text.empty() && !take(lineNumber, text)) return false;
    }
    if (file.bad()) {
        error = kelo::echoed(path) + ": read error";
        return false;
    }
    return true;
}

struct ReflectanceSample {
    double wavelength = 0.0;
    double value = 0.0;
};

// The wavelength and the value of a line "wavelength value"; nothing, with
// `reason` set, when the line is not two numbers within their bounds.
std::optional<ReflectanceSample> reflectanceSample(const std::string& text, std::string& reason) {
    const std::size_t gap = text.find_first_of(kBlanks);
    const std::string valueText = gap == std::string::npos ? "" : trimmed(text.substr(gap));
    if (valueText.empty() || valueText.find_first_of(kBlanks) != std::string::npos) {
        reason = quotedInput(text) + " is not \"wavelength value\"";
        return std::nullopt;
    }
    const std::optional<double> wavelength =
        boundedNumber(text.substr(0, gap), kShortestWavelengthNm, kLongestWavelengthNm,
                      "a wavelength (nm)", reason);
    if (!wavelength) return std::nullopt;
    const std::optional<double> value =
        boundedNumber(valueText, 0.0, kLargestReflectance, "a reflectance", reason);
    if (!value) return std::nullopt;
    return ReflectanceSample{*wavelength, *value};
}

}  // namespace

std::optional<Frame> readFrameFile(const std::string& path, std::uint32_t width,
                                   std::uint32_t height, std::string& error) {
    std::optional<std::ifstream> file = openRegularFile(path, std::ios::binary, error);
    if (!file) return std::nullopt;
    const std::uintmax_t expected = std::uintmax_t(width) * height * 2;
    std::error_code sizeError;
    const std::uintmax_t size = std::filesystem::file_size(path, sizeError);
    if (sizeError) {
        error = kelo::echoed(path) + ": read error";
        return std::nullopt;
    }
    if (size != expected) {
        error = kelo::echoed(path) + ": " + std::to_string(size) + " bytes, but a frame of " +
                std::to_string(width) + " x " + std::to_string(height) + " 16-bit pixels has " +
                std::to_string(expected);
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(expected);
    file->read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(expected));
    if (static_cast<std::uintmax_t>(file->gcount()) != expected) {
        error = kelo::echoed(path) + ": read error";
        return std::nullopt;
    }
    Frame frame(expected / 2);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = loadLittleEndian<std::uint16_t>(bytes.data() + 2 * i);
    return frame;
}

std::optional<std::vector<double>> readCellFile(const std::string& path, std::size_t count,
                                                std::string& error) {
    std::optional<std::ifstream> file = openRegularFile(path, std::ios::in, error);
    if (!file) return std::nullopt;
    const std::string cellsText = std::to_string(count) + " cells";
    std::vector<double> cells;
    const bool read =
        forEachValueLine(*file, path, error, [&](std::size_t lineNumber, const std::string& text) {
            if (cells.size() == count) {
                error = kelo::echoed(path) + ": more than " + std::to_string(count) +
                        " values, but the unit has " + cellsText;
                return false;
            }
            std::string reason;
            const auto value = boundedNumber(text, 0.0, kLargestCellValue, "a cell value", reason);
            if (!value) {
                error = atLine(path, lineNumber) + reason;
                return false;
            }
            cells.push_back(*value);
            return true;
        });
    if (!read) return std::nullopt;
    if (cells.size() != count) {
        error = kelo::echoed(path) + ": " + std::to_string(cells.size()) +
                " values, but the unit has " + cellsText;
        return std::nullopt;
    }
    return cells;
}

std::optional<Reflectance> readReflectanceFile(const std::string& path, std::string& error) {
    std::optional<std::ifstream> file = openRegularFile(path, std::ios::in, error);
    if (!file) return std::nullopt;
    Reflectance reflectance;
    const bool read =
        forEachValueLine(*file, path, error, [&](std::size_t lineNumber, const std::string& text) {
            std::string reason;
            const std::optional<ReflectanceSample> sample = reflectanceSample(text, reason);
            if (sample && !reflectance.wavelengths.empty() &&
                sample->wavelength != reflectance.wavelengths.back() + 1)
                reason = "the wavelengths must follow each other by 1 nm";
            if (!reason.empty()) {
                error = atLine(path, lineNumber) + reason;
                return false;
            }
            reflectance.wavelengths.push_back(sample->wavelength);
            reflectance.values.push_back(sample->value);
            return true;
        });
    if (!read) return std::nullopt;
    if (reflectance.values.empty()) {
        error = kelo::echoed(path) + ": no reflectance values";
        return std::nullopt;
    }
    return reflectance;
}

}  // namespace kelo::cli
