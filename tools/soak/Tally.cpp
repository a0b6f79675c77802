#include "Tally.h"

#include <algorithm>

#include "Protocol.h"

namespace kelo::soak {

namespace {

constexpr int kCheckpoints = 5;

// Least-squares slope of kib over cycle, from `first` on.
template <typename Samples>
double slopeOf(const Samples& samples, std::size_t first = 0) {
    if (samples.size() < first + 2) return 0.0;
    const double n = static_cast<double>(samples.size() - first);
    double sumX = 0.0, sumY = 0.0, sumXX = 0.0, sumXY = 0.0;
    for (std::size_t i = first; i < samples.size(); ++i) {
        const auto& sample = samples[i];
        const double x = sample.cycle;
        const double y = static_cast<double>(sample.kib);
        sumX += x;
        sumY += y;
        sumXX += x * x;
        sumXY += x * y;
    }
    const double spread = n * sumXX - sumX * sumX;
    return spread > 0.0 ? (n * sumXY - sumX * sumY) / spread : 0.0;
}

}  // namespace

void Tally::counted(const std::string& what) {
    ++counts[what];
}

long Tally::count(const std::string& what) const {
    const auto found = counts.find(what);
    return found == counts.end() ? 0 : found->second;
}

void Tally::fault(int cycle, const std::string& kind, const std::string& text) {
    faultList.push_back({cycle, kind, text});
}

void Tally::hang(int cycle, const std::string& operation, const std::string& text) {
    hangList.push_back({cycle, operation, text});
}

void Tally::crash(int cycle, const std::string& text) {
    crashList.push_back({cycle, "crash", text});
}

void Tally::hangEndedProcess(double seconds) {
    if (hangList.empty()) return;
    hangList.back().text += "; still not returned " + std::to_string(static_cast<int>(seconds)) +
                            " s on, process ended";
}

void Tally::operationEnded(const std::string& operation, std::int64_t microseconds) {
    std::int64_t& longest = longestUs[operation];
    longest = std::max(longest, microseconds);
}

void Tally::residentSize(int process, int cycle, std::int64_t kibibytes) {
    residentSamples.push_back({process, cycle, kibibytes});
}

long Tally::lostFiles() const {
    return std::count_if(faultList.begin(), faultList.end(), [](const Incident& incident) {
        return incident.kind == fault::kLostFile || incident.kind == fault::kHalfWritten;
    });
}

MemoryFigures Tally::memory() const {
    std::map<int, std::vector<Sample>> byProcess;
    for (const Sample& sample : residentSamples) byProcess[sample.process].push_back(sample);
    const std::vector<Sample>* longest = nullptr;
    for (const auto& [process, samples] : byProcess)
        if (longest == nullptr || samples.size() > longest->size()) longest = &samples;
    MemoryFigures figures;
    if (longest == nullptr) return figures;
    const std::vector<Sample>& samples = *longest;
    figures.samples = static_cast<int>(samples.size());
    figures.startKib = samples.front().kib;
    figures.endKib = samples.back().kib;
    figures.slopeKibPerCycle = slopeOf(samples);
    figures.laterSlopeKibPerCycle = slopeOf(samples, samples.size() / 2);
    for (int k = 0; k < kCheckpoints; ++k) {
        const std::size_t at = (samples.size() - 1) * k / (kCheckpoints - 1);
        if (!figures.checkpoints.empty() &&
            figures.checkpoints.back().first == samples[at].cycle + 1)
            continue;
        figures.checkpoints.push_back({samples[at].cycle + 1, samples[at].kib});
    }
    return figures;
}

bool Tally::clean() const {
    return crashList.empty() && hangList.empty() && faultList.empty();
}

}  // namespace kelo::soak
