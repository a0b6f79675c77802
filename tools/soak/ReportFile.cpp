#include "ReportFile.h"

#include "SavedFiles.h"
#include "config/AtomicFile.h"

namespace kelo::soak {

namespace {

std::string firstLineOf(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// Where the line holding exactly `line` starts in `document`, at or after
// `from`; npos when none does.
std::size_t findLine(const std::string& document, const std::string& line, std::size_t from = 0) {
    for (std::size_t at = from; at < document.size();) {
        const std::size_t end = document.find('\n', at);
        const std::size_t length = (end == std::string::npos ? document.size() : end) - at;
        if (document.compare(at, length, line) == 0 && length == line.size()) return at;
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return std::string::npos;
}

// Where the next line beginning with "## " starts after `from`.
std::size_t nextHeading(const std::string& document, std::size_t from) {
    for (std::size_t at = document.find('\n', from); at != std::string::npos;
         at = document.find('\n', at + 1))
        if (document.compare(at + 1, 3, "## ") == 0) return at + 1;
    return document.size();
}

std::string endedWithBlankLine(const std::string& text) {
    if (text.empty()) return text;
    std::string ended = text;
    while (ended.size() < 2 || ended.compare(ended.size() - 2, 2, "\n\n") != 0) ended += "\n";
    return ended;
}

}  // namespace

std::string withSection(const std::string& document, const std::string& section) {
    const std::size_t start = findLine(document, firstLineOf(section));
    if (start == std::string::npos) return endedWithBlankLine(document) + section;
    const std::size_t end = nextHeading(document, start);
    const std::string rest = document.substr(end);
    const std::string replaced = rest.empty() ? section : endedWithBlankLine(section);
    return document.substr(0, start) + replaced + rest;
}

std::string writeSection(const std::filesystem::path& file, const std::string& section) {
    const std::optional<std::string> old = fileContents(file);
    std::error_code ignored;
    if (!old && std::filesystem::exists(file, ignored)) return "cannot read " + file.string();
    const std::string document = withSection(old.value_or(std::string()), section);
    return kelo::replaceFileContents(file, document.data(), document.size());
}

}  // namespace kelo::soak
