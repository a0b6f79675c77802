// The text of a unit's user configuration file: camera gain, exposure time in
// microseconds and the folder for saved spectra. Numbers are written and read
// in the C numeric locale whatever the user's locale is.
#pragma once

#include <optional>
#include <string>

namespace kelo {

struct UserSettings {
    double hwGain = 0.0;
    double hwExposureTime = 10000.0;
    std::string saveDirPath;
};

// The file's bytes: "hwGain: %lf", "\nhwExposureTime: %lf", "\nSaveDirPath: %s",
// with no final newline.
std::string formatUserConfig(const UserSettings& settings);

// Reads a label and a number, a label and a number, and a label followed by
// the path. A number that is missing or malformed leaves its field as it
// was. The path is the rest of its label's line without surrounding blanks or
// a carriage return; it is empty when the label or the path is absent.
void parseUserConfig(const std::string& text, UserSettings& settings);

// The user's documents folder with "/" as separator, or nothing when the
// platform cannot name one.
std::optional<std::string> documentsFolder();

}  // namespace kelo
