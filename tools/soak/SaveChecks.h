// The application's saves during the soak, made through the utility's own
// save calls and each checked. A save reported as done must have left a
// complete file; a save into the folder that became read-only or into the
// full filesystem must fail, leave the previous good file byte-identical and
// leave no temporary file beside it. What is wrong is reported as a fault.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "EventChannel.h"
#include "WriteFailures.h"
#include "spectra/cSpectraUtility.h"

namespace kelo::soak {

class SaveChecks {
public:
    SaveChecks(cSpectraUtility& utility, EventChannel& events, WriteFailures& failures);
    ~SaveChecks();
    SaveChecks(const SaveChecks&) = delete;
    SaveChecks& operator=(const SaveChecks&) = delete;

    // savePlot of the current spectrum to `base` (no extension) as the
    // window's saves make it; true when it was reported done and its file
    // is complete.
    bool savePlot(const std::string& base, bool csv);
    // saveSpectrum of a recorded spectrum, as the window's onSaveSpectrum
    // makes it; true when its file is complete.
    bool saveRecorded(const std::string& base, const std::vector<double>& spectrum, bool csv,
                      double fps, bool saturated);

    // A good save into the read-only folder, then savePlot and saveSpectrum
    // over it while the folder is read-only.
    void readOnlySaves(bool csv);
    // The same into the full filesystem.
    void fullSaves(bool csv);

private:
    void failingSaves(const std::filesystem::path& folder, bool csv, const char* where,
                      const char* counted, const std::function<std::string(bool)>& setFailure);
    // After a failed save: the good file unchanged and no temporary file.
    void checkIntact(const std::filesystem::path& file, const std::string& good,
                     const std::string& what);

    cSpectraUtility& utility;
    EventChannel& events;
    WriteFailures& failures;
    std::optional<bool> lastReport;  // of plotSaved, since the last savePlot
    QMetaObject::Connection reportConnection;
};

}  // namespace kelo::soak
