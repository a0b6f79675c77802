// What the simulated cameras look at: light sources seen directly, and
// reflectance samples lit by the unit's own lamp on the camera's output line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kelo::simcam {

// The light each 1 nm column of a transfer matrix receives, for columns at
// firstNm, firstNm + 1, ... (count of them): each column holds the light of
// [nm - 0.5, nm + 0.5), so narrow lines keep their sub-nm position in the
// weights of neighbouring columns. Sample scenes are given with the lamp on.
// Throws std::invalid_argument for an unknown scene.
std::vector<double> sceneSpectrum(const std::string& scene, double firstNm, std::size_t count);

// True for the reflectance samples, which are dark while the lamp is off.
bool sceneNeedsLamp(const std::string& scene);

bool isKnownScene(const std::string& scene);

}  // namespace kelo::simcam
