#include "SaveChecks.h"

#include <algorithm>

#include "Protocol.h"
#include "SavedFiles.h"
#include "SoakFailure.h"

namespace kelo::soak {

namespace {

// The file a failing save tries to replace.
constexpr const char* kFailingName = "Spectrum";

std::filesystem::path fileOf(const std::string& base, bool csv) {
    return base + (csv ? ".csv" : ".txt");
}

// Rows a spectrum file gets: one per wavelength that has a value.
std::size_t rowsOf(const std::vector<double>& wavelengths, std::size_t values) {
    return std::min(wavelengths.size(), values);
}

void switchFailure(const std::function<std::string(bool)>& setFailure, bool on) {
    const std::string problem = setFailure(on);
    if (!problem.empty()) throw SoakFailure(problem);
}

}  // namespace

SaveChecks::SaveChecks(cSpectraUtility& utility, EventChannel& events, WriteFailures& failures)
    : utility(utility), events(events), failures(failures) {
    reportConnection = QObject::connect(
        &utility, &cSpectraUtility::plotSaved, &utility,
        [this](bool success, const std::string&) { lastReport = success; }, Qt::DirectConnection);
}

SaveChecks::~SaveChecks() {
    QObject::disconnect(reportConnection);
}

bool SaveChecks::savePlot(const std::string& base, bool csv) {
    const std::filesystem::path file = fileOf(base, csv);
    const std::size_t rows =
        rowsOf(utility.getSpectrumWavelengths(), utility.getCurrentSpectrum().size());
    lastReport.reset();
    {
        TimedOperation save(events, op::kSave);
        // The window's units, in the window's order.
        utility.savePlot(base, "counts", "nm", csv);
    }
    if (!lastReport.value_or(false)) {
        events.fault(fault::kLostFile, "savePlot reported " + shownName(file) + " not saved");
        return false;
    }
    const std::string problem = spectrumFileProblem(file, rows);
    if (!problem.empty()) {
        events.fault(problem == "missing" ? fault::kLostFile : fault::kHalfWritten,
                     "saved " + shownName(file) + " " + problem);
        return false;
    }
    events.count(counted::kSaveGood);
    return true;
}

bool SaveChecks::saveRecorded(const std::string& base, const std::vector<double>& spectrum,
                              bool csv, double fps, bool saturated) {
    const std::filesystem::path file = fileOf(base, csv);
    const std::size_t rows = rowsOf(utility.getSpectrumWavelengths(), spectrum.size());
    {
        TimedOperation save(events, op::kSave);
        utility.saveSpectrum(base, spectrum, csv, fps, saturated);
    }
    const std::string problem = spectrumFileProblem(file, rows);
    if (!problem.empty()) {
        events.fault(problem == "missing" ? fault::kLostFile : fault::kHalfWritten,
                     "recorded " + shownName(file) + " " + problem);
        return false;
    }
    events.count(counted::kSaveGood);
    return true;
}

void SaveChecks::readOnlySaves(bool csv) {
    failingSaves(failures.readOnlyFolder(), csv, "into the read-only folder",
                 counted::kSaveRefusedReadOnly,
                 [this](bool on) { return failures.setReadOnly(on); });
}

void SaveChecks::fullSaves(bool csv) {
    failingSaves(failures.fullFolder(), csv, "into the full filesystem", counted::kSaveRefusedFull,
                 [this](bool on) { return failures.setFull(on); });
}

void SaveChecks::failingSaves(const std::filesystem::path& folder, bool csv, const char* where,
                              const char* counted,
                              const std::function<std::string(bool)>& setFailure) {
    const std::string base = (folder / kFailingName).string();
    const std::filesystem::path file = fileOf(base, csv);
    if (!savePlot(base, csv)) return;
    const std::string good = fileContents(file).value_or(std::string());

    switchFailure(setFailure, true);
    lastReport.reset();
    {
        TimedOperation save(events, op::kSave);
        utility.savePlot(base, "counts", "nm", csv);
    }
    if (lastReport.value_or(false))
        events.fault(fault::kUnrefused, "savePlot reported " + shownName(file) + " saved " + where);
    checkIntact(file, good, std::string("a failed savePlot ") + where);
    events.count(counted);

    // The recorded-spectrum save of the post-processing, over the same file.
    {
        TimedOperation save(events, op::kSave);
        utility.saveSpectrum(base, utility.getCurrentSpectrum(), csv, 0.0, false);
    }
    checkIntact(file, good, std::string("a failed saveSpectrum ") + where);
    events.count(counted);
    switchFailure(setFailure, false);
}

void SaveChecks::checkIntact(const std::filesystem::path& file, const std::string& good,
                             const std::string& what) {
    const std::optional<std::string> now = fileContents(file);
    if (!now) {
        events.fault(fault::kLostFile, shownName(file) + " gone after " + what);
    } else if (*now != good) {
        events.fault(fault::kLostFile, shownName(file) + " changed by " + what);
    }
    const std::string temporary = temporaryFileIn(file.parent_path());
    if (!temporary.empty()) {
        events.fault(fault::kHalfWritten, temporary + " left by " + what);
        // Reported once; the next save starts clean.
        std::error_code ignored;
        std::filesystem::remove(file.parent_path() / temporary, ignored);
    }
}

}  // namespace kelo::soak
