// Command-line words of one kelo command: positional words, options that take
// a value ("--root DIR") and flags ("--full").
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kelo::cli {

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
    // that is not entirely a number is an error naming the option.
    std::optional<double> number(const std::string& name, double fallback,
                                 std::string& error) const;
    // The value of a numeric option that has no default: empty when it is
    // absent, or when it is not a number (then with `error` set).
    std::optional<double> optionalNumber(const std::string& name, std::string& error) const;
    std::optional<unsigned long long> wholeNumber(const std::string& name,
                                                  unsigned long long fallback,
                                                  std::string& error) const;

private:
    std::vector<std::string> positionalWords;
    std::map<std::string, std::string> optionValues;
    std::set<std::string> givenFlags;
};

}  // namespace kelo::cli
