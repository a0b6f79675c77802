#include "BlurNormalisation.h"

#include <algorithm>
#include <chrono>

namespace kelo::engine {

namespace {

constexpr double kSigma = 50.0;
constexpr std::size_t kSmallestSide = 2 * 50 + 1;

void scaleToPeak(std::vector<double>& image) {
    const double peak = *std::max_element(image.begin(), image.end());
    if (!(peak > 0.0)) {
        std::fill(image.begin(), image.end(), 1.0);
        return;
    }
    for (double& value : image) {
        value /= peak;
        if (value == 0.0) value = 1.0;
    }
}

}  // namespace

bool BlurNormalisation::supports(std::size_t width, std::size_t height) {
    return width >= kSmallestSide && height >= kSmallestSide;
}

BlurNormalisation::BlurNormalisation(std::size_t width, std::size_t height)
    : blur(width, height, kSigma), normalisation(width * height, 1.0) {}

long long BlurNormalisation::make(const std::uint16_t* frame) {
    const auto start = std::chrono::steady_clock::now();
    std::copy(frame, frame + normalisation.size(), normalisation.begin());
    blur.apply(normalisation.data());
    scaleToPeak(normalisation);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}

}  // namespace kelo::engine
