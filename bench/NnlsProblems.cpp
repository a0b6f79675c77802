#include "NnlsProblems.h"

namespace kelo::bench {

namespace {

const reference::SyntheticCalibration& calibration() {
    static const reference::SyntheticCalibration unit;
    return unit;
}

reference::SolverProblem build(ProblemKind kind) {
    const bool full = kind == ProblemKind::fullBroadband;
    const std::vector<double> grid = calibration().grid(full);
    const std::vector<double> spectrum =
        kind == ProblemKind::restrictedLine
            ? reference::lineSpectrum(grid, {532.0}, 1.0, reference::kCameraPeak)
            : reference::halogenSpectrum(grid, reference::kCameraPeak);
    return calibration().problem(spectrum, full);
}

constexpr double kStreamNoise = 20.0;

}  // namespace

const char* problemName(ProblemKind kind) {
    switch (kind) {
        case ProblemKind::restrictedBroadband:
            return "restricted_broadband";
        case ProblemKind::fullBroadband:
            return "full_broadband";
        case ProblemKind::restrictedLine:
            return "restricted_line";
    }
    return "";
}

const reference::SolverProblem& problemFor(ProblemKind kind) {
    static const reference::SolverProblem problems[] = {build(ProblemKind::restrictedBroadband),
                                                        build(ProblemKind::fullBroadband),
                                                        build(ProblemKind::restrictedLine)};
    return problems[static_cast<int>(kind)];
}

const char* streamName(StreamKind kind) {
    return kind == StreamKind::fullBroadband ? "full_broadband_stream"
                                             : "restricted_broadband_stream";
}

const std::vector<reference::SolverProblem>& streamFor(StreamKind kind) {
    static const std::vector<reference::SolverProblem> streams[] = {
        reference::broadbandStream(calibration(), kStreamFrames, false, kStreamNoise),
        reference::broadbandStream(calibration(), kStreamFrames, true, kStreamNoise)};
    return streams[static_cast<int>(kind)];
}

}  // namespace kelo::bench
