// What the instrument process tells the soak about itself, one line per
// event on a pipe, and how such a line is read back:
//
//   cycle N                  a cycle starts
//   begin OP / end OP US     an operation starts / has returned after US µs
//   count WHAT               something the soak did once more
//   fault KIND TEXT          something the instrument got wrong
//   rss KIB                  resident set size at the end of a cycle
//   method TEXT              how saves are made to fail
//   done                     every cycle has run
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelo::soak {

// Operations whose return is awaited with the hang deadline.
namespace op {
constexpr const char* kSetUp = "set-up";
// The settings changes, one operation each.
constexpr const char* kExposure = "exposure";
constexpr const char* kGain = "gain";
constexpr const char* kAverages = "averages";
constexpr const char* kRange = "range";
constexpr const char* kDark = "dark";
constexpr const char* kAutoExposure = "auto-exposure";
constexpr const char* kSave = "save";
constexpr const char* kStop = "stop";
constexpr const char* kTriggerCancel = "trigger-cancel";
constexpr const char* kRecordingAbort = "recording-abort";
constexpr const char* kLoopEnd = "loop-end";  // from an unplug to the live loop's end
constexpr const char* kTearDown = "tear-down";
}  // namespace op

namespace counted {
constexpr const char* kUnplug = "unplug";
constexpr const char* kSettingsChange = "settings-change";
constexpr const char* kTriggerCancelled = "trigger-cancelled";
constexpr const char* kRecordingAborted = "recording-aborted";
constexpr const char* kSaveGood = "save-good";
constexpr const char* kSaveRefusedReadOnly = "save-refused-read-only";
constexpr const char* kSaveRefusedFull = "save-refused-full";
}  // namespace counted

namespace fault {
constexpr const char* kLostFile = "lost-file";         // missing, or a good file changed
constexpr const char* kHalfWritten = "half-written";   // incomplete file or temporary left
constexpr const char* kWrongEnd = "wrong-end";         // a loop that ended otherwise than due
constexpr const char* kUnrefused = "unrefused";        // a failing save reported as saved
constexpr const char* kNoSpectrum = "no-spectrum";     // live, but nothing came
constexpr const char* kSetUpFailed = "set-up-failed";  // the camera back, the instrument not
}  // namespace fault

struct Event {
    enum class Kind { Cycle, Begin, End, Count, Fault, Rss, Method, Done };
    Kind kind = Kind::Done;
    std::string name;         // operation, counted thing or fault kind
    std::string text;         // fault or method text
    std::int64_t number = 0;  // cycle, µs or KiB
};

// The line of `event`, newline included.
std::string formatEvent(const Event& event);
// The event of `line` (without its newline); nothing for a malformed line.
std::optional<Event> parseEvent(const std::string& line);

}  // namespace kelo::soak
