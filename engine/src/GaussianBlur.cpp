#include "GaussianBlur.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "VectorClones.h"

namespace kelo::engine {

namespace {

// One output row of the vertical filter: every column's window sum takes
// the entering row and drops the leaving one.
KELO_VECTOR_CLONES
void slideColumns(std::int32_t* sums, const std::uint16_t* entering, const std::uint16_t* leaving,
                  std::uint16_t* out, std::size_t width, double inverse) {
#pragma omp simd
    for (std::size_t x = 0; x < width; ++x) {
        sums[x] += static_cast<std::int32_t>(entering[x]) - static_cast<std::int32_t>(leaving[x]);
        out[x] = roundedBoxMean(sums[x], inverse);
    }
}

// Window means along one row from its running totals: t[x] is the mean of
// the window that ends before totals[x + window].
KELO_VECTOR_CLONES
void meansFromTotals(const std::int32_t* totals, std::size_t window, std::uint16_t* t,
                     std::size_t width, double inverse) {
#pragma omp simd
    for (std::size_t x = 0; x < width; ++x)
        t[x] = roundedBoxMean(totals[x + window] - totals[x], inverse);
}

}  // namespace

std::array<int, 3> boxSizesForGauss(double sigma) {
    const float s = static_cast<float>(sigma);
    const float wIdeal = std::sqrt(12.0f * s * s / 3.0f + 1.0f);
    int wl = static_cast<int>(std::floor(wIdeal));
    if (wl % 2 == 0) --wl;
    const int wu = wl + 2;
    const float fl = static_cast<float>(wl);
    const float mIdeal = (12.0f * s * s - 3.0f * fl * fl - 12.0f * fl - 9.0f) / (-4.0f * fl - 4.0f);
    const int m = static_cast<int>(std::round(mIdeal));
    return {m > 0 ? wl : wu, m > 1 ? wl : wu, m > 2 ? wl : wu};
}

GaussianBlur::GaussianBlur(std::size_t imageWidth, std::size_t imageHeight, double sigma)
    : width(imageWidth), height(imageHeight) {
    const std::array<int, 3> sizes = boxSizesForGauss(sigma);
    for (int k = 0; k < 3; ++k) radii[k] = (sizes[k] - 1) / 2;
    const std::size_t largest =
        static_cast<std::size_t>(*std::max_element(sizes.begin(), sizes.end()));
    if (sizes[0] < 1 || width < largest || height < largest)
        throw std::invalid_argument("image smaller than the blur's box");
    source.resize(width * height);
    target.resize(width * height);
    across.resize(width * height);
    columnSums.resize(width);
    rowTotals.resize(width + 2 * static_cast<std::size_t>(largest) + 1);
}

void GaussianBlur::apply(double* image) {
    const std::size_t pixels = width * height;
#pragma omp simd
    for (std::size_t i = 0; i < pixels; ++i)
        source[i] = static_cast<std::uint16_t>(static_cast<std::int32_t>(image[i]));
    boxPass(source.data(), target.data(), radii[0]);
    boxPass(target.data(), source.data(), radii[1]);
    boxPass(source.data(), target.data(), radii[2]);
#pragma omp simd
    for (std::size_t i = 0; i < pixels; ++i) image[i] = target[i];
}

void GaussianBlur::boxPass(const std::uint16_t* from, std::uint16_t* to, int radius) {
    horizontal(from, across.data(), radius);
    vertical(across.data(), to, radius);
}

void GaussianBlur::horizontal(const std::uint16_t* from, std::uint16_t* to, int radius) {
    // Along a row the window sums are differences of running totals over the
    // row with its edge values repeated r times on either side; the totals
    // are one chain of additions, the differences and means run in parallel.
    const double inverse = boxInverse(radius);
    const std::size_t r = static_cast<std::size_t>(radius);
    const std::size_t window = 2 * r + 1;
    std::int32_t* totals = rowTotals.data();
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint16_t* s = from + y * width;
        std::uint16_t* t = to + y * width;
        std::int32_t total = 0;
        std::size_t k = 0;
        totals[k++] = 0;
        for (std::size_t j = 0; j < r; ++j) totals[k++] = total += s[0];
        for (std::size_t x = 0; x < width; ++x) totals[k++] = total += s[x];
        for (std::size_t j = 0; j < r; ++j) totals[k++] = total += s[width - 1];
        meansFromTotals(totals, window, t, width, inverse);
    }
}

void GaussianBlur::vertical(const std::uint16_t* from, std::uint16_t* to, int radius) {
    const double inverse = boxInverse(radius);
    const std::size_t r = static_cast<std::size_t>(radius);
    auto row = [&](std::size_t y) { return from + y * width; };
    const std::uint16_t* first = row(0);
    const std::uint16_t* last = row(height - 1);
    std::int32_t* sums = columnSums.data();
    for (std::size_t x = 0; x < width; ++x) sums[x] = (radius + 1) * first[x];
    for (std::size_t j = 0; j < r; ++j)
        for (std::size_t x = 0; x < width; ++x) sums[x] += row(j)[x];
    std::size_t y = 0;
    for (; y <= r; ++y) slideColumns(sums, row(y + r), first, to + y * width, width, inverse);
    for (; y < height - r; ++y)
        slideColumns(sums, row(y + r), row(y - r - 1), to + y * width, width, inverse);
    for (; y < height; ++y)
        slideColumns(sums, last, row(y - r - 1), to + y * width, width, inverse);
}

}  // namespace kelo::engine
