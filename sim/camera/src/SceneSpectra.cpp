#include "simcam/SceneSpectra.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>

#include "simcam/SimulatorControl.h"

namespace kelo::simcam {

namespace {

// A band of light: its total power spread as a Gaussian around a wavelength.
struct Band {
    double centreNm;
    double sigmaNm;
    double power;
};

// Emission lines are far narrower than a cell's passband; this width only
// spreads them over neighbouring columns in proportion to their position.
constexpr double kLineSigmaNm = 0.4;

// Share of a Gaussian band that falls into the 1 nm column at `columnNm`.
double bandShare(const Band& band, double columnNm) {
    const double scale = 1.0 / (std::sqrt(2.0) * band.sigmaNm);
    const double upper = std::erf((columnNm + 0.5 - band.centreNm) * scale);
    const double lower = std::erf((columnNm - 0.5 - band.centreNm) * scale);
    return 0.5 * band.power * (upper - lower);
}

double bandsAt(const std::vector<Band>& bands, double columnNm) {
    double sum = 0.0;
    for (const Band& band : bands) sum += bandShare(band, columnNm);
    return sum;
}

// Black-body radiance relative to its value at 560 nm.
double blackBody(double nm, double kelvin) {
    constexpr double kSecondRadiationConstant = 1.438777e7;  // nm K
    const auto radiance = [kelvin](double at) {
        return 1.0 / (std::pow(at, 5.0) * std::expm1(kSecondRadiationConstant / (at * kelvin)));
    };
    return radiance(nm) / radiance(560.0);
}

double logistic(double nm, double edgeNm, double widthNm) {
    return 1.0 / (1.0 + std::exp(-(nm - edgeNm) / widthNm));
}

double bump(double nm, double centreNm, double widthNm) {
    const double u = (nm - centreNm) / widthNm;
    return std::exp(-u * u);
}

// The levels below put the brightest cell of a synthetic unit at roughly
// 3000 counts at its default settings (10 ms, 0 dB).
const std::vector<Band> kFluorescentBands = {
    // Mercury lines.
    {404.7, kLineSigmaNm, 1600.0},
    {435.8, kLineSigmaNm, 5500.0},
    {546.1, kLineSigmaNm, 6700.0},
    {577.0, kLineSigmaNm, 800.0},
    {579.1, kLineSigmaNm, 900.0},
    // Phosphors: broad blue, terbium green, europium red.
    {450.0, 22.0, 18200.0},
    {488.0, 4.0, 3000.0},
    {543.5, 4.0, 19400.0},
    {587.5, 3.5, 4200.0},
    {611.5, 3.0, 27300.0},
    {631.0, 5.0, 5500.0},
    {707.0, 3.0, 1800.0},
};

const std::vector<Band> kWhiteLedBands = {
    {450.0, 10.0, 66800.0},   // blue chip
    {565.0, 55.0, 175300.0},  // yellow phosphor
};

const std::vector<Band> kLaserBands = {{532.0, kLineSigmaNm, 36700.0}};

constexpr double kHalogenLevel = 518.0;
// The unit's lamp: a white LED like the "led" scene with a small
// incandescent part, so that samples are lit into the near infrared.
constexpr double kLampShare = 0.94;
constexpr double kLampIncandescentShare = 0.15;

struct Scene {
    const char* name;
    bool needsLamp;
    std::function<double(double)> light;  // per 1 nm column
};

double lamp(double nm) {
    return kLampShare * (bandsAt(kWhiteLedBands, nm) +
                         kLampIncandescentShare * kHalogenLevel * blackBody(nm, 3000.0));
}

const std::vector<Scene>& scenes() {
    static const std::vector<Scene> table = {
        {"dark", false, [](double) { return 0.0; }},
        {"halogen", false, [](double nm) { return kHalogenLevel * blackBody(nm, 3000.0); }},
        {"led", false, [](double nm) { return bandsAt(kWhiteLedBands, nm); }},
        {"fluorescent", false, [](double nm) { return bandsAt(kFluorescentBands, nm); }},
        {"laser532", false, [](double nm) { return bandsAt(kLaserBands, nm); }},
        {"white", true, [](double nm) { return 0.99 * lamp(nm); }},
        {"grey50", true, [](double nm) { return 0.5 * lamp(nm); }},
        {"red", true,
         [](double nm) { return (0.05 + 0.85 * logistic(nm, 600.0, 12.0)) * lamp(nm); }},
        {"green", true, [](double nm) { return (0.05 + 0.55 * bump(nm, 530.0, 45.0)) * lamp(nm); }},
        {"blue", true, [](double nm) { return (0.05 + 0.6 * bump(nm, 455.0, 40.0)) * lamp(nm); }},
        {"yellow", true,
         [](double nm) { return (0.06 + 0.82 * logistic(nm, 510.0, 12.0)) * lamp(nm); }},
    };
    return table;
}

const Scene* findScene(const std::string& name) {
    const auto& table = scenes();
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&name](const Scene& s) { return name == s.name; });
    return found == table.end() ? nullptr : &*found;
}

const Scene& sceneOrThrow(const std::string& name) {
    const Scene* scene = findScene(name);
    if (scene == nullptr) throw std::invalid_argument("unknown scene \"" + name + "\"");
    return *scene;
}

}  // namespace

std::vector<double> sceneSpectrum(const std::string& scene, double firstNm, std::size_t count) {
    const Scene& found = sceneOrThrow(scene);
    std::vector<double> spectrum(count);
    for (std::size_t j = 0; j < count; ++j)
        spectrum[j] = found.light(firstNm + static_cast<double>(j));
    return spectrum;
}

bool sceneNeedsLamp(const std::string& scene) {
    return sceneOrThrow(scene).needsLamp;
}

bool isKnownScene(const std::string& scene) {
    return findScene(scene) != nullptr;
}

const std::vector<std::string>& sceneNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const Scene& scene : scenes()) list.emplace_back(scene.name);
        return list;
    }();
    return names;
}

}  // namespace kelo::simcam
