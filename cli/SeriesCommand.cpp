// kelo series: a time series of a spectral metric on the first camera, run
// and written by the spectrum utility as in the application.
#include <QEventLoop>
#include <QTimer>
#include <QVector>
#include <algorithm>
#include <iostream>
#include <optional>

#include "ArgumentList.h"
#include "Commands.h"
#include "SpectraSession.h"

namespace kelo::cli {

namespace {

const char* const kSynopsis =
    "usage: kelo series --interval S --samples N --start WL --end WL --metric area|peak|ratio "
    "--out NAME";

// How long past the interval a sample may be late before the series is
// given up.
constexpr int kPatienceMs = 30000;

struct SeriesRequest {
    int intervalSeconds = 1;
    int samples = 1;
    int startWavelength = 0;
    int endWavelength = 0;
    int metric = 0;
    std::string outName;
};

// A whole number option within [low, high]; `error` names it otherwise.
int boundedOption(const ArgumentList& arguments, const std::string& name, unsigned long long low,
                  unsigned long long high, std::string& error) {
    const std::optional<unsigned long long> value = arguments.wholeNumber(name, 0, error);
    if (!value) return 0;
    if (*value < low || *value > high) {
        error = name + " takes a whole number from " + std::to_string(low) + " to " +
                std::to_string(high);
        return 0;
    }
    return static_cast<int>(*value);
}

std::optional<SeriesRequest> parseRequest(const Words& words, std::string& error) {
    const char* const required[] = {"--interval", "--samples", "--start",
                                    "--end",      "--metric",  "--out"};
    auto arguments = ArgumentList::parse(
        words, std::set<std::string>(std::begin(required), std::end(required)), {}, error);
    if (!arguments) return std::nullopt;
    bool complete = arguments->positional().empty();
    for (const char* name : required) complete = complete && arguments->value(name).has_value();
    if (!complete) {
        error = kSynopsis;
        return std::nullopt;
    }
    SeriesRequest request;
    request.intervalSeconds = boundedOption(*arguments, "--interval", 1, 86400, error);
    if (error.empty()) request.samples = boundedOption(*arguments, "--samples", 1, 1000000, error);
    if (error.empty())
        request.startWavelength = boundedOption(*arguments, "--start", 0, 5000, error);
    if (error.empty()) request.endWavelength = boundedOption(*arguments, "--end", 0, 5000, error);
    if (!error.empty()) return std::nullopt;

    const std::string metric = *arguments->value("--metric");
    if (metric == "area") {
        request.metric = 0;
    } else if (metric == "peak") {
        request.metric = 1;
    } else if (metric == "ratio") {
        request.metric = 2;
    } else {
        error = "--metric takes area, peak or ratio, not \"" + metric + "\"";
        return std::nullopt;
    }
    request.outName = *arguments->value("--out");
    return request;
}

}  // namespace

int runSeries(const Words& words) {
    std::string error;
    const std::optional<SeriesRequest> request = parseRequest(words, error);
    if (!request) return usageError("series", error);

    cSpectraUtility utility;
    std::shared_ptr<Brevanta::KelSpectro> spectro = openSpectraSession(utility, "series", {});
    if (spectro == nullptr) return 1;

    const std::vector<double>& grid = utility.getSpectrumWavelengths();
    for (int wavelength : {request->startWavelength, request->endWavelength}) {
        if (std::find(grid.begin(), grid.end(), double(wavelength)) == grid.end()) {
            spectro->closeDevice();
            return usageError("series", std::to_string(wavelength) +
                                            " nm is not a wavelength of the spectra (" +
                                            std::to_string(int(grid.front())) + " to " +
                                            std::to_string(int(grid.back())) + " nm)");
        }
    }

    // Sample k is taken (k - 1) intervals after the first. A camera that
    // stops delivering ends the series instead of hanging it.
    QVector<double> times;
    QVector<double> metrics;
    QEventLoop loop;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    const int patienceMs = request->intervalSeconds * 1000 + kPatienceMs;
    QObject::connect(&watchdog, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&utility, &cSpectraUtility::onTSSpectrumRecieved,
                     [&](double& value, int& samplesDone) {
                         times.push_back((samplesDone - 1) * double(request->intervalSeconds));
                         metrics.push_back(value);
                         std::cout << "sample " << samplesDone << ": " << value << std::endl;
                         if (samplesDone == request->samples) loop.quit();
                         watchdog.start(patienceMs);
                     });
    utility.startTimeSeries(request->intervalSeconds, request->samples, request->startWavelength,
                            request->endWavelength, request->metric);
    watchdog.start(patienceMs);
    loop.exec();
    utility.stopTimeSeries();
    spectro->closeDevice();
    if (times.size() != request->samples) {
        std::cerr << "kelo series: the camera stopped delivering spectra after " << times.size()
                  << " samples\n";
        return 1;
    }
    if (!utility.saveTimeSeries(request->outName, times, metrics)) return 1;
    std::cout << "saved: " << request->outName << ".txt\n";
    return 0;
}

}  // namespace kelo::cli
