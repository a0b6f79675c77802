// The parts the window delegates to, without a window: the live session's
// start and stop sequence on the simulated camera, the settings behind the
// amber lamps, the fit read-out and the features a camera lacks.
#include <gtest/gtest.h>

#include <QThread>
#include <atomic>
#include <chrono>

#include "CollectedSettings.h"
#include "FeatureAvailability.h"
#include "FitReadout.h"
#include "LiveSession.h"
#include "OutputCapture.h"
#include "SimulatedUnitFolder.h"
#include "acquisition/KelSpectro.h"
#include "device/DeviceRegistry.h"
#include "device/KelDevice.h"
#include "simcam/SimulatorControl.h"

namespace {

using Brevanta::CameraFeature;
using Brevanta::KelDevice;
using Brevanta::KelSpectro;
using kelo::app::AcquisitionSettings;
using kelo::app::CollectedSettings;
using kelo::app::FeatureAvailability;
using kelo::app::LiveSession;

// True once `condition` holds, false after ten seconds without it.
template <typename Condition>
bool within10s(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QThread::msleep(5);
    }
    return true;
}

TEST(LiveSession, StartsAfterAnyStopAndStopsWithTheTriggerOffWhenAsked) {
    kelo::test::SimulatedUnitFolder folder("K3S00042");
    const std::string serial = folder.plugCameras(1, "halogen").front();
    DeviceRegistry& registry = DeviceRegistry::instance();
    std::vector<std::string> ids;
    {
        kelo::test::OutputCapture quiet;
        ASSERT_TRUE(registry.initialize());
    }
    registry.getDeviceList(ids);
    KelSpectro spectro(serial, registry.createDevice(serial));
    {
        kelo::test::OutputCapture quiet;
        ASSERT_TRUE(spectro.initDevice());
    }
    spectro.setExposureTime(2000.0);
    spectro.setAverages(1);

    QThread worker;
    spectro.moveToThread(&worker);
    QObject::connect(&worker, &QThread::started, &spectro, &KelSpectro::getSpectraC);
    std::atomic<int> spectra{0};
    QObject::connect(
        &spectro, &KelSpectro::spectrumReady, &spectro,
        [&spectra](const std::vector<double>&, bool) { ++spectra; }, Qt::DirectConnection);
    LiveSession session(spectro, worker);

    // A stop left over from before does not end the next run.
    spectro.stopGrabbing();
    for (int run = 0; run < 3; ++run) {
        const int before = spectra;
        ASSERT_TRUE(session.start());
        EXPECT_FALSE(session.start());  // one run at a time
        ASSERT_TRUE(within10s([&] { return spectra >= before + 3; }));
        EXPECT_TRUE(session.stop(LiveSession::Trigger::Keep));
        EXPECT_FALSE(session.isRunning());
    }

    // Hardware trigger without pulses: the stop ends the wait and, asked to,
    // switches the trigger off once the loop can no longer switch it on.
    spectro.setTriggerMode(KelDevice::kHardwareTrigger);
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(within10s([&] { return spectro.isGrabbing(); }));
    EXPECT_TRUE(session.stop(LiveSession::Trigger::SwitchOff));
    EXPECT_EQ(spectro.getTriggerMode(), KelDevice::kSoftwareTrigger);
    EXPECT_FALSE(spectro.isAcquiring());
}

