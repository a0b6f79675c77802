#include "Soak.h"

#include <stdlib.h>

#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "ReportFile.h"
#include "Summary.h"
#include "Supervisor.h"
#include "Tally.h"
#include "WriteFailures.h"

namespace kelo::soak {

namespace {

enum ExitStatus { kClean = 0, kFaultsFound = 1, kNotRun = 2 };

std::filesystem::path makeWorkDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kelo-soak-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
}

double loadAverage() {
    double load = 0.0;
    std::ifstream("/proc/loadavg") >> load;
    return load;
}

std::string machineText(double loadAtStart) {
    std::ostringstream text;
    text << std::thread::hardware_concurrency() << " processors, load average " << loadAtStart
         << " at the start and " << loadAverage() << " at the end";
    return text.str();
}

std::string utcDate() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    char text[32] = {};
    if (::gmtime_r(&now, &utc) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &utc) == 0)
        return "an unknown date";
    return text;
}

// The cycles run and watched in `options.workDir`; false when the soak
// could not run them.
bool soakIn(SoakOptions& options, Tally& tally, std::string& method) {
    std::string note;
    const WriteFailureMethod wanted =
        options.injectWriteFailure ? WriteFailureMethod::Injected : WriteFailureMethod::Tmpfs;
    options.method = prepareFailureFolders(options.workDir, wanted, note);
    if (!note.empty())
        std::cout << "kelo_soak: " << note << "; the write failure is injected instead\n";
    std::cout << "kelo_soak: " << options.cycles << " cycles, seed " << options.seed
              << ", saves made to fail by " << methodName(options.method) << std::endl;
    Supervisor supervisor(options, tally);
    const bool ran = supervisor.run();
    method = supervisor.methodDescription();
    releaseFailureFolders(options.workDir, options.method);
    return ran;
}

}  // namespace

int runSoak(SoakOptions options) {
    // Known before the soak's minutes, not after them.
    const std::filesystem::path reportFolder =
        std::filesystem::absolute(options.reportFile).parent_path();
    if (!options.reportFile.empty() && !std::filesystem::is_directory(reportFolder)) {
        std::cerr << "kelo_soak: --report: the folder " << quoted(reportFolder.string())
                  << " does not exist\n";
        return kNotRun;
    }
    watchForInterrupt();
    const double loadAtStart = loadAverage();
    options.workDir = makeWorkDir();
    if (options.workDir.empty()) {
        std::cerr << "kelo_soak: cannot make a working folder in "
                  << std::filesystem::temp_directory_path() << "\n";
        return kNotRun;
    }
    Tally tally;
    std::string method;
    bool ran = false;
    try {
        ran = soakIn(options, tally, method);
    } catch (const std::filesystem::filesystem_error& error) {
        std::cerr << "kelo_soak: " << error.what() << "\n";
    }
    std::error_code ignored;
    std::filesystem::remove_all(options.workDir, ignored);
    if (!ran) return kNotRun;

    const std::string section =
        summarySection({options, method, utcDate(), machineText(loadAtStart)}, tally);
    std::cout << "\n" << section;
    if (!options.reportFile.empty()) {
        const std::string failure = writeSection(options.reportFile, section);
        if (!failure.empty()) {
            std::cerr << "kelo_soak: --report: " << failure << "\n";
            return kNotRun;
        }
        std::cout << "\nkelo_soak: written into " << options.reportFile << " under \""
                  << kSectionHeading << "\"\n";
    }
    return tally.clean() ? kClean : kFaultsFound;
}

}  // namespace kelo::soak
