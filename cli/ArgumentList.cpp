#include "ArgumentList.h"

#include <charconv>

namespace kelo::cli {

std::optional<ArgumentList> ArgumentList::parse(const std::vector<std::string>& words,
                                                const std::set<std::string>& valueOptions,
                                                const std::set<std::string>& flags,
                                                std::string& error) {
    ArgumentList list;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.rfind("--", 0) != 0) {
            list.positionalWords.push_back(word);
        } else if (flags.count(word)) {
            list.givenFlags.insert(word);
        } else if (valueOptions.count(word)) {
            if (i + 1 == words.size()) {
                error = "option " + word + " needs a value";
                return std::nullopt;
            }
            list.optionValues[word] = words[++i];
        } else {
            error = "unknown option " + word;
            return std::nullopt;
        }
    }
    return list;
}

std::optional<std::string> ArgumentList::value(const std::string& name) const {
    auto found = optionValues.find(name);
    if (found == optionValues.end()) return std::nullopt;
    return found->second;
}

namespace {

template <class T>
std::optional<T> parseWhole(const std::string& text) {
    T parsed{};
    const char* end = text.data() + text.size();
    auto [stop, failure] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || failure != std::errc() || stop != end) return std::nullopt;
    return parsed;
}

}  // namespace

std::optional<double> ArgumentList::number(const std::string& name, double fallback,
                                           std::string& error) const {
    auto text = value(name);
    if (!text) return fallback;
    auto parsed = parseWhole<double>(*text);
    if (!parsed) error = "option " + name + " needs a number, not \"" + *text + "\"";
    return parsed;
}

std::optional<double> ArgumentList::optionalNumber(const std::string& name,
                                                   std::string& error) const {
    if (!value(name)) return std::nullopt;
    return number(name, 0.0, error);
}

std::optional<unsigned long long> ArgumentList::wholeNumber(const std::string& name,
                                                            unsigned long long fallback,
                                                            std::string& error) const {
    auto text = value(name);
    if (!text) return fallback;
    auto parsed = parseWhole<unsigned long long>(*text);
    if (!parsed) error = "option " + name + " needs a whole number, not \"" + *text + "\"";
    return parsed;
}

}  // namespace kelo::cli
