#include "ColourChart.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <unordered_set>

#include "SourceError.h"

namespace kelo::colourdata {
namespace {

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string trimmed(const std::string& text) {
    std::size_t first = 0;
    std::size_t end = text.size();
    while (first < end && isBlank(text[first])) ++first;
    while (end > first && isBlank(text[end - 1])) --end;
    return text.substr(first, end - first);
}

std::optional<int> component(const std::string& token) {
    if (token.empty() || token.size() > 3) return std::nullopt;
    int value = 0;
    for (char c : token) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > 255) return std::nullopt;
    return value;
}

std::string onLine(int lineNumber) {
    return "line " + std::to_string(lineNumber) + ": ";
}

NamedColour parseEntry(const std::string& line, const std::string& source, int lineNumber) {
    std::istringstream words(line);
    int values[3] = {0, 0, 0};
    for (int& value : values) {
        std::string token;
        words >> token;
        const std::optional<int> parsed = component(token);
        if (!parsed) {
            throw SourceError(source, onLine(lineNumber) + "\"" + token +
                                          "\" is not a colour component from 0 to 255");
        }
        value = *parsed;
    }
    std::string rest;
    std::getline(words, rest);
    NamedColour colour;
    colour.name = trimmed(rest);
    if (colour.name.empty())
        throw SourceError(source, onLine(lineNumber) + "no colour name after the components");
    if (colour.name.find(',') != std::string::npos) {
        throw SourceError(source, onLine(lineNumber) + "the colour name \"" + colour.name +
                                      "\" holds a comma, the chart's separator");
    }
    colour.red = values[0];
    colour.green = values[1];
    colour.blue = values[2];
    return colour;
}

// Lower case without blanks: "Ghost White", "ghostwhite" and "GhostWhite"
// are one colour.
std::string spellingKey(const std::string& name) {
    std::string key;
    for (char c : name) {
        if (!isBlank(c)) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return key;
}

}  // namespace

std::vector<NamedColour> parseColourNames(std::istream& text, const std::string& sourceName) {
    std::vector<NamedColour> colours;
    std::string line;
    int lineNumber = 0;
    while (std::getline(text, line)) {
        ++lineNumber;
        const std::string content = trimmed(line);
        if (content.empty() || content.front() == '!') continue;
        colours.push_back(parseEntry(content, sourceName, lineNumber));
    }
    if (colours.empty()) throw SourceError(sourceName, "holds no colour names");
    return colours;
}

std::vector<NamedColour> readColourNames(const std::filesystem::path& file) {
    std::ifstream text(file);
    if (!text)
        throw SourceError(file.string(), std::string("cannot be read: ") + std::strerror(errno));
    return parseColourNames(text, file.string());
}

std::vector<NamedColour> firstSpellings(const std::vector<NamedColour>& colours) {
    std::vector<NamedColour> kept;
    std::unordered_set<std::string> seen;
    for (const NamedColour& colour : colours) {
        if (seen.insert(spellingKey(colour.name)).second) kept.push_back(colour);
    }
    return kept;
}

std::string chartText(const std::vector<NamedColour>& colours) {
    std::string text;
    for (const NamedColour& colour : colours) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02x%02x%02x", colour.red, colour.green, colour.blue);
        text += colour.name + "," + hex + "\n";
    }
    return text;
}

}  // namespace kelo::colourdata
