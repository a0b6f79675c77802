// Command-line words of one kelo command: positional words, options that take
// a value ("--root DIR") and flags ("--full"), and the numbers options give,
// each within the range its option accepts.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::cli {

// The values a numeric option accepts: from `low` to `high`, both included,
// or, with `lowIncluded` false, above `low` up to `high`. NaN is never in.
struct NumberRange {
    double low = 0.0;
    double high = 0.0;
    bool lowIncluded = true;

    bool contains(double value) const;
    // Empty when `value` is in range; otherwise the one line that refuses
    // it: "option NAME takes a number from LOW to HIGH, not VALUE".
    std::string refusal(const std::string& option, double value) const;
    // "a number from LOW to HIGH" or "a number above LOW up to HIGH".
    std::string text() const;
};

// The whole numbers from `low` to `high`, both included.
struct WholeNumberRange {
    unsigned long long low = 0;
    unsigned long long high = 0;

    // "a whole number from LOW to HIGH".
    std::string text() const;
};

class ArgumentList {
public:
    // Splits `words`. An option not in `valueOptions` or `flags`, or a value
    // option without its value, is an error: the result is empty and `error`
    // says which word was wrong.
    static std::optional<ArgumentList> parse(const std::vector<std::string>& words,
                                             const std::set<std::string>& valueOptions,
                                             const std::set<std::string>& flags,
                                             std::string& error);

    const std::vector<std::string>& positional() const { return positionalWords; }
    bool hasFlag(const std::string& name) const { return givenFlags.count(name) != 0; }
    std::optional<std::string> value(const std::string& name) const;

    // The value of a numeric option, or `fallback` when it is absent. A value
    // that is not entirely a number or lies outside `range` is refused: the
    // result is empty and `error` names the option and the range.
    std::optional<double> number(const std::string& name, double fallback, const NumberRange& range,
                                 std::string& error) const;
    // The value of a numeric option whose range is known only later (a
    // camera's limits; check it with NumberRange::refusal): empty when it is
    // absent, or when it is not a number (then with `error` set).
    std::optional<double> optionalNumber(const std::string& name, std::string& error) const;
    // As number, for whole numbers.
    std::optional<unsigned long long> wholeNumber(const std::string& name,
                                                  unsigned long long fallback,
                                                  const WholeNumberRange& range,
                                                  std::string& error) const;

private:
    std::vector<std::string> positionalWords;
    std::map<std::string, std::string> optionValues;
    std::set<std::string> givenFlags;
};

}  // namespace kelo::cli
