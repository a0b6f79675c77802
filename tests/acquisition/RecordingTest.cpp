// Recording of frame series and their post-processing.
#include <QSignalSpy>

#include "AcquisitionFixture.h"
#include "simcam/SimulatorControl.h"

namespace kelo::acquisitiontest {
namespace {

using Brevanta::KelSpectro;

class Recording : public AcquisitionTest {};

TEST_F(Recording, ThreeSamplesOfTwoFramesKeepTheFirstFrameOfEach) {
    std::unique_ptr<KelSpectro> spectro = openController();
    spectro->setStopRecording(false);
    QSignalSpy recorded(spectro.get(), &KelSpectro::recordedfps);
    ASSERT_TRUE(spectro->recordInterfero(3, 2));
    EXPECT_EQ(spectro->getRecordedCount(), 3u);
    ASSERT_EQ(recorded.count(), 6);
    std::vector<int> frameIds, captureIds;
    for (const QList<QVariant>& arguments : recorded) {
        EXPECT_GT(arguments.at(0).toDouble(), 0.0);
        frameIds.push_back(arguments.at(1).toInt());
        captureIds.push_back(arguments.at(2).toInt());
    }
    EXPECT_EQ(frameIds, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(captureIds, (std::vector<int>{1, 1, 2, 2, 3, 3}));
    EXPECT_FALSE(spectro->isGrabbing());

    QSignalSpy saved(spectro.get(), &KelSpectro::saveSpectrum);
    spectro->processRecordedInterfero();
    ASSERT_EQ(saved.count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(saved.at(i).at(1).toInt(), i);
        EXPECT_EQ(saved.at(i).at(0).value<std::vector<double>>().size(),
                  spectro->getWavelengths().size());
    }
}

TEST_F(Recording, SamplesOrSkipBelowOneGrabNothing) {
    std::unique_ptr<KelSpectro> spectro = openController();
    ASSERT_TRUE(spectro->recordInterfero(2, 1));
    ASSERT_EQ(spectro->getRecordedCount(), 2u);
    QSignalSpy recorded(spectro.get(), &KelSpectro::recordedfps);
    // A camera that is not told to grab delivers no frame that could be lost.
    EXPECT_FALSE(spectro->recordInterfero(3, 0));
    EXPECT_FALSE(spectro->recordInterfero(0, 2));
    EXPECT_FALSE(spectro->recordInterfero(-1, -1));
    EXPECT_EQ(recorded.count(), 0);
    EXPECT_EQ(spectro->getRecordedCount(), 0u);
    EXPECT_FALSE(spectro->isGrabbing());
    EXPECT_EQ(spectro->getErrorCode(), 0);
}

TEST_F(Recording, ASecondRecordingReplacesTheFirst) {
    std::unique_ptr<KelSpectro> spectro = openController();
    ASSERT_TRUE(spectro->recordInterfero(4, 1));
    ASSERT_TRUE(spectro->recordInterfero(2, 3));
    EXPECT_EQ(spectro->getRecordedCount(), 2u);
}

TEST_F(Recording, AStopDuringRecordingKeepsWhatWasCaptured) {
    std::unique_ptr<KelSpectro> spectro = openController();
    QObject::connect(spectro.get(), &KelSpectro::recordedfps, spectro.get(),
                     [&](double, int frame, int) {
                         if (frame == 3) spectro->setStopRecording(true);
                     });
    EXPECT_FALSE(spectro->recordInterfero(10, 1));
    EXPECT_EQ(spectro->getRecordedCount(), 3u);
    EXPECT_FALSE(spectro->isGrabbing());
}

TEST_F(Recording, AStopDuringPostProcessingEndsAfterTheCurrentSpectrum) {
    std::unique_ptr<KelSpectro> spectro = openController();
    ASSERT_TRUE(spectro->recordInterfero(5, 1));
    QSignalSpy saved(spectro.get(), &KelSpectro::saveSpectrum);
    QObject::connect(spectro.get(), &KelSpectro::saveSpectrum, spectro.get(),
                     [&](const std::vector<double>&, int index, bool) {
                         if (index == 1) spectro->setStopRecording(true);
                     });
    spectro->processRecordedInterfero();
    ASSERT_EQ(saved.count(), 2);
    EXPECT_EQ(saved.at(0).at(1).toInt(), 0);
    EXPECT_EQ(saved.at(1).at(1).toInt(), 1);
    EXPECT_EQ(spectro->getRecordedCount(), 5u);
}

}  // namespace
}  // namespace kelo::acquisitiontest
