// The colour science behind the computed images: the CIE 1931 standard
// observer, sRGB (IEC 61966-2-1, D65 white) and CIE L*a*b* relative to D65.
#pragma once

#include <filesystem>
#include <istream>
#include <string>
#include <vector>

namespace kelo::uiassets {

struct Xyz {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// Components on 0..1 when displayable; linear or encoded as the name of the
// function that produced it says.
struct Rgb {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
};

struct Chromaticity {
    double x = 0.0;
    double y = 0.0;
};

// The colour-matching functions x̄ ȳ z̄, one row per wavelength, ascending.
class ColourMatchingTable {
public:
    struct Row {
        double nm = 0.0;
        Xyz value;
    };

    explicit ColourMatchingTable(std::vector<Row> rows);

    const std::vector<Row>& rows() const { return rows_; }
    // Linear between rows; zero outside the table.
    Xyz at(double nm) const;

private:
    std::vector<Row> rows_;
};

// Rows "wavelength x̄ ȳ z̄". Throws std::runtime_error naming the source and
// the line at fault.
ColourMatchingTable parseColourMatchingTable(std::istream& text, const std::string& sourceName);
ColourMatchingTable readColourMatchingTable(const std::filesystem::path& file);

Rgb linearSrgbFromXyz(const Xyz& xyz);
// The sRGB transfer curve; the argument is clamped to 0..1 first.
double srgbEncoded(double linear);
Rgb srgbEncoded(const Rgb& linear);

// Relative to the D65 white of luminance Y = 1.
Xyz xyzFromLab(double lightness, double a, double b);

Chromaticity chromaticityOf(const Xyz& xyz);

// The spectral locus from 380 to 780 nm; as a polygon it is closed by the
// purple line from its last point back to its first.
std::vector<Chromaticity> spectralLocus(const ColourMatchingTable& table);
bool insidePolygon(const std::vector<Chromaticity>& polygon, Chromaticity point);

// Linear sRGB of a chromaticity at the brightest level the display can show:
// negative components clipped, then scaled so that the largest is 1.
Rgb brightestDisplayable(Chromaticity point);

// Linear sRGB of monochromatic light of unit power, negative components
// clipped; not normalised, so the ends of the band fade out.
Rgb spectralColour(const ColourMatchingTable& table, double nm);

}  // namespace kelo::uiassets
