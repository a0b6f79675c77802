// The values behind a simulated camera's nodes, and what follows from them
// (region limits, read-out time, frame rate, lamp and trigger state).
#pragma once

#include <array>

#include "simcam/SensorModel.h"

namespace kelo::simcam {

enum class PixelFormat { Mono8, Mono12 };
enum class AutoMode { Off, Once, Continuous };
enum class OnOff { Off, On };
enum class TestPattern { Off, GreyDiagonalSawtooth };
enum class LineMode { Input, Output };
enum class LineSource { Off, ExposureActive, UserOutput1 };
enum class TriggerSelector { FrameStart };
enum class TriggerSource { Software, Line1 };
enum class TriggerActivation { RisingEdge, FallingEdge };
enum class AcquisitionMode { SingleFrame, Continuous };

// Full scale of a pixel in `format`, in that format's counts.
inline int maxCount(PixelFormat format) {
    return format == PixelFormat::Mono8 ? sensorModel().maxCount8 : sensorModel().maxCount12;
}

// Line1 is the opto-isolated trigger input, Line2 the output that drives the
// unit's lamp.
constexpr int kTriggerLine = 0;
constexpr int kLampLine = 1;

struct LineSettings {
    LineMode mode = LineMode::Input;
    LineSource source = LineSource::Off;
};

struct CameraSettings {
    double exposureUs = sensorModel().defaultExposureUs;
    double gainDb = 0.0;
    double autoExposureLowerUs = sensorModel().minExposureUs;
    double autoExposureUpperUs = 100000.0;
    AutoMode exposureAuto = AutoMode::Off;
    AutoMode gainAuto = AutoMode::Off;

    // Region in binned pixels.
    int width = sensorModel().sensorWidth;
    int height = sensorModel().sensorHeight;
    int offsetX = 0;
    int offsetY = 0;
    int binningHorizontal = 1;
    int binningVertical = 1;
    PixelFormat pixelFormat = PixelFormat::Mono8;
    TestPattern testPattern = TestPattern::Off;
    // Kept for the nodes only: exposure and read-out always overlap, every
    // pulse edge triggers, and a grab runs as it was started.
    OnOff overlapMode = OnOff::On;

    int lineSelector = kTriggerLine;
    std::array<LineSettings, 2> lines = {LineSettings{LineMode::Input, LineSource::Off},
                                         LineSettings{LineMode::Output, LineSource::Off}};
    bool userOutputValue = false;

    TriggerSelector triggerSelector = TriggerSelector::FrameStart;
    OnOff triggerMode = OnOff::Off;
    TriggerSource triggerSource = TriggerSource::Software;
    TriggerActivation triggerActivation = TriggerActivation::RisingEdge;  // kept only
    AcquisitionMode acquisitionMode = AcquisitionMode::Continuous;        // kept only

    int columns() const { return sensorModel().sensorWidth / binningHorizontal; }
    int rows() const { return sensorModel().sensorHeight / binningVertical; }
    int bytesPerPixel() const { return pixelFormat == PixelFormat::Mono8 ? 1 : 2; }

    double readOutUs() const {
        return readOutPeriodUs(width, height, binningVertical, bytesPerPixel());
    }
    double periodUs() const { return framePeriodUs(exposureUs, readOutUs()); }
    double frameRate() const { return 1e6 / periodUs(); }

    // The lamp lights the sample during the whole exposure when the output
    // line follows the exposure or is switched on by the user output.
    bool lampLit() const {
        const LineSettings& line = lines[kLampLine];
        if (line.mode != LineMode::Output) return false;
        return line.source == LineSource::ExposureActive ||
               (line.source == LineSource::UserOutput1 && userOutputValue);
    }

    // Frames start only on a pulse at the trigger input. With the software
    // source no frame starts: the camera offers no software trigger command.
    bool triggered() const { return triggerMode == OnOff::On; }
    bool waitsForLinePulse() const { return triggered() && triggerSource == TriggerSource::Line1; }
};

}  // namespace kelo::simcam
