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
#include "OutputLines.h"
#include "QuotedInput.h"
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

constexpr WholeNumberRange kIntervalRange{1, 86400};  // seconds, up to a day
constexpr WholeNumberRange kSamplesRange{1, 1000000};
constexpr WholeNumberRange kWavelengthRange{0, 5000};  // nm

// The metric's number for the utility; empty, with `error` set, for a name
// it does not know.
std::optional<int> metricNumber(const std::string& name, std::string& error) {
    if (name == "area") return 0;
    if (name == "peak") return 1;
    if (name == "ratio") return 2;
    error = "--metric takes area, peak or ratio, not " + quotedInput(name);
    return std::nullopt;
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
    const auto interval = arguments->wholeNumber("--interval", 1, kIntervalRange, error);
    const auto samples = arguments->wholeNumber("--samples", 1, kSamplesRange, error);
    const auto start = arguments->wholeNumber("--start", 0, kWavelengthRange, error);
    const auto end = arguments->wholeNumber("--end", 0, kWavelengthRange, error);
    const auto metric = metricNumber(*arguments->value("--metric"), error);
    if (!interval || !samples || !start || !end || !metric) return std::nullopt;
    // The mean over an empty window is nothing but zeros.
    if (*metric == 0 && *start > *end) {
        error = "--start " + std::to_string(*start) + " nm lies above --end " +
                std::to_string(*end) + " nm; the area metric needs start at or below end";
        return std::nullopt;
    }
    SeriesRequest request;
    request.intervalSeconds = static_cast<int>(*interval);
    request.samples = static_cast<int>(*samples);
    request.startWavelength = static_cast<int>(*start);
    request.endWavelength = static_cast<int>(*end);
    request.metric = *metric;
    request.outName = *arguments->value("--out");
    return request;
}

}  // namespace

int runSeries(const Words& words) {
    std::string error;
    const std::optional<SeriesRequest> request = parseRequest(words, error);
    if (!request) return usageError("series", error);

    cSpectraUtility utility;
    int failureStatus = 1;
    std::shared_ptr<Brevanta::KelSpectro> spectro =
        openSpectraSession(utility, "series", {}, failureStatus);
    if (spectro == nullptr) return failureStatus;

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
    QObject::connect(
        &utility, &cSpectraUtility::onTSSpectrumRecieved, [&](double& value, int& samplesDone) {
            times.push_back((samplesDone - 1) * double(request->intervalSeconds));
            metrics.push_back(value);
            std::cout << freshLine << "sample " << samplesDone << ": " << value << std::endl;
            if (samplesDone == request->samples) loop.quit();
            watchdog.start(patienceMs);
        });
    utility.startTimeSeries(request->intervalSeconds, request->samples, request->startWavelength,
                            request->endWavelength, request->metric);
    watchdog.start(patienceMs);
    loop.exec();
    utility.stopTimeSeries();
    spectro->closeDevice();
    if (times.size() != request->samples)
        return commandFailure("series", "the camera stopped delivering spectra after " +
                                            std::to_string(times.size()) + " samples");
    if (!utility.saveTimeSeries(request->outName, times, metrics)) return 1;
    std::cout << freshLine << "saved: " << request->outName << ".txt\n";
    return 0;
}

}  // namespace kelo::cli
