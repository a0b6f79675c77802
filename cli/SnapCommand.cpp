// kelo snap: one spectrum of the first camera, processed by the spectrum
// utility and saved by it, so the file is exactly what the application
// saves.
#include <QObject>
#include <cstdlib>
#include <iostream>
#include <optional>

#include "ArgumentList.h"
#include "CameraLimits.h"
#include "Commands.h"
#include "OutputLines.h"
#include "QuotedInput.h"
#include "SpectraSession.h"
#include "simcam/SimulatorControl.h"

namespace kelo::cli {

namespace {

const char* const kSynopsis =
    "usage: kelo snap [--averages N] [--exposure-ms X] [--gain G] [--dark] [--full] [--csv] "
    "--out BASE";

struct SnapRequest {
    CameraSettings camera;
    bool dark = false;
    bool full = false;
    bool csv = false;
    std::string outBase;
};

std::optional<SnapRequest> parseRequest(const Words& words, std::string& error) {
    auto arguments = ArgumentList::parse(words, {"--averages", "--exposure-ms", "--gain", "--out"},
                                         {"--dark", "--full", "--csv"}, error);
    if (!arguments) return std::nullopt;
    if (!arguments->positional().empty() || !arguments->value("--out")) {
        error = kSynopsis;
        return std::nullopt;
    }
    SnapRequest request;
    request.outBase = *arguments->value("--out");
    request.dark = arguments->hasFlag("--dark");
    request.full = arguments->hasFlag("--full");
    request.csv = arguments->hasFlag("--csv");
    if (arguments->value("--averages")) {
        const auto averages = arguments->wholeNumber("--averages", 1, kAveragesRange, error);
        if (!averages) return std::nullopt;
        request.camera.averages = static_cast<int>(*averages);
    }
    // Checked against the camera's limits once it is open.
    request.camera.exposureMs = arguments->optionalNumber("--exposure-ms", error);
    request.camera.gain = arguments->optionalNumber("--gain", error);
    if (!error.empty()) return std::nullopt;
    return request;
}

// The scene the camera looks at while the dark is taken.
std::string darkScene() {
    const char* scene = std::getenv("KELO_SIM_DARK_SCENE");
    return scene != nullptr && *scene != '\0' ? scene : "dark";
}

// Collects a dark with the camera looking at the dark scene and turns dark
// subtraction on; false with the reason on standard error.
bool collectDark(cSpectraUtility& utility, Brevanta::KelSpectro& spectro) {
    const std::string lit = simcam::currentSettings().scene;
    if (!simcam::setScene(darkScene())) {
        commandFailure("snap", "KELO_SIM_DARK_SCENE names no scene: " + quotedInput(darkScene()));
        return false;
    }
    bool collected = false;
    const QMetaObject::Connection connection = QObject::connect(
        &spectro, &Brevanta::KelSpectro::darkImageCollected, [&collected] { collected = true; });
    utility.collectDark();
    QObject::disconnect(connection);
    simcam::setScene(lit);
    if (!collected) {
        commandFailure("snap", "no dark could be taken");
        return false;
    }
    spectro.setDarkSubtraction(true);
    return true;
}

}  // namespace

int runSnap(const Words& words) {
    std::string error;
    const std::optional<SnapRequest> request = parseRequest(words, error);
    if (!request) return usageError("snap", error);

    cSpectraUtility utility;
    int failureStatus = 1;
    std::shared_ptr<Brevanta::KelSpectro> spectro =
        openSpectraSession(utility, "snap", request->camera, failureStatus);
    if (spectro == nullptr) return failureStatus;
    if (request->full) {
        spectro->setRestrictedRange(false);
        utility.setWavelengths(spectro->getWavelengths());
    }
    if (request->dark && !collectDark(utility, *spectro)) return 1;

    bool acquired = false;
    QObject::connect(&utility, &cSpectraUtility::pSpectrumReady,
                     [&acquired](const std::vector<double>&) { acquired = true; });
    utility.callGetSpectra();
    if (!acquired) return commandFailure("snap", "no spectrum could be taken");
    bool saved = false;
    std::string savedName;
    QObject::connect(&utility, &cSpectraUtility::plotSaved, [&](bool ok, const std::string& name) {
        saved = ok;
        savedName = name;
    });
    utility.savePlot(request->outBase, "nm", "counts", request->csv);
    spectro->closeDevice();
    if (!saved) return 1;
    std::cout << freshLine << "saved: " << savedName << "\n";
    return 0;
}

}  // namespace kelo::cli
