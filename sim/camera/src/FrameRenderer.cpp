#include "FrameRenderer.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

#include "NoiseTable.h"

namespace kelo::simcam {

namespace {

// Frame pixels first..last along one axis; empty when first > last.
struct Span {
    int first = 0;
    int last = -1;
    bool empty() const { return first > last; }
};

// The pixels within `reach` of unit pixel `centre`, in a frame of `size`
// pixels starting at `regionOffset` on a sensor where the unit's image starts
// at `unitOffset`. Computed wide: unit files may hold any numbers.
Span frameSpan(std::int64_t centre, std::int64_t reach, std::int64_t unitOffset,
               std::int64_t regionOffset, int size) {
    const std::int64_t shifted = centre + unitOffset - regionOffset;
    const std::int64_t first = std::max<std::int64_t>(shifted - reach, 0);
    const std::int64_t last = std::min<std::int64_t>(shifted + reach, size - 1);
    if (first > last) return {};
    return {static_cast<int>(first), static_cast<int>(last)};
}

// A multiplier that shuffles 0..count-1 when taken modulo count: coprime to
// it and near its golden section, so neighbouring pixels get distant values.
std::size_t shuffleStep(std::size_t count) {
    std::size_t step = static_cast<std::size_t>(0.618 * count) | 1;
    while (std::gcd(step, count) != 1) step += 2;
    return step;
}

}  // namespace

FrameRenderer::FrameRenderer() : dither(sensorPixels()), windowOfPixel(sensorPixels()) {}

void FrameRenderer::fillDither(int periodX, int periodY) {
    const std::size_t count = static_cast<std::size_t>(periodX) * periodY;
    const std::size_t step = shuffleStep(count);
    // Added to a whole count of up to 4095 the sum stays below the next one
    // in float.
    const float highest = 1.0f - 0x1p-11f;
    const int columns = sensorModel().sensorWidth;
    for (std::size_t p = 0; p < dither.size(); ++p) {
        const std::size_t cell = (p % columns) % periodX * periodY + (p / columns) % periodY;
        dither[p] = std::min(static_cast<float>((cell * step % count) / double(count)), highest);
    }
}

void FrameRenderer::setUnit(std::shared_ptr<const UnitOptics> newUnit) {
    unit = std::move(newUnit);
    const auto period = [](int reach) { return 2 * std::clamp(reach, 0, 64) + 1; };
    fillDither(period(unit ? unit->block.neighbourPixelsX : 8),
               period(unit ? unit->block.neighbourPixelsY : 8));
    const std::size_t cells = unit ? unit->cellCentres.size() : 0;
    levels.assign(cells + 1, 0.0f);
    sigmas.assign(cells + 1, 0.0f);
    visibleCells.clear();
    visibleCells.reserve(cells);
    layoutValid = false;
}

void FrameRenderer::layOut(const Region& region) {
    laidOut = region;
    layoutValid = true;
    visibleCells.clear();
    const std::size_t pixels = static_cast<std::size_t>(region.width) * region.height;
    std::fill_n(windowOfPixel.begin(), pixels, 0);
    if (!unit) return;
    const SystemConfigBlock& block = unit->block;
    for (std::size_t cell = 0; cell < unit->cellCentres.size(); ++cell) {
        const PixelPlace& centre = unit->cellCentres[cell];
        const Span columns = frameSpan(centre.x, block.neighbourPixelsX, block.hwOffsetX,
                                       region.offsetX, region.width);
        const Span rows = frameSpan(centre.y, block.neighbourPixelsY, block.hwOffsetY,
                                    region.offsetY, region.height);
        if (columns.empty() || rows.empty()) continue;
        visibleCells.push_back(static_cast<int>(cell));
        // Where windows overlap, the earlier cell keeps the pixel.
        for (int y = rows.first; y <= rows.last; ++y) {
            std::int32_t* row = &windowOfPixel[static_cast<std::size_t>(y) * region.width];
            for (int x = columns.first; x <= columns.last; ++x)
                if (row[x] == 0) row[x] = static_cast<std::int32_t>(cell) + 1;
        }
    }
}

double FrameRenderer::prepareLevels(const FrameRequest& request) {
    const SensorModel& model = sensorModel();
    const double scale = request.format == PixelFormat::Mono8
                             ? double(model.maxCount8 + 1) / (model.maxCount12 + 1)
                             : 1.0;
    const double countsPerElectron = request.gain / model.electronsPerCount;
    const double readNoise = model.readNoiseElectrons * countsPerElectron;
    // A pixel saturates far below the ceiling: whatever lies above it (a
    // damaged transfer matrix can make it infinite) is drawn as the ceiling.
    const auto bounded = [](double counts) {
        constexpr double kCeiling = 1e9;
        return static_cast<float>(counts < kCeiling ? counts : kCeiling);
    };
    const auto setLevel = [&](std::size_t window, double signal) {
        levels[window] = bounded((model.darkLevel + signal) * scale);
        const double variance = readNoise * readNoise + signal * countsPerElectron;
        sigmas[window] = request.noise ? bounded(std::sqrt(variance) * scale) : 0.0f;
    };
    setLevel(0, 0.0);
    for (std::size_t cell = 0; cell + 1 < levels.size(); ++cell) {
        const double response = request.responses ? (*request.responses)[cell] : 0.0;
        setLevel(cell + 1, (response > 0.0 ? response : 0.0) * request.signalPerResponse);
    }
    double brightest = 0.0;
    for (int cell : visibleCells)
        brightest = std::max(brightest, levels[cell + 1] / scale - model.darkLevel);
    return brightest;
}

template <typename Pixel>
void FrameRenderer::fillPixels(const FrameRequest& request, Pixel* pixels) const {
    const float top = static_cast<float>(maxCount(request.format));
    const float* noise = NoiseTable::shared().values();
    const std::size_t ditherStride = sensorModel().sensorWidth;
    for (int y = 0; y < request.height; ++y) {
        const std::size_t first = static_cast<std::size_t>(y) * request.width;
        // The dither belongs to the sensor pixel, wherever the region lies.
        const float* ditherRow = &dither[(request.offsetY + y) * ditherStride + request.offsetX];
        const std::int32_t* windowRow = &windowOfPixel[first];
        Pixel* out = pixels + first;
        for (int x = 0; x < request.width; ++x) {
            const std::int32_t window = windowRow[x];
            float value = levels[window] + ditherRow[x];
            if (request.noise)
                value +=
                    sigmas[window] * noise[(request.noiseOffset + first + x) & NoiseTable::kMask];
            out[x] = static_cast<Pixel>(std::min(std::max(value, 0.0f), top));
        }
    }
}

// Alternately stuck at full scale and dead; the engine skips them anyway.
template <typename Pixel>
void FrameRenderer::markBadPixels(const FrameRequest& request, Pixel* pixels) const {
    if (!unit) return;
    const Pixel full = static_cast<Pixel>(maxCount(request.format));
    for (std::size_t i = 0; i < unit->badPixels.size(); ++i) {
        const PixelPlace& bad = unit->badPixels[i];
        const Span column =
            frameSpan(bad.x, 0, unit->block.hwOffsetX, request.offsetX, request.width);
        const Span row =
            frameSpan(bad.y, 0, unit->block.hwOffsetY, request.offsetY, request.height);
        if (column.empty() || row.empty()) continue;
        pixels[static_cast<std::size_t>(row.first) * request.width + column.first] =
            i % 2 == 0 ? full : Pixel{0};
    }
}

void FrameRenderer::fillPattern(const FrameRequest& request, FrameBuffer& frame) const {
    const int period = maxCount(request.format) + 1;
    for (int y = 0; y < request.height; ++y)
        for (int x = 0; x < request.width; ++x) {
            const int value = (request.offsetX + x + request.offsetY + y) % period;
            const std::size_t at = static_cast<std::size_t>(y) * request.width + x;
            if (request.format == PixelFormat::Mono8)
                frame.bytes()[at] = static_cast<std::uint8_t>(value);
            else
                frame.words()[at] = static_cast<std::uint16_t>(value);
        }
}

double FrameRenderer::render(const FrameRequest& request, FrameBuffer& frame) {
    frame.shape(request.width, request.height, request.format);
    if (request.pattern != TestPattern::Off) {
        fillPattern(request, frame);
        return 0.0;
    }
    const Region region{request.offsetX, request.offsetY, request.width, request.height};
    if (!layoutValid || !(region == laidOut)) layOut(region);
    const double brightest = prepareLevels(request);
    if (request.format == PixelFormat::Mono8) {
        fillPixels(request, frame.bytes());
        markBadPixels(request, frame.bytes());
    } else {
        fillPixels(request, frame.words());
        markBadPixels(request, frame.words());
    }
    return brightest;
}

}  // namespace kelo::simcam
