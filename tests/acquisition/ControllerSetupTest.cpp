// Set-up of the controller, its factory, and every operation without a
// device.
#include <QSignalSpy>
#include <filesystem>

#include "AcquisitionFixture.h"
#include "acquisition/KelSpectroFactory.h"
#include "sim/SyntheticUnit.h"
#include "simcam/SimulatorControl.h"

namespace kelo::acquisitiontest {
namespace {

using Brevanta::KelSpectro;

TEST(ControllerWithoutDevice, InitDeviceFailsWithErrorCode3) {
    KelSpectro spectro("40012345", nullptr);
    EXPECT_FALSE(spectro.initDevice());
    EXPECT_EQ(spectro.getErrorCode(), 3);
}

TEST(ControllerWithoutDevice, EveryOperationAnswersEmptyAndNothingRuns) {
    KelSpectro spectro("40012345", nullptr);
    EXPECT_EQ(spectro.getUserDefinedName(), "");
    EXPECT_EQ(spectro.getExposureTime(), 0.0);
    EXPECT_EQ(spectro.getGain(), 0.0);
    EXPECT_EQ(spectro.getTriggerMode(), 0);
    EXPECT_EQ(spectro.getGrabExposureTime(), 0.0);
    EXPECT_EQ(spectro.getResultingFrameRate(), 0.0);
    EXPECT_FALSE(spectro.isConnected());
    EXPECT_FALSE(spectro.isGrabbing());
    EXPECT_FALSE(spectro.saveUserConfig());
    spectro.setExposureTime(1000.0);
    spectro.setGain(2.0);
    spectro.setTriggerMode(1);
    spectro.setFlashMode(1);
    spectro.setExposureAutoContinuous();
    spectro.setExposureAutoOff();
    spectro.setDevExposureTimeMin(10.0);
    spectro.setDevExposureTimeMax(1000.0);
    spectro.stopGrabbing();
    spectro.closeDevice();

    QSignalSpy spectra(&spectro, &KelSpectro::spectrumReady);
    std::vector<double> spectrum;
    bool saturated = false;
    EXPECT_FALSE(spectro.getSpectra(spectrum, saturated));
    EXPECT_FALSE(spectro.getSpectraC());
    EXPECT_FALSE(spectro.recordInterfero(3, 1));
    spectro.processRecordedInterfero();
    EXPECT_EQ(spectra.count(), 0);
    EXPECT_EQ(spectro.getErrorCode(), 0);
}

TEST(ControllerWithoutDevice, TheDefaultConstructedBaseHasNoProcessor) {
    KelSpectro base;
    EXPECT_FALSE(base.initDevice());
    EXPECT_TRUE(base.getWavelengths().empty());
    EXPECT_EQ(base.getRestrictedPointCount(), 0);
    base.setDarkSubtraction(true);
    EXPECT_FALSE(base.getDarkSubtraction());  // no processor to forward to
    base.clearDark();
    base.setRestrictedRange(false);
}

TEST(ControllerWithoutDevice, AveragesStayAtLeastOne) {
    KelSpectro spectro("40012345", nullptr);
    EXPECT_EQ(spectro.getAverages(), 1);
    spectro.setAverages(0);
    EXPECT_EQ(spectro.getAverages(), 1);
    spectro.setAverages(-7);
    EXPECT_EQ(spectro.getAverages(), 1);
    spectro.setAverages(16);
    EXPECT_EQ(spectro.getAverages(), 16);
}

class ControllerSetup : public AcquisitionTest {};

TEST_F(ControllerSetup, InitDeviceConfiguresTheCameraFromTheUnit) {
    std::unique_ptr<KelSpectro> spectro = openController();
    EXPECT_TRUE(spectro->isConnected());
    EXPECT_FALSE(spectro->isGrabbing());
    EXPECT_EQ(spectro->getUserDefinedName(), kUnitId);
    EXPECT_EQ(spectro->getTriggerMode(), 0);
    EXPECT_FALSE(spectro->getDarkSubtraction());
    EXPECT_FALSE(spectro->getGaussBlurMode());
    EXPECT_DOUBLE_EQ(spectro->getExposureTime(), kExposureUs);
    // Restricted mode at start-up: 1 nm steps over the working range.
    const std::vector<double> grid = spectro->getWavelengths();
    ASSERT_GE(grid.size(), 2u);
    ASSERT_EQ(static_cast<int>(grid.size()), spectro->getRestrictedPointCount());
    EXPECT_EQ(grid[1] - grid[0], 1.0);
    spectro->setRestrictedRange(false);
    EXPECT_GT(spectro->getWavelengths().size(), grid.size());
}

TEST_F(ControllerSetup, InitDeviceFailsWhenTheCalibrationCannotBeLoaded) {
    sim::SyntheticUnitOptions options;
    options.id = "K3S00077";
    options.root = folder();
    std::ostringstream log;
    ASSERT_EQ(sim::writeSyntheticUnit(options, log), "");
    Brevanta::KelDevice* device = attachCamera("K3S00077", "halogen");
    ASSERT_NE(device, nullptr);
    std::filesystem::remove(folder() / "cal" / "K3S00077" / "K3S00077-TrT.bin");

    KelSpectro spectro(serial, device);
    EXPECT_FALSE(spectro.initDevice());
    std::vector<double> spectrum;
    bool saturated = false;
    EXPECT_FALSE(spectro.getSpectra(spectrum, saturated));
}

TEST_F(ControllerSetup, InitDeviceFailsForAUnitWithoutConfiguration) {
    Brevanta::KelDevice* device = attachCamera("K3S00078", "halogen");
    ASSERT_NE(device, nullptr);
    KelSpectro spectro(serial, device);
    EXPECT_FALSE(spectro.initDevice());
    EXPECT_EQ(spectro.getErrorCode(), 0);
}

TEST_F(ControllerSetup, SaveUserConfigWritesTheCameraSettings) {
    std::unique_ptr<KelSpectro> spectro = openController();
    spectro->setExposureTime(3500.0);
    ASSERT_TRUE(spectro->saveUserConfig());
    const std::string text =
        kelo::test::readText(folder() / "cal" / kUnitId / (std::string(kUnitId) + "-cfgUsr.txt"));
    EXPECT_NE(text.find("3500"), std::string::npos) << text;
}

TEST_F(ControllerSetup, TheFactoryMakesAControllerForTheFirstCamera) {
    attachCamera(kUnitId, "halogen");
    KelSpectroFactory& factory = KelSpectroFactory::instance();
    std::vector<std::string> ids;
    ASSERT_TRUE(factory.init(ids));
    EXPECT_EQ(ids, std::vector<std::string>{serial});
    std::shared_ptr<KelSpectro> spectro = factory.createSpectro();
    ASSERT_NE(spectro, nullptr);
    EXPECT_EQ(spectro->getUserDefinedName(), kUnitId);
    std::string version;
    factory.softwareVersion(version);
    EXPECT_EQ(version, "2.0.3");
}

TEST_F(ControllerSetup, TheFactoryMakesNothingWithoutACamera) {
    simcam::SimulatorSettings none;
    none.cameras.clear();
    simcam::configure(none);
    std::vector<std::string> ids = {"stale"};
    EXPECT_FALSE(KelSpectroFactory::instance().init(ids));
    EXPECT_TRUE(ids.empty());
    EXPECT_EQ(KelSpectroFactory::instance().createSpectro(), nullptr);
}

}  // namespace
}  // namespace kelo::acquisitiontest
