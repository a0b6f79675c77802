// What the soak counted over all instrument processes: the things it did,
// crashes, hangs, faults, how long each kind of operation took at most, and
// the resident set size at the end of each cycle.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kelo::soak {

struct Incident {
    int cycle = 0;     // from 1; 0 before the first
    std::string kind;  // fault kind, operation, or "crash"
    std::string text;
};

struct MemoryFigures {
    int samples = 0;
    std::int64_t startKib = 0;  // at the end of the first cycle
    std::int64_t endKib = 0;    // at the end of the last cycle
    // Least-squares slopes over all the samples and over the later half.
    double slopeKibPerCycle = 0.0;
    double laterSlopeKibPerCycle = 0.0;
    // The size at the end of cycles spread over the run (from 1), in KiB.
    std::vector<std::pair<int, std::int64_t>> checkpoints;
};

class Tally {
public:
    void counted(const std::string& what);
    long count(const std::string& what) const;

    void fault(int cycle, const std::string& kind, const std::string& text);
    void hang(int cycle, const std::string& operation, const std::string& text);
    void crash(int cycle, const std::string& text);
    // The last hang did not end: the process was ended `seconds` after it
    // was last heard of.
    void hangEndedProcess(double seconds);
    // An operation that returned after `microseconds`.
    void operationEnded(const std::string& operation, std::int64_t microseconds);
    // The resident set size of the instrument process `process` (counting
    // from 0 for each process started) in cycle `cycle`.
    void residentSize(int process, int cycle, std::int64_t kibibytes);

    const std::vector<Incident>& crashes() const { return crashList; }
    const std::vector<Incident>& hangs() const { return hangList; }
    const std::vector<Incident>& faults() const { return faultList; }
    // Faults of the lost-file and half-written kinds.
    long lostFiles() const;
    // The longest return of each operation, in microseconds.
    const std::map<std::string, std::int64_t>& longest() const { return longestUs; }
    // Taken from the process that ran the most cycles: a restarted process
    // starts afresh.
    MemoryFigures memory() const;

    // No crash, hang or fault.
    bool clean() const;

private:
    struct Sample {
        int process;
        int cycle;
        std::int64_t kib;
    };

    std::map<std::string, long> counts;
    std::vector<Incident> crashList;
    std::vector<Incident> hangList;
    std::vector<Incident> faultList;
    std::map<std::string, std::int64_t> longestUs;
    std::vector<Sample> residentSamples;
};

}  // namespace kelo::soak