TEST(CollectedSettings, NamesWhatChangedSinceTheCollection) {
    CollectedSettings collected;
    const AcquisitionSettings then{10.0, 0, 5};
    EXPECT_EQ(collected.staleReason(CollectedSettings::Dark, then), "");
    collected.remember(CollectedSettings::Dark, then);
    EXPECT_EQ(collected.staleReason(CollectedSettings::Dark, then), "");
    EXPECT_EQ(collected.staleReason(CollectedSettings::Reference, {20.0, 3, 1}), "");
    EXPECT_EQ(collected.staleReason(CollectedSettings::Dark, {12.5, 0, 5}),
              "The dark spectrum was collected with exposure 10 ms (now 12.5 ms): collect it "
              "again.");
    EXPECT_EQ(collected.staleReason(CollectedSettings::Dark, {10.0, 6, 1}),
              "The dark spectrum was collected with gain 0 dB (now 6 dB), 5 averages (now 1): "
              "collect it again.");
    collected.remember(CollectedSettings::Reference, {20.0, 3, 1});
    collected.forget(CollectedSettings::Dark);
    EXPECT_EQ(collected.staleReason(CollectedSettings::Dark, {1.0, 1, 1}), "");
    EXPECT_NE(collected.staleReason(CollectedSettings::Reference, {1.0, 3, 1}), "");
    collected.forgetAll();
    EXPECT_EQ(collected.staleReason(CollectedSettings::Reference, {1.0, 3, 1}), "");
}

TEST(FitReadout, WarnsAtTheIterationCapOrALargeResidual) {
    kelo::engine::FitDiagnostics fit;
    EXPECT_EQ(kelo::app::describeFit(fit).text, "");
    fit.fitted = true;
    fit.relativeResidual = 7.3e-6;
    fit.outerIterations = 12;
    fit.passes = 14;
    fit.passiveCount = 40;
    kelo::app::FitReadout readout = kelo::app::describeFit(fit);
    EXPECT_EQ(readout.text, "fit 7.3e-06");
    EXPECT_FALSE(readout.warning);
    EXPECT_EQ(readout.toolTip,
              "Relative residual 7.3e-06, 12 iterations, 14 passes, 40 free wavelengths");
    fit.warmStart = true;
    EXPECT_EQ(kelo::app::describeFit(fit).toolTip,
              "Relative residual 7.3e-06, 12 iterations, 14 passes, 40 free wavelengths, "
              "started from the previous spectrum");

    fit.relativeResidual = 0.02;
    readout = kelo::app::describeFit(fit);
    EXPECT_TRUE(readout.warning);
    EXPECT_NE(readout.toolTip.indexOf("residual is large"), -1);
    fit.relativeResidual = 0.01;
    fit.capReached = true;
    readout = kelo::app::describeFit(fit);
    EXPECT_TRUE(readout.warning);
    EXPECT_NE(readout.toolTip.indexOf("iteration cap"), -1);
    EXPECT_EQ(readout.toolTip.indexOf("residual is large"), -1);
}

TEST(FeatureAvailability, EachLackingFeatureDisablesItsOwnControlsNamingTheNode) {
    struct Lacking {
        CameraFeature feature;
        std::string node;
        QString reason;
    };
    const Lacking cameras[] = {
        {CameraFeature::Gain, "Gain", "This camera has no Gain node: gain is not available"},
        {CameraFeature::AutoExposure, "ExposureAuto",
         "This camera has no ExposureAuto node: automatic exposure is not available"},
        {CameraFeature::HardwareTrigger, "TriggerMode",
         "This camera has no TriggerMode node: hardware trigger is not available"},
        {CameraFeature::Flash, "LineSelector",
         "This camera has no LineSelector node: flash is not available"},
    };
    for (const Lacking& lacking : cameras) {
        const FeatureAvailability camera({{lacking.feature, lacking.node}});
        EXPECT_EQ(camera.unavailableReason(lacking.feature), lacking.reason);
        for (const Lacking& other : cameras)
            EXPECT_EQ(camera.serves(other.feature), other.feature != lacking.feature);
        EXPECT_TRUE(FeatureAvailability().serves(lacking.feature));
        EXPECT_EQ(FeatureAvailability().unavailableReason(lacking.feature), "");
    }
    // Every feature once, each with controls of its own.
    QStringList everyControl;
    for (const kelo::app::FeatureControlNames& feature : FeatureAvailability::controls())
        everyControl << feature.objectNames;
    EXPECT_EQ(FeatureAvailability::controls().size(), std::size(cameras));
    EXPECT_EQ(everyControl.removeDuplicates(), 0);
    EXPECT_TRUE(everyControl.contains("spinBoxGain") && everyControl.contains("actionHWTrigger"));
}

}  // namespace
