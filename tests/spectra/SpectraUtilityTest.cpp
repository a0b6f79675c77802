// The spectrum utility: the processing of each spectrum, collections,
// reflectance, colour, time series and files, first on spectra handed to it
// directly (no camera), then end to end on the simulated camera.
#include <gtest/gtest.h>

#include <QTest>
#include <cmath>
#include <filesystem>
#include <limits>

#include "OutputCapture.h"
#include "SimulatedUnitFolder.h"
#include "TestSupport.h"
#include "simcam/SimulatorControl.h"
#include "spectra/cSpectraUtility.h"

namespace {

namespace fs = std::filesystem;
using kelo::test::dataRowsOf;
using kelo::test::OutputCapture;
using kelo::test::readText;
using kelo::test::ScopedWorkDir;
using kelo::test::writeText;
using Spectrum = std::vector<double>;

// Everything the utility emits, in order.
struct Emissions {
    std::vector<std::string> order;
    std::vector<Spectrum> spectra;
    std::vector<Spectrum> reflectances;
    std::vector<tCIELABRGB> colours;
    std::vector<bool> colourDataLoaded;
    std::vector<std::string> chartNames;
    std::vector<double> samples;
    std::vector<int> sampleCounts;
    std::vector<std::pair<bool, std::string>> saves;

