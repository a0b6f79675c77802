// The five files of the application's data/ folder, computed from the CIE
// tables of colord-data and the X11 colour names:
//   cmf1931.dat, cmf1964.dat  360..830 nm, "nm x y z", Sprague from 5 to 1 nm
//   D65.dat                   380..780 nm, "nm power", linear from 5 to 1 nm
//   D50.dat                   380..780 nm, daylight at 10 nm, linear to 1 nm
//   pmsRgb.dat                "name,rrggbb", one spelling per colour
#pragma once

#include <filesystem>
#include <vector>

#include "DataWriter.h"

namespace kelo::colourdata {

struct SourceFiles {
    std::filesystem::path cmf1931 = "/usr/share/colord/cmf/CIE1931-2deg-XYZ.cmf";
    std::filesystem::path cmf1964 = "/usr/share/colord/cmf/CIE1964-10deg-XYZ.cmf";
    std::filesystem::path d65 = "/usr/share/colord/illuminant/CIE-D65.sp";
    std::filesystem::path daylightBasis = "/usr/share/colord/ref/CIE-1986-daylight-SPD.cmf";
    std::filesystem::path colourNames = "/usr/share/X11/rgb.txt";
};

// Reads and checks every source before computing anything. Throws
// SourceError naming the first source that is missing or not as expected.
std::vector<DataFile> makeColourData(const SourceFiles& sources);

}  // namespace kelo::colourdata
