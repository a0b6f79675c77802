#include "SoakOptions.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <sstream>

namespace kelo::soak {

namespace {

constexpr const char* kOptionList =
    "--cycles N, --seed S, --report FILE, --hang-seconds S, --inject-write-failure";

constexpr int kMaxCycles = 100000;
constexpr double kMaxHangSeconds = 600.0;
// A message never repeats more of the operator's input than this.
constexpr std::size_t kEchoLimit = 80;

std::string problem(const std::string& option, const std::string& expected,
                    const std::string& value) {
    return "kelo_soak: " + option + ": expected " + expected + ", got " + quoted(value);
}

template <typename Number>
bool readWhole(const std::string& text, Number low, Number high, Number& out) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || rest != end || value < low || value > high) return false;
    out = value;
    return true;
}

bool readSeconds(const std::string& text, double& out) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value) || value <= 0.0 ||
        value > kMaxHangSeconds)
        return false;
    out = value;
    return true;
}

// Reads the value of one option into `options`; false when it is not one.
using ValueReader = std::function<bool(const std::string&, SoakOptions&)>;

struct ValueOption {
    std::string expected;
    ValueReader read;
};

const std::map<std::string, ValueOption>& valueOptions() {
    static const std::map<std::string, ValueOption> options = {
        {"--cycles",
         {"a whole number from 1 to 100000",
          [](const std::string& v, SoakOptions& o) {
              return readWhole(v, 1, kMaxCycles, o.cycles);
          }}},
        {"--seed",
         {"a whole number from 0 to 18446744073709551615",
          [](const std::string& v, SoakOptions& o) {
              return readWhole(v, std::uint64_t{0}, std::numeric_limits<std::uint64_t>::max(),
                               o.seed);
          }}},
        {"--report",
         {"a file name",
          [](const std::string& v, SoakOptions& o) {
              o.reportFile = v;
              return !v.empty();
          }}},
        {"--hang-seconds",
         {"a number of seconds above 0 and at most 600",
          [](const std::string& v, SoakOptions& o) { return readSeconds(v, o.hangSeconds); }}},
        {"--instrument-fd",
         {"a file descriptor",
          [](const std::string& v, SoakOptions& o) {
              return readWhole(v, 0, std::numeric_limits<int>::max(), o.instrumentFd);
          }}},
        {"--work-dir",
         {"a folder",
          [](const std::string& v, SoakOptions& o) {
              o.workDir = v;
              return !v.empty();
          }}},
        {"--first-cycle",
         {"a whole number from 0 to 99999",
          [](const std::string& v, SoakOptions& o) {
              return readWhole(v, 0, kMaxCycles - 1, o.firstCycle);
          }}},
        {"--write-failure",
         {"tmpfs or injected",
          [](const std::string& v, SoakOptions& o) {
              const std::optional<WriteFailureMethod> method = methodNamed(v);
              if (method) o.method = *method;
              return method.has_value();
          }}},
    };
    return options;
}

}  // namespace

std::string quoted(const std::string& value) {
    const bool cut = value.size() > kEchoLimit;
    return "\"" + value.substr(0, kEchoLimit) + (cut ? "...\"" : "\"");
}

std::optional<SoakOptions> parseOptions(const std::vector<std::string>& arguments,
                                        std::string& error) {
    SoakOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--inject-write-failure") {
            options.injectWriteFailure = true;
            continue;
        }
        const auto found = valueOptions().find(name);
        if (found == valueOptions().end()) {
            error = "kelo_soak: unknown option " + quoted(name) + " (the options are " +
                    kOptionList + ")";
            return std::nullopt;
        }
        if (i + 1 == arguments.size()) {
            error = "kelo_soak: " + name + ": expected " + found->second.expected + ", got nothing";
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        if (!found->second.read(value, options)) {
            error = problem(name, found->second.expected, value);
            return std::nullopt;
        }
    }
    if (options.instrumentFd >= 0 && options.workDir.empty()) {
        error = "kelo_soak: --instrument-fd: expected --work-dir with it, got none";
        return std::nullopt;
    }
    return options;
}

std::vector<std::string> instrumentArguments(const SoakOptions& options, int fd, int firstCycle) {
    return {"--cycles",        std::to_string(options.cycles),
            "--seed",          std::to_string(options.seed),
            "--instrument-fd", std::to_string(fd),
            "--work-dir",      options.workDir.string(),
            "--first-cycle",   std::to_string(firstCycle),
            "--write-failure", methodName(options.method)};
}

std::string repeatCommand(const SoakOptions& options) {
    std::string command = "build/bin/kelo_soak --cycles " + std::to_string(options.cycles) +
                          " --seed " + std::to_string(options.seed);
    if (options.hangSeconds != SoakOptions().hangSeconds) {
        std::ostringstream seconds;
        seconds << options.hangSeconds;
        command += " --hang-seconds " + seconds.str();
    }
    if (options.injectWriteFailure) command += " --inject-write-failure";
    return command;
}

}  // namespace kelo::soak
