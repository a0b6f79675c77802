// kelo_soak run short, as make soak runs it long: three unplug cycles, one
// cancelled trigger wait, two aborted recordings and the saves failed by the
// injected write failure, with a hang deadline far beyond any slow machine.
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace kelo::test {
namespace {

bool hasLine(const std::string& text, const std::string& line) {
    for (const std::string& each : linesOf(text))
        if (each == line) return true;
    return false;
}

TEST(Soak, AShortSoakOfEveryFaultFindsNoCrashHangOrLostFile) {
    ScopedWorkDir dir;
    writeText(dir.path() / "reliability.md",
              "# Reliability\n\n## Fault soak\n\nold figures\n\n## Start-up\n\nkept\n");

    const ProcessResult refused = runProgram(KELO_SOAK_PROGRAM, {"--cycles", "0"}, dir.path());
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err,
              "kelo_soak: --cycles: expected a whole number from 1 to 100000, "
              "got \"0\"\n");

    const ProcessResult soak = runProgram(KELO_SOAK_PROGRAM,
                                          {"--cycles", "3", "--seed", "5", "--hang-seconds", "30",
                                           "--inject-write-failure", "--report", "reliability.md"},
                                          dir.path());
    ASSERT_EQ(soak.exitCode, 0) << soak.out << soak.err;
    const std::string report = readText(dir.path() / "reliability.md");
    for (const char* row : {
             "| Unplug and plug-in cycles | 3 |",
             "| Cancelled trigger waits | 1 |",
             "| Aborted recordings | 2 |",
             "| Saves failed into the read-only folder | 6 |",
             "| Saves failed into the full filesystem | 6 |",
             "| **Crashes** | 0 |",
             "| **Hangs over 30 s** | 0 |",
             "| **Lost or half-written files** | 0 |",
             "| Other faults (loop ends, set-ups, missing spectra, unreported failures) | 0 |",
             "Incidents: none.",
         })
        EXPECT_TRUE(hasLine(report, row)) << row << "\n" << report;
    EXPECT_NE(report.find("saves made to fail by injected"), std::string::npos) << report;

    // Only the soak's section was replaced.
    EXPECT_EQ(report.rfind("# Reliability\n\n## Fault soak\n\n", 0), 0u) << report;
    EXPECT_EQ(report.find("old figures"), std::string::npos);
    EXPECT_NE(report.find("\n\n## Start-up\n\nkept\n"), std::string::npos) << report;
    EXPECT_EQ(report.find("## Fault soak"), report.rfind("## Fault soak"));
}

}  // namespace
}  // namespace kelo::test
