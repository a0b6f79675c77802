// The physical constants of the simulated camera: sensor size, read-out
// timing, limits of exposure and gain, and how light becomes counts (dark
// level, noise, saturation). Tests use them to compute expected frames.
#pragma once

namespace kelo::simcam {

struct SensorModel {
    // Full sensor in unbinned pixels; Width/OffsetX and Height/OffsetY share it.
    int sensorWidth = 1440;
    int sensorHeight = 1080;
    int minWidth = 16;
    int minHeight = 16;

    // Counts (12-bit) per unit of (transfer matrix x scene spectrum) per µs of
    // exposure at linear gain 1: a window's mean signal is
    // exposure * gain * countsPerUnit * (T s).
    double countsPerUnit = 1e-5;
    // Black level added to every pixel after the gain, 12-bit counts.
    double darkLevel = 40.0;
    int maxCount12 = 4095;
    int maxCount8 = 255;

    // Noise: photo-electrons per 12-bit count at 0 dB gives the shot noise;
    // the read noise is amplified by the gain like the signal.
    double electronsPerCount = 2.7;
    double readNoiseElectrons = 2.4;

    // Read-out of a frame: the sensor reads row by row, then the link carries
    // the bytes; the slower of the two plus a fixed overhead.
    double rowTimeUs = 4.0;
    double linkBytesPerUs = 280.0;
    double readOutOverheadUs = 150.0;

    double minExposureUs = 10.0;
    double maxExposureUs = 10e6;
    double defaultExposureUs = 5000.0;
    double minGainDb = 0.0;
    double maxGainDb = 24.0;

    // Automatic exposure and gain aim the brightest visible cell window at
    // this share of full scale, changing at most by maxAutoStep per frame and
    // leaving the setting alone within autoTolerance of the aim.
    double autoTargetFraction = 0.5;
    double maxAutoStep = 2.0;
    double autoTolerance = 0.03;
};

const SensorModel& sensorModel();

// 10^(dB/20).
double linearGain(double gainDb);

// µs to read out a region of width x height (binned) pixels, `binningVertical`
// sensor rows per image row, 1 or 2 bytes per pixel on the link.
double readOutPeriodUs(int width, int height, int binningVertical, int bytesPerPixel);

// µs from one frame to the next: exposure and read-out overlap.
double framePeriodUs(double exposureUs, double readOutUs);

}  // namespace kelo::simcam
