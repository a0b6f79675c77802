#include "config/UserConfigFile.h"

#include <QDir>
#include <QStandardPaths>
#include <charconv>
#include <cstring>

namespace kelo {

namespace {

#ifdef _WIN32
constexpr const char* kLineBreak = "\r\n";  // the file has always been written in text mode
#else
constexpr const char* kLineBreak = "\n";
#endif

// "%lf": fixed notation, six decimals, whatever the process locale says.
std::string fixedSixDecimals(double value) {
    char text[400];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    return std::string(text, result.ptr);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Reads the file the way its fields were always read: whitespace-separated
// labels and numbers, a number that does not parse consuming nothing.
class UserFileCursor {
public:
    explicit UserFileCursor(const std::string& text) : text(text) {}

    std::string token() {
        skipBlanks();
        std::size_t start = position;
        while (position < text.size() && !isBlank(text[position])) ++position;
        return text.substr(start, position - start);
    }

    void number(double& value) {
        skipBlanks();
        std::size_t start = position;
        if (start < text.size() && text[start] == '+') ++start;
        const char* end = text.data() + text.size();
        double parsed = 0.0;
        auto result = std::from_chars(text.data() + start, end, parsed);
        if (result.ec == std::errc()) {
            value = parsed;
            position = static_cast<std::size_t>(result.ptr - text.data());
        }
    }

    // What follows on the current line, without surrounding blanks.
    std::string restOfLine() {
        std::size_t end = text.find('\n', position);
        if (end == std::string::npos) end = text.size();
        std::size_t first = position;
        while (first < end && isBlank(text[first])) ++first;
        std::size_t last = end;
        while (last > first && isBlank(text[last - 1])) --last;
        position = end;
        return text.substr(first, last - first);
    }

private:
    void skipBlanks() {
        while (position < text.size() && isBlank(text[position])) ++position;
    }

    const std::string& text;
    std::size_t position = 0;
};

}  // namespace

std::string formatUserConfig(const UserSettings& settings) {
    return "hwGain: " + fixedSixDecimals(settings.hwGain) + kLineBreak +
           "hwExposureTime: " + fixedSixDecimals(settings.hwExposureTime) + kLineBreak +
           "SaveDirPath: " + settings.saveDirPath;
}

void parseUserConfig(const std::string& text, UserSettings& settings) {
    UserFileCursor cursor(text);
    cursor.token();
    cursor.number(settings.hwGain);
    cursor.token();
    cursor.number(settings.hwExposureTime);
    const bool hasPathLabel = !cursor.token().empty();
    settings.saveDirPath = hasPathLabel ? cursor.restOfLine() : std::string();
}

std::optional<std::string> documentsFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) return std::nullopt;
    return QDir::fromNativeSeparators(folder).toStdString();
}

}  // namespace kelo
