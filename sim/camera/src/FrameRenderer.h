// Renders the image a simulated camera sees: every cell window of the unit
// lit with the counts its transfer-matrix row gives for the scene, the rest
// of the sensor at the dark level, then noise, dither, clipping and the
// unit's bad pixels. Used by one grabbing thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "CameraSettings.h"
#include "FramePool.h"
#include "UnitOptics.h"

namespace kelo::simcam {

struct FrameRequest {
    // Region of the sensor in (binned) pixels; the unit's image sits on the
    // sensor at its hardware offsets.
    int offsetX = 0;
    int offsetY = 0;
    int width = 0;
    int height = 0;
    PixelFormat format = PixelFormat::Mono12;
    TestPattern pattern = TestPattern::Off;

    double signalPerResponse = 0.0;  // 12-bit counts per unit of T s: exposure x gain x k
    double gain = 1.0;               // linear; amplifies the read and shot noise
    // T s per cell; null when no light reaches the sensor.
    const std::vector<double>* responses = nullptr;
    bool noise = false;
    std::size_t noiseOffset = 0;  // where the frame reads the noise table
};

class FrameRenderer {
public:
    FrameRenderer();

    // The unit whose windows are rendered; null renders dark frames. Not
    // while a frame is rendered.
    void setUnit(std::shared_ptr<const UnitOptics> unit);

    // Fills `frame` and returns the noise-free signal (12-bit counts above
    // dark) of the brightest cell window that shows in the region.
    double render(const FrameRequest& request, FrameBuffer& frame);

private:
    struct Region {
        int offsetX = 0, offsetY = 0, width = 0, height = 0;
        bool operator==(const Region& o) const {
            return offsetX == o.offsetX && offsetY == o.offsetY && width == o.width &&
                   height == o.height;
        }
    };

    void fillDither(int periodX, int periodY);
    void layOut(const Region& region);
    double prepareLevels(const FrameRequest& request);
    void fillPattern(const FrameRequest& request, FrameBuffer& frame) const;
    template <typename Pixel>
    void fillPixels(const FrameRequest& request, Pixel* pixels) const;
    template <typename Pixel>
    void markBadPixels(const FrameRequest& request, Pixel* pixels) const;

    std::shared_ptr<const UnitOptics> unit;
    // A fixed value in [0, 1) per sensor pixel, added before truncation so
    // that whole counts do not bias a window mean. The values repeat with the
    // window size, each once per period, so any whole window holds each.
    std::vector<float> dither;
    // Per pixel of the laid-out region: 0 outside every window, else cell + 1.
    std::vector<std::int32_t> windowOfPixel;
    std::vector<int> visibleCells;  // cells with at least one pixel in the region
    Region laidOut;
    bool layoutValid = false;
    // Per window (index 0: no window), in the output's counts.
    std::vector<float> levels;
    std::vector<float> sigmas;
};

}  // namespace kelo::simcam
