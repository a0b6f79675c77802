// The colour chart: the X11 colour names ("R G B<blanks>name" lines, "!"
// comments) as "name,rrggbb" lines.
#pragma once

#include <filesystem>
#include <istream>
#include <string>
#include <vector>

namespace kelo::colourdata {

struct NamedColour {
    std::string name;  // as written, without the blanks around it
    int red = 0;
    int green = 0;
    int blue = 0;
};

// Every entry in file order. Throws SourceError naming `sourceName` and the
// line of the first entry that is not a colour.
std::vector<NamedColour> parseColourNames(std::istream& text, const std::string& sourceName);
std::vector<NamedColour> readColourNames(const std::filesystem::path& file);

// The list gives most colours twice ("ghost white", "GhostWhite"); of names
// that differ only in letter case and blanks the first one is kept.
std::vector<NamedColour> firstSpellings(const std::vector<NamedColour>& colours);

// One "name,rrggbb" line per colour, lower-case hexadecimal.
std::string chartText(const std::vector<NamedColour>& colours);

}  // namespace kelo::colourdata
