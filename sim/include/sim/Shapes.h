// Smooth profiles the unit model is built from. They use only arithmetic
// that IEEE 754 rounds exactly, so a unit does not depend on the platform's
// math library.
#pragma once

namespace kelo::sim {

// 1 at u = 0, falling smoothly to exactly 0 at |u| = 1 and staying there.
inline double compactBump(double u) {
    if (u <= -1.0 || u >= 1.0) return 0.0;
    const double inside = 1.0 - u * u;
    return inside * inside * inside;
}

// 1 at u = 0, half at |u| = 0.644, with long tails falling as 1/u^4.
inline double broadBump(double u) {
    const double denominator = 1.0 + u * u;
    return 1.0 / (denominator * denominator);
}

}  // namespace kelo::sim
