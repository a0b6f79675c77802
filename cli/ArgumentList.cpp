#include "ArgumentList.h"

#include "NumberText.h"
#include "QuotedInput.h"

namespace kelo::cli {

namespace {

std::string takes(const std::string& option, const std::string& rangeText,
                  const std::string& given) {
    return "option " + option + " takes " + rangeText + ", not " + given;
}

}  // namespace

bool NumberRange::contains(double value) const {
    const bool aboveLow = lowIncluded ? value >= low : value > low;
    return aboveLow && value <= high;
}

std::string NumberRange::refusal(const std::string& option, double value) const {
    return contains(value) ? std::string() : takes(option, text(), numberText(value));
}

std::string NumberRange::text() const {
    return lowIncluded ? "a number from " + numberText(low) + " to " + numberText(high)
                       : "a number above " + numberText(low) + " up to " + numberText(high);
}

std::string WholeNumberRange::text() const {
    return "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
}

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
            error = "unknown option " + quotedInput(word);
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

std::optional<double> ArgumentList::number(const std::string& name, double fallback,
                                           const NumberRange& range, std::string& error) const {
    const auto text = value(name);
    if (!text) return fallback;
    const auto parsed = entireNumber<double>(*text);
    if (parsed && range.contains(*parsed)) return parsed;
    error = takes(name, range.text(), quotedInput(*text));
    return std::nullopt;
}

std::optional<double> ArgumentList::optionalNumber(const std::string& name,
                                                   std::string& error) const {
    const auto text = value(name);
    if (!text) return std::nullopt;
    const auto parsed = entireNumber<double>(*text);
    if (!parsed) error = "option " + name + " needs a number, not " + quotedInput(*text);
    return parsed;
}

std::optional<unsigned long long> ArgumentList::wholeNumber(const std::string& name,
                                                            unsigned long long fallback,
                                                            const WholeNumberRange& range,
                                                            std::string& error) const {
    const auto text = value(name);
    if (!text) return fallback;
    const auto parsed = entireNumber<unsigned long long>(*text);
    if (parsed && *parsed >= range.low && *parsed <= range.high) return parsed;
    error = takes(name, range.text(), quotedInput(*text));
    return std::nullopt;
}

}  // namespace kelo::cli
