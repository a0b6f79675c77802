// getSpectra: averaging, progress, dark, hardware trigger and the refusal of
// a second acquisition.
#include <QSignalSpy>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <sstream>

#include "AcquisitionFixture.h"
#include "device/KelDevice.h"
#include "engine/SpectralProcessor.h"
#include "simcam/SimulatorControl.h"

namespace kelo::acquisitiontest {
namespace {

using Brevanta::KelSpectro;

class SingleAcquisition : public AcquisitionTest {
protected:
    std::vector<double> spectrum;
    bool saturated = false;
};

std::vector<double> progressValues(const QSignalSpy& spy) {
    std::vector<double> values;
    for (const QList<QVariant>& arguments : spy) values.push_back(arguments.at(0).toDouble());
    return values;
}

TEST_F(SingleAcquisition, FourAveragesReportProgressAndPublishTheSpectrumOfTheMeanCells) {
    // The camera renders the same frame every time (noise off), so the mean
    // cell values are those of one frame, solved independently here.
    Brevanta::KelDevice* device = attachCamera(kUnitId, "halogen");
    ASSERT_NE(device, nullptr);
    KelSpectro spectro(serial, device);
    std::ostringstream referenceLog;
    SpectralProcessor reference(referenceLog);
    Frame frame;
    {
        kelo::test::OutputCapture quiet;
        ASSERT_TRUE(spectro.initDevice());
        spectro.setExposureTime(kExposureUs);
        ASSERT_TRUE(device->snap(frame));
        ASSERT_TRUE(reference.initialize(kUnitId));
    }
    std::vector<double> cells, expected;
    std::uint8_t expectedSaturated = 0;
    ASSERT_TRUE(reference.computeCellValues(frame, cells));
    ASSERT_TRUE(reference.solveSpectrum(cells, expected, expectedSaturated));

    QSignalSpy progress(&spectro, &KelSpectro::avgProgress);
    QSignalSpy spectra(&spectro, &KelSpectro::spectrumReady);
    QSignalSpy frameIds(&spectro, &KelSpectro::frameId);
    QSignalSpy rates(&spectro, &KelSpectro::fpsReady);
    spectro.setAverages(4);
    ASSERT_TRUE(spectro.getSpectra(spectrum, saturated));

    EXPECT_EQ(progressValues(progress), (std::vector<double>{25.0, 50.0, 75.0, 100.0}));
    ASSERT_EQ(spectra.count(), 1);
    ASSERT_EQ(spectrum.size(), expected.size());
    const double scale = largest(expected);
    ASSERT_GT(scale, 0.0);
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_NEAR(spectrum[i], expected[i], 1e-9 * scale) << "point " << i;
    EXPECT_EQ(spectra.at(0).at(0).value<std::vector<double>>(), spectrum);
    EXPECT_EQ(saturated, expectedSaturated != 0);
    ASSERT_EQ(frameIds.count(), 1);
    EXPECT_EQ(frameIds.at(0).at(0).toInt(), 4);
    ASSERT_EQ(rates.count(), 1);
    EXPECT_GT(rates.at(0).at(0).toInt(), 0);
}

TEST_F(SingleAcquisition, OneAverageIsOneFrame) {
    std::unique_ptr<KelSpectro> spectro = openController();
    QSignalSpy progress(spectro.get(), &KelSpectro::avgProgress);
    QSignalSpy frameIds(spectro.get(), &KelSpectro::frameId);
    ASSERT_TRUE(spectro->getSpectra(spectrum, saturated));
    EXPECT_EQ(progressValues(progress), std::vector<double>{100.0});
    ASSERT_EQ(frameIds.count(), 1);
    EXPECT_EQ(frameIds.at(0).at(0).toInt(), 1);
}

TEST_F(SingleAcquisition, SaturatedCellsAreReportedWhereTheyRespondMost) {
    std::unique_ptr<KelSpectro> spectro = openController();
    ASSERT_TRUE(spectro->getSpectra(spectrum, saturated));
    EXPECT_FALSE(saturated);
    EXPECT_TRUE(spectro->getSaturatedWavelengths().empty());

    spectro->setExposureTime(100 * kExposureUs);
    ASSERT_TRUE(spectro->getSpectra(spectrum, saturated));
    ASSERT_TRUE(saturated);
    const std::vector<double> wavelengths = spectro->getSaturatedWavelengths();
    const std::vector<double> grid = spectro->getWavelengths();
    ASSERT_FALSE(wavelengths.empty());
    EXPECT_TRUE(std::adjacent_find(wavelengths.begin(), wavelengths.end(),
                                   std::greater_equal<double>()) == wavelengths.end());
    EXPECT_GE(wavelengths.front(), grid.front() - 50.0);
    EXPECT_LE(wavelengths.back(), grid.back() + 50.0);
}

TEST_F(SingleAcquisition, AnAverageUnderWayKeepsTheCountItStartedWith) {
    std::unique_ptr<KelSpectro> spectro = openController();
    spectro->setAverages(4);
    QSignalSpy spectra(spectro.get(), &KelSpectro::spectrumReady);
    std::vector<double> progress;
    // The user lowers the averages while the second frame is converted.
    QObject::connect(spectro.get(), &KelSpectro::avgProgress, spectro.get(), [&](double value) {
        progress.push_back(value);
        spectro->setAverages(0);
    });
    ASSERT_TRUE(spectro->getSpectra(spectrum, saturated));
    EXPECT_EQ(progress, (std::vector<double>{25.0, 50.0, 75.0, 100.0}));
    EXPECT_EQ(spectro->getAverages(), 1);
}

TEST_F(SingleAcquisition, AFailedGrabPublishesNothing) {
    std::unique_ptr<KelSpectro> spectro = openController();
    spectro->setAverages(4);
    QSignalSpy spectra(spectro.get(), &KelSpectro::spectrumReady);
    QSignalSpy progress(spectro.get(), &KelSpectro::avgProgress);
    simcam::unplug(serial);
    EXPECT_FALSE(spectro->getSpectra(spectrum, saturated));
    EXPECT_EQ(spectra.count(), 0);
    EXPECT_EQ(progress.count(), 0);
}

TEST_F(SingleAcquisition, ARequestedDarkIsStoredAndTheSpectrumStillPublished) {
    std::unique_ptr<KelSpectro> spectro = openController();
    std::vector<double> plain;
    ASSERT_TRUE(spectro->getSpectra(plain, saturated));
    ASSERT_GT(largest(plain), 0.0);

    // Subtraction asked for before any dark exists stays off.
    spectro->setDarkSubtraction(true);
    EXPECT_TRUE(spectro->getDarkSubtraction());
    ASSERT_TRUE(spectro->getSpectra(spectrum, saturated));
    EXPECT_NEAR(largest(spectrum), largest(plain), 1e-9 * largest(plain));

    QSignalSpy darks(spectro.get(), &KelSpectro::darkImageCollected);
    QSignalSpy spectra(spectro.get(), &KelSpectro::spectrumReady);
    spectro->setCollectDark(true);
    ASSERT_TRUE(spectro->getSpectra(spectrum, saturated));
    EXPECT_EQ(darks.count(), 1);
    EXPECT_EQ(spectra.count(), 1);

    // The same scene minus its own dark is nothing.
    spectro->setDarkSubtraction(true);
    ASSERT_TRUE(spectro->getSpectra(spectrum, saturated));
    EXPECT_LT(largest(spectrum), 1e-6 * largest(plain));
    EXPECT_EQ(darks.count(), 1);

    spectro->clearDark();
    ASSERT_TRUE(spectro->getSpectra(spectrum, saturated));
    EXPECT_NEAR(largest(spectrum), largest(plain), 1e-9 * largest(plain));
}

TEST_F(SingleAcquisition, HardwareTriggerPulsesGiveSpectra) {
    std::unique_ptr<KelSpectro> spectro = openController();
    spectro->setAverages(3);
    spectro->setTriggerMode(1);
    simcam::setTriggerRate(50.0);
    QSignalSpy progress(spectro.get(), &KelSpectro::avgProgress);
    ASSERT_TRUE(spectro->getSpectra(spectrum, saturated));
    EXPECT_EQ(progressValues(progress).size(), 3u);
    EXPECT_GT(largest(spectrum), 0.0);
    // The camera is back in trigger mode and stopped.
    EXPECT_EQ(spectro->getTriggerMode(), 1);
    EXPECT_FALSE(spectro->isGrabbing());
}

TEST_F(SingleAcquisition, ClearingWaitForTriggerEndsTheWaitWithFalse) {
    std::unique_ptr<KelSpectro> spectro = openController();
    spectro->setTriggerMode(1);
    QSignalSpy spectra(spectro.get(), &KelSpectro::spectrumReady);
    bool secondRefused = false;
    // While the wait runs, it counts as an acquisition.
    QTimer::singleShot(100, spectro.get(), [&] {
        std::vector<double> other;
        bool flag = false;
        secondRefused = !spectro->getSpectra(other, flag) && !spectro->recordInterfero(1, 1) &&
                        !spectro->getSpectraC();
        spectro->setWaitForTrigger(false);
    });
    EXPECT_FALSE(spectro->getSpectra(spectrum, saturated));
    EXPECT_TRUE(secondRefused);
    EXPECT_EQ(spectra.count(), 0);
    EXPECT_EQ(spectro->getErrorCode(), 0);

    // Free run again: acquisitions are admitted once the first one is over.
    spectro->setTriggerMode(0);
    EXPECT_TRUE(spectro->getSpectra(spectrum, saturated));
}

}  // namespace
}  // namespace kelo::acquisitiontest
