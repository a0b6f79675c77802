#include "Summary.h"

#include <cmath>
#include <iomanip>
#include <sstream>
#include <utility>
#include <vector>

#include "Protocol.h"

namespace kelo::soak {

namespace {

// More incidents than this are counted, not listed.
constexpr std::size_t kListedIncidents = 20;

const char* const kOperationOrder[] = {
    op::kSetUp,          op::kExposure,     op::kGain,    op::kAverages, op::kRange,
    op::kDark,           op::kAutoExposure, op::kSave,    op::kStop,     op::kTriggerCancel,
    op::kRecordingAbort, op::kLoopEnd,      op::kTearDown};

std::string fixed(double value, int decimals) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(decimals) << value;
    return text.str();
}

std::string mebibytes(std::int64_t kib) {
    return fixed(static_cast<double>(kib) / 1024.0, 1);
}

std::string seconds(double value) {
    std::ostringstream text;
    text << value << " s";
    return text.str();
}

std::string description(const SoakRun& run) {
    std::ostringstream text;
    text << "The instrument on the simulated camera and the default synthetic unit, cycle "
            "after cycle: set up anew; live acquisition with a settings change every 100 ms "
            "(exposure, gain, averages, wavelength range, dark on and off, automatic "
            "exposure), then Stop; a hardware-trigger wait for a pulse that never comes, "
            "cancelled (every third cycle), or a recording aborted at a random point of the "
            "recording or of its post-processing (the others); live again with a Quick Save "
            "and saves into a folder that becomes read-only and into a full filesystem; the "
            "camera unplugged (the live loop must end with its error code), the instrument "
            "torn down as the window tears it down, and the camera plugged in again.\n\n"
         << "A hang is an operation (set-up, settings change, save, stop, cancel, abort, the "
            "loop's end after an unplug, tear-down) that has not returned within "
         << seconds(run.options.hangSeconds)
         << ". A lost or half-written file is a save reported as done without a complete "
            "file, a failed save after which the previous good file is not byte-identical, or "
            "a temporary file left behind. Memory is the instrument process's resident set "
            "size at the end of each cycle, the first one included, since the first live "
            "acquisition makes the buffers that later cycles reuse.\n";
    return text.str();
}

void tableRow(std::ostream& out, const std::string& what, const std::string& value) {
    out << "| " << what << " | " << value << " |\n";
}

void table(std::ostream& out, const SoakRun& run, const Tally& tally) {
    const auto count = [&tally](const char* what) { return std::to_string(tally.count(what)); };
    const long otherFaults = static_cast<long>(tally.faults().size()) - tally.lostFiles();
    out << "| What | Count |\n|---|---|\n";
    tableRow(out, "Unplug and plug-in cycles", count(counted::kUnplug));
    tableRow(out, "Settings changes during live acquisition", count(counted::kSettingsChange));
    tableRow(out, "Cancelled trigger waits", count(counted::kTriggerCancelled));
    tableRow(out, "Aborted recordings", count(counted::kRecordingAborted));
    tableRow(out, "Saves made and found complete", count(counted::kSaveGood));
    tableRow(out, "Saves failed into the read-only folder", count(counted::kSaveRefusedReadOnly));
    tableRow(out, "Saves failed into the full filesystem", count(counted::kSaveRefusedFull));
    tableRow(out, "**Crashes**", std::to_string(tally.crashes().size()));
    tableRow(out, "**Hangs over " + seconds(run.options.hangSeconds) + "**",
             std::to_string(tally.hangs().size()));
    tableRow(out, "**Lost or half-written files**", std::to_string(tally.lostFiles()));
    tableRow(out, "Other faults (loop ends, set-ups, missing spectra, unreported failures)",
             std::to_string(otherFaults));
    const MemoryFigures memory = tally.memory();
    if (memory.samples == 0) return;
    tableRow(out, "Resident set size, end of the first / last cycle",
             mebibytes(memory.startKib) + " / " + mebibytes(memory.endKib) + " MiB");
    if (memory.samples < 2) return;
    tableRow(out, "Memory growth over all " + std::to_string(memory.samples) + " cycles",
             fixed(memory.slopeKibPerCycle, 1) + " KiB per cycle");
    tableRow(out,
             "Memory growth over the last " + std::to_string(memory.samples - memory.samples / 2) +
                 " cycles",
             fixed(memory.laterSlopeKibPerCycle, 1) + " KiB per cycle");
}

void memoryCurve(std::ostream& out, const Tally& tally) {
    const MemoryFigures memory = tally.memory();
    if (memory.checkpoints.size() < 2) return;
    out << "Resident set size at the end of cycle";
    const char* separator = " ";
    for (const auto& [cycle, kib] : memory.checkpoints) {
        out << separator << cycle << ": " << mebibytes(kib) << " MiB";
        separator = ", ";
    }
    out << " (growth as least-squares slopes).\n\n";
}

void longestReturns(std::ostream& out, const Tally& tally) {
    out << "Longest returns:";
    const char* separator = " ";
    for (const char* operation : kOperationOrder) {
        const auto found = tally.longest().find(operation);
        if (found == tally.longest().end()) continue;
        out << separator << operation << " " << std::llround(found->second / 1000.0) << " ms";
        separator = ", ";
    }
    out << ".\n";
}

void incidents(std::ostream& out, const Tally& tally) {
    std::vector<std::pair<const char*, const Incident*>> all;
    for (const Incident& incident : tally.crashes()) all.push_back({"crash", &incident});
    for (const Incident& incident : tally.hangs()) all.push_back({"hang", &incident});
    for (const Incident& incident : tally.faults()) all.push_back({"fault", &incident});
    if (all.empty()) {
        out << "Incidents: none.\n";
        return;
    }
    out << "Incidents:\n\n";
    for (std::size_t i = 0; i < all.size() && i < kListedIncidents; ++i) {
        const auto& [what, incident] = all[i];
        out << "- cycle " << incident->cycle << ", " << what;
        if (incident->kind != what) out << " (" << incident->kind << ")";
        out << ": " << incident->text << "\n";
    }
    if (all.size() > kListedIncidents)
        out << "- and " << all.size() - kListedIncidents << " more\n";
}

}  // namespace

std::string summarySection(const SoakRun& run, const Tally& tally) {
    std::ostringstream out;
    out << kSectionHeading << "\n\n" << description(run) << "\n";
    out << "Run of " << run.date << " on " << run.machine << ": " << run.options.cycles
        << " cycles, seed " << run.options.seed << "; saves made to fail by " << run.method
        << ".\n\n";
    table(out, run, tally);
    out << "\n";
    memoryCurve(out, tally);
    longestReturns(out, tally);
    out << "\n";
    incidents(out, tally);
    out << "\nRepeat it with `make soak` (as root for the tmpfs mounts; it writes this section), "
           "or with `"
        << repeatCommand(run.options) << "`.\n";
    return out.str();
}

}  // namespace kelo::soak
