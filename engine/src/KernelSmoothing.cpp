#include "KernelSmoothing.h"

namespace kelo::engine {

void convolveFull(const double* x, const double* kernel, std::size_t n, double* c) {
    for (std::size_t i = 0; i < n; ++i) {
        const double weight = x[i];
        // Most of a fitted spectrum is exactly zero, and adding 0 * k changes
        // no sum.
        if (weight == 0.0) continue;
        double* target = c + i;
        for (std::size_t j = 0; j < n; ++j) target[j] += weight * kernel[j];
    }
}

void centralPart(const double* c, std::size_t n, double* out) {
    if (n == 0) return;
    if (n == 1) {
        out[0] = c[0];
        return;
    }
    const double* first = c + n / 2;
    for (std::size_t i = 0; i + 1 < n; ++i) out[i] = first[i];
    out[n - 1] = out[n - 2];
}

}  // namespace kelo::engine