    explicit Emissions(cSpectraUtility& utility) {
        QObject::connect(&utility, &cSpectraUtility::spectraSaturated,
                         [this](bool) { order.push_back("saturated"); });
        QObject::connect(&utility, &cSpectraUtility::pSpectrumReady, [this](Spectrum s) {
            order.push_back("spectrum");
            spectra.push_back(s);
        });
        QObject::connect(&utility, &cSpectraUtility::reflectanceSpectrumReady, [this](Spectrum r) {
            order.push_back("reflectance");
            reflectances.push_back(r);
        });
        QObject::connect(&utility, &cSpectraUtility::CIELABRGBReady,
                         [this](const tCIELABRGB& c, bool loaded, std::string name, int&) {
                             order.push_back("colour");
                             colours.push_back(c);
                             colourDataLoaded.push_back(loaded);
                             chartNames.push_back(name);
                         });
        QObject::connect(&utility, &cSpectraUtility::brightSpectraCollected,
                         [this] { order.push_back("bright"); });
        QObject::connect(&utility, &cSpectraUtility::refSpectraCollected,
                         [this] { order.push_back("reference"); });
        QObject::connect(&utility, &cSpectraUtility::onTSSpectrumRecieved,
                         [this](double& value, int& count) {
                             samples.push_back(value);
                             sampleCounts.push_back(count);
                         });
        QObject::connect(&utility, &cSpectraUtility::plotSaved,
                         [this](bool ok, std::string name) { saves.emplace_back(ok, name); });
    }
};

// A utility without a controller on the grid 400..404 nm.
class Processing : public ::testing::Test {
protected:
    Processing() { utility.setWavelengths({400, 401, 402, 403, 404}); }
    cSpectraUtility utility;
    Emissions seen{utility};
};

TEST_F(Processing, EmitsSaturationSpectrumAndReflectanceInThatOrderEveryTime) {
    utility.processSpectra({1, 2, 3, 4, 5}, true);
    EXPECT_EQ(seen.order, (std::vector<std::string>{"saturated", "spectrum", "reflectance"}));
    EXPECT_EQ(seen.spectra.back(), (Spectrum{1, 2, 3, 4, 5}));
    EXPECT_TRUE(seen.reflectances.back().empty());
}

TEST_F(Processing, ReflectanceIsClampedToZeroAndTenWithZeroOverZeroAsZero) {
    utility.collectBright();
    utility.processSpectra({2, 0, 4, 1, 5}, false);
    utility.processSpectra({1, 0, 41, -3, 0}, false);
    // 1/2, 0/0, 41/4 above 10, -3/1 below 0, 0/5.
    EXPECT_EQ(seen.reflectances.back(), (Spectrum{0.5, 0.0, 10.0, 0.0, 0.0}));

    // A bright spectrum of zeros: positive over zero is 10, zero over zero 0.
    utility.clearCollected();
    utility.collectBright();
    utility.processSpectra({0, 0, 0, 0, 0}, false);
    utility.processSpectra({1, 0, 3, 0, -1}, false);
    EXPECT_EQ(seen.reflectances.back(), (Spectrum{10, 0, 10, 0, 0}));
}

TEST_F(Processing, BrightAndReferenceRequestedTogetherAreTakenFromTwoSpectra) {
    utility.collectReference();
    utility.collectBright();
    utility.processSpectra({5, 5, 5, 5, 5}, false);
    utility.processSpectra({1, 1, 1, 1, 1}, false);
    const std::vector<std::string> expected = {
        "bright",    "colour", "saturated", "spectrum", "reflectance",
        "reference", "colour", "saturated", "spectrum", "reflectance"};
    EXPECT_EQ(seen.order, expected);

    // The reference is subtracted only once correction is on.
    utility.processSpectra({3, 3, 3, 3, 3}, false);
    EXPECT_EQ(seen.spectra.back(), (Spectrum{3, 3, 3, 3, 3}));
    utility.setReferenceCorrection(true);
    utility.processSpectra({3, 3, 3, 3, 3}, false);
    EXPECT_EQ(seen.spectra.back(), (Spectrum{2, 2, 2, 2, 2}));
    EXPECT_EQ(seen.reflectances.back(), (Spectrum{0.4, 0.4, 0.4, 0.4, 0.4}));
}

TEST_F(Processing, ReferenceCorrectionWithoutReferenceOrOfAnotherLengthLeavesTheSpectrum) {
    utility.setReferenceCorrection(true);
    utility.processSpectra({1, 2, 3, 4, 5}, false);
    EXPECT_EQ(seen.spectra.back(), (Spectrum{1, 2, 3, 4, 5}));

    utility.collectReference();
    utility.processSpectra({1, 1, 1}, false);
    utility.processSpectra({1, 2, 3, 4, 5}, false);
    EXPECT_EQ(seen.spectra.back(), (Spectrum{1, 2, 3, 4, 5}));
}

TEST_F(Processing, ColourOnlyForSpectraWithAReflectanceOfTheirOwn) {
    // Colorimetry is on from the start, but there is no bright spectrum yet.
    utility.processSpectra({1, 2, 3, 4, 5}, false);
    EXPECT_TRUE(seen.colours.empty());

    utility.collectBright();
    utility.processSpectra({1, 2, 3, 4, 5}, false);
    ASSERT_EQ(seen.colours.size(), 1u);
    // No colour data loaded: a black record, reported as such.
    EXPECT_FALSE(seen.colourDataLoaded.back());
    EXPECT_EQ(seen.colours.back().Y, 0.0);

    // A spectrum of another grid (the colorimetry toggle changed it): no
    // reflectance, no colour.
    utility.processSpectra({1, 2, 3, 4, 5, 6, 7}, false);
    EXPECT_EQ(seen.colours.size(), 1u);
    EXPECT_TRUE(seen.reflectances.back().empty());

    utility.setColorimetry(false);
    utility.processSpectra({1, 2, 3, 4, 5}, false);
    EXPECT_EQ(seen.colours.size(), 1u);
}

TEST_F(Processing, ClearingForgetsBrightAndReferenceButNotTheLastReflectance) {
    utility.collectBright();
    utility.processSpectra({2, 2, 2, 2, 2}, false);
    utility.collectReference();
    utility.processSpectra({1, 1, 1, 1, 1}, false);
    utility.clearCollected();
    EXPECT_EQ(utility.getReflectance(), (Spectrum{0.5, 0.5, 0.5, 0.5, 0.5}));
    utility.setReferenceCorrection(true);
    utility.processSpectra({4, 4, 4, 4, 4}, false);
    EXPECT_EQ(seen.spectra.back(), (Spectrum{4, 4, 4, 4, 4}));
    EXPECT_EQ(seen.reflectances.back(), (Spectrum{0.5, 0.5, 0.5, 0.5, 0.5}));
    Spectrum out{9};
    EXPECT_FALSE(utility.computeReflectance(out));
    EXPECT_TRUE(out.empty());
}

TEST_F(Processing, WhiteLidReferencingWithoutACurveOfTheGridLengthGivesNoReflectance) {
    utility.setWhiteLidReferencing(true);
    utility.collectBright();
    utility.processSpectra({2, 2, 2, 2, 2}, false);
    EXPECT_TRUE(seen.reflectances.back().empty());
}

TEST_F(Processing, TimeSeriesSamplesEverySpectrumUntilTheCountIsReached) {
    utility.startTimeSeries(1, 3, 401, 403, 0);
    EXPECT_TRUE(utility.isTimeSeriesRunning());
    for (int k = 0; k < 4; ++k) utility.processSpectra({1, 2, 3, 6, 5}, false);
    // Mean of 401..403: (2 + 3 + 6) / 3.
    EXPECT_EQ(seen.samples, (std::vector<double>{11.0 / 3, 11.0 / 3, 11.0 / 3}));
    EXPECT_EQ(seen.sampleCounts, (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(utility.isTimeSeriesRunning());
}

TEST_F(Processing, TimeSeriesMetrics) {
    struct Case {
        int start, end, metric;
        double expected;
    } cases[] = {
        {402, 402, 0, 3.0},  // one-point window: that sample
        {403, 401, 0, 0.0},  // window ending before it starts
        {404, 402, 0, 0.0},  // the end just one below the start: not 0/0
        {403, 400, 1, 6.0},  // the peak ignores the end
        {403, 401, 2, 3.0},  // ratio start / end
        {403, 401, 7, 0.0},  // unknown metric
    };
    for (const Case& c : cases) {
        utility.startTimeSeries(1, 1, c.start, c.end, c.metric);
        utility.processSpectra({1, 2, 3, 6, 5}, false);
        EXPECT_EQ(seen.samples.back(), c.expected)
            << "start " << c.start << " end " << c.end << " metric " << c.metric;
    }
}

TEST_F(Processing, TimeSeriesOfZeroSamplesRunsUntilStoppedAndOffGridWavelengthsKeepTheirIndex) {
    utility.startTimeSeries(1, 1, 401, 401, 1);
    utility.processSpectra({1, 2, 3, 4, 5}, false);
    utility.startTimeSeries(1, 0, 999, 999, 1);
    for (int k = 0; k < 5; ++k) utility.processSpectra({1, 2, 3, 4, 5}, false);
    EXPECT_TRUE(utility.isTimeSeriesRunning());
    EXPECT_EQ(seen.samples.back(), 2.0);
    utility.stopTimeSeries();
    utility.processSpectra({1, 2, 3, 4, 5}, false);
    EXPECT_EQ(seen.sampleCounts.back(), 5);

    // Indices of a longer grid on a shorter spectrum give 0, never a read
    // beyond it.
    utility.setWavelengths({400, 401, 402, 403, 404, 405, 406, 407});
    utility.startTimeSeries(1, 1, 407, 407, 1);
    utility.processSpectra({1, 2, 3}, false);
    EXPECT_EQ(seen.samples.back(), 0.0);
}

TEST_F(Processing, SavePlotReportsAFileThatCannotBeWritten) {
    ScopedWorkDir dir;
    utility.processSpectra({1, 2, 3, 4, 5}, false);
    OutputCapture output;
    utility.savePlot("missing-folder/spectrum", "nm", "counts", false);
    ASSERT_EQ(seen.saves.size(), 1u);
    EXPECT_FALSE(seen.saves.back().first);
    EXPECT_EQ(seen.saves.back().second, "missing-folder/spectrum.txt");
    EXPECT_NE(output.stdOut().find("missing-folder/spectrum.txt file open so could'nt write\n"),
              std::string::npos);

    utility.savePlot("spectrum", "nm", "counts", true);
    EXPECT_EQ(seen.saves.back(), std::make_pair(true, std::string("spectrum.csv")));
}

TEST_F(Processing, SavePlotWritesOnlyRowsWithBothAWavelengthAndAValue) {
    ScopedWorkDir dir;
    utility.processSpectra({1, 2, 3}, false);
    utility.savePlot("short", "nm", "counts", false);
    EXPECT_EQ(dataRowsOf(readText(dir.path() / "short.txt")),
              (std::vector<std::string>{"400\t1", "401\t2", "402\t3"}));

    // Reflectance mode adds the bright spectrum and the reflectance.
    utility.collectBright();
    utility.processSpectra({2, 4, 8, 16, 32}, false);
    utility.processSpectra({1, 1, 1, 1, 1}, false);
    utility.setBrightCorrection(true);
    utility.savePlot("reflectance", "nm", "counts", true);
    EXPECT_EQ(dataRowsOf(readText(dir.path() / "reflectance.csv")),
              (std::vector<std::string>{"400,1,2,0.5", "401,1,4,0.25", "402,1,8,0.125",
                                        "403,1,16,0.0625", "404,1,32,0.03125"}));
}

TEST_F(Processing, ColourLinesOnlyWhileABrightSpectrumExists) {
    ScopedWorkDir dir;
    OutputCapture output;
    utility.on_saveColor("colour", 0, false);
    EXPECT_FALSE(fs::exists(dir.path() / "colour.txt"));

    utility.collectBright();
    utility.processSpectra({1, 1, 1, 1, 1}, false);
    utility.on_saveColor("colour", 0, false);
    utility.on_saveColor("colour", 1, false);
    EXPECT_EQ(output.stdOut(), "save color filename:colour.txt\nsave color filename:colour.txt\n");
    const std::string text = readText(dir.path() / "colour.txt");
    EXPECT_EQ(text,
              "# fnum\tStdIlluminant\tCIE\tX\tY\tZ \tR\tG\tB\tL\tA\tB \n"
              "0\tD65\t1931_2\t0\t0\t0\t0\t0\t0\t0\t0\t0\t\n"
              "1\tD65\t1931_2\t0\t0\t0\t0\t0\t0\t0\t0\t0\t\n");
}

TEST(CopyDirectory, CopiesATreeIntoNewFoldersWithoutOverwriting) {
    ScopedWorkDir dir;
    writeText(dir.path() / "chosen/K3S00077/K3S00077-BP.bin", "bad pixels");
    writeText(dir.path() / "chosen/K3S00077/extra/notes.txt", "notes");
    writeText(dir.path() / "cal/K3S00077/K3S00077-BP.bin", "the unit's own");

    cSpectraUtility utility;
    OutputCapture output;
    EXPECT_TRUE(utility.copyDirectory("chosen/K3S00077", "cal/K3S00077"));
    EXPECT_EQ(readText(dir.path() / "cal/K3S00077/K3S00077-BP.bin"), "the unit's own");
    EXPECT_EQ(readText(dir.path() / "cal/K3S00077/extra/notes.txt"), "notes");
    EXPECT_NE(output.stdErr().find("K3S00077-BP.bin"), std::string::npos);

    // Into a working folder that has no cal/ yet.
    fs::remove_all(dir.path() / "cal");
    EXPECT_TRUE(utility.copyDirectory("chosen/K3S00077", "cal/K3S00077"));
    EXPECT_EQ(readText(dir.path() / "cal/K3S00077/K3S00077-BP.bin"), "bad pixels");
}

TEST(CopyDirectory, RefusesAMissingSourceAndADestinationWithoutAName) {
    ScopedWorkDir dir;
    writeText(dir.path() / "chosen/a.txt", "a");
    cSpectraUtility utility;
    OutputCapture output;
    EXPECT_FALSE(utility.copyDirectory("nowhere", "cal/X"));
    EXPECT_EQ(output.stdErr(), "Source directory nowhere does not exist or is not a directory.\n");
    EXPECT_FALSE(utility.copyDirectory("chosen/a.txt", "cal/X"));
    EXPECT_FALSE(utility.copyDirectory("chosen", "cal/"));
    EXPECT_FALSE(fs::exists(dir.path() / "cal/a.txt"));
}

// End to end: the utility on the simulated camera showing the synthetic
// unit, with the colour data of the build.
class OnCamera : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        workDir = std::make_unique<kelo::test::SimulatedUnitFolder>("K3S00042");
        fs::create_directories(workDir->path() / "data");
        for (const char* name : {"cmf1931.dat", "cmf1964.dat", "D65.dat", "D50.dat", "pmsRgb.dat"})
            fs::copy_file(fs::path(KELO_DATA_DIR) / name, workDir->path() / "data" / name,
                          fs::copy_options::overwrite_existing);
    }
    static void TearDownTestSuite() { workDir.reset(); }

    // The utility's controller on a newly plugged camera showing `scene`,
    // lamp on, noise off.
    std::shared_ptr<Brevanta::KelSpectro> open(const std::string& scene) {
        workDir->plugCameras(1, scene);
        OutputCapture quiet;
        std::shared_ptr<Brevanta::KelSpectro> spectro = utility.getSpectro();
        EXPECT_NE(spectro, nullptr);
        if (spectro == nullptr) return nullptr;
        EXPECT_TRUE(utility.initSpectro());
        spectro->setExposureTime(2000.0);
        spectro->setFlashMode(1);
        return spectro;
    }

    static std::unique_ptr<kelo::test::SimulatedUnitFolder> workDir;
    cSpectraUtility utility;
    Emissions seen{utility};
};

std::unique_ptr<kelo::test::SimulatedUnitFolder> OnCamera::workDir;

TEST_F(OnCamera, InitialisesFromTheUnitWithItsGridColourDataAndWhiteLidCurve) {
    ASSERT_NE(open("white"), nullptr);
    const Spectrum& grid = utility.getSpectrumWavelengths();
    ASSERT_EQ(grid.size(), 411u);
    EXPECT_EQ(grid.front(), 390.0);
    EXPECT_EQ(grid.back(), 800.0);
    EXPECT_TRUE(utility.isStdBrightLoaded());
    EXPECT_EQ(utility.getVersionText(), "2.0.3");
}

TEST_F(OnCamera, GreyAgainstWhiteGivesAFlatHalfReflectanceAndANeutralColour) {
    std::shared_ptr<Brevanta::KelSpectro> spectro = open("dark");
    ASSERT_NE(spectro, nullptr);
    // The camera's dark level would otherwise lift the grey against the white.
    utility.collectDark();
    spectro->setDarkSubtraction(true);
    kelo::simcam::setScene("white");
    seen.order.clear();
    utility.collectBright();
    ASSERT_EQ(seen.order.front(), "bright");
    kelo::simcam::setScene("grey50");
    seen.colours.clear();
    utility.collectReference();  // any acquisition will do
    ASSERT_FALSE(seen.colours.empty());

    const Spectrum& r = utility.getReflectance();
    const Spectrum& grid = utility.getSpectrumWavelengths();
    ASSERT_EQ(r.size(), grid.size());
    for (std::size_t i = 0; i < r.size(); ++i)
        if (grid[i] >= 420 && grid[i] <= 700) {
            EXPECT_NEAR(r[i], 0.5 / 0.99, 0.02) << grid[i];
        }

    const tCIELABRGB& colour = seen.colours.back();
    EXPECT_TRUE(seen.colourDataLoaded.back());
    EXPECT_NEAR(colour.Y, 100.0 * 0.5 / 0.99, 1.0);
    EXPECT_NEAR(colour.a, 0.0, 1.5);
    EXPECT_NEAR(colour.b, 0.0, 1.5);
    EXPECT_NEAR(colour.R, colour.G, 4.0);
    EXPECT_FALSE(seen.chartNames.back().empty());
}

TEST_F(OnCamera, ExposureNormalisationGivesCountsPerMicrosecond) {
    ASSERT_NE(open("white"), nullptr);
    utility.callGetSpectra();
    const Spectrum plain = seen.spectra.back();
    utility.setExposureNormalisation(true);
    utility.callGetSpectra();
    const Spectrum& normalised = seen.spectra.back();
    ASSERT_EQ(normalised.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); i += 50)
        EXPECT_NEAR(normalised[i], plain[i] / 2000.0, 1e-9 + 1e-6 * std::abs(plain[i] / 2000.0));
}

TEST_F(OnCamera, TimeSeriesTakesItsSamplesOnTheTimer) {
    ASSERT_NE(open("white"), nullptr);
    utility.startTimeSeries(1, 2, 500, 600, 0);
    for (int waited = 0; utility.isTimeSeriesRunning() && waited < 20000; waited += 20)
        QTest::qWait(20);
    EXPECT_EQ(seen.sampleCounts, (std::vector<int>{1, 2}));
    ASSERT_EQ(seen.samples.size(), 2u);
    EXPECT_GT(seen.samples.front(), 0.0);
}

}  // namespace
