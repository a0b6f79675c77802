// The simulator's settings from the environment at SDK start.
#include <gtest/gtest.h>

#include <cstdlib>

#include "OutputCapture.h"
#include "simcam/SimulatorControl.h"

namespace kelo::simcam {
namespace {

const char* const kVariables[] = {"KELO_SIM_CAMERAS", "KELO_SIM_SCENE", "KELO_SIM_NOISE",
                                  "KELO_SIM_SEED"};

// Clears the simulator's variables for a test and captures standard error.
class SimulatorEnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kVariables) unsetenv(name);
    }
    void TearDown() override {
        for (const char* name : kVariables) unsetenv(name);
    }

    kelo::test::OutputCapture output;
};

TEST_F(SimulatorEnvironmentTest, UnsetVariablesGiveTheDefaultCamera) {
    const SimulatorSettings settings = settingsFromEnvironment();
    ASSERT_EQ(settings.cameras.size(), 1u);
    EXPECT_EQ(settings.cameras[0].serialNumber, "40012345");
    EXPECT_EQ(settings.cameras[0].userDefinedName, "K3S00042");
    EXPECT_EQ(settings.scene, "fluorescent");
    EXPECT_TRUE(settings.noise);
    EXPECT_EQ(output.stdErr(), "");
}

TEST_F(SimulatorEnvironmentTest, WellFormedVariablesAreTaken) {
    setenv("KELO_SIM_CAMERAS", "111:K3S00001,222:K3S00002,333:K3S00003", 1);
    setenv("KELO_SIM_SCENE", "laser532", 1);
    setenv("KELO_SIM_NOISE", "0", 1);
    setenv("KELO_SIM_SEED", "18446744073709551615", 1);
    const SimulatorSettings settings = settingsFromEnvironment();
    ASSERT_EQ(settings.cameras.size(), 3u);
    EXPECT_EQ(settings.cameras[1].serialNumber, "222");
    EXPECT_EQ(settings.cameras[2].userDefinedName, "K3S00003");
    EXPECT_EQ(settings.scene, "laser532");
    EXPECT_FALSE(settings.noise);
    EXPECT_EQ(settings.seed, 18446744073709551615ull);
    EXPECT_EQ(output.stdErr(), "");
}

TEST_F(SimulatorEnvironmentTest, AnEmptyCameraListAttachesNoCamera) {
    setenv("KELO_SIM_CAMERAS", "", 1);
    EXPECT_TRUE(settingsFromEnvironment().cameras.empty());
}

TEST_F(SimulatorEnvironmentTest, MalformedVariablesAreReportedAndKeepTheirDefaults) {
    const char* const malformedCameras[] = {"40012345", "40012345:", ":K3S00042",
                                            "1:A,1:B",  "1:A,",      "1:A:B"};
    for (const char* cameras : malformedCameras) {
        output.clear();
        setenv("KELO_SIM_CAMERAS", cameras, 1);
        const SimulatorSettings settings = settingsFromEnvironment();
        ASSERT_EQ(settings.cameras.size(), 1u) << cameras;
        EXPECT_EQ(settings.cameras[0].serialNumber, "40012345") << cameras;
        EXPECT_NE(output.stdErr().find("KELO_SIM_CAMERAS"), std::string::npos) << cameras;
    }
    unsetenv("KELO_SIM_CAMERAS");
    setenv("KELO_SIM_SCENE", "moonlight", 1);
    setenv("KELO_SIM_NOISE", "yes", 1);
    setenv("KELO_SIM_SEED", "-3", 1);
    output.clear();
    const SimulatorSettings settings = settingsFromEnvironment();
    EXPECT_EQ(settings.scene, "fluorescent");
    EXPECT_TRUE(settings.noise);
    EXPECT_EQ(settings.seed, SimulatorSettings{}.seed);
    for (const char* name : {"KELO_SIM_SCENE", "KELO_SIM_NOISE", "KELO_SIM_SEED"})
        EXPECT_NE(output.stdErr().find(name), std::string::npos) << name;
    setenv("KELO_SIM_SEED", "99999999999999999999", 1);
    EXPECT_EQ(settingsFromEnvironment().seed, SimulatorSettings{}.seed);
}

}  // namespace
}  // namespace kelo::simcam
