// The colour engine: reflectance spectra to CIE XYZ under illuminant D65 or
// D50 and the 1931 2° or 1964 10° observer, then to L*a*b* and 8-bit sRGB,
// and the nearest entry of a named colour chart.
//
// The colour data are text files read relative to the working folder
// ("data/cmf1931.dat", "data/cmf1964.dat", "data/D65.dat", "data/D50.dat",
// "data/pmsRgb.dat") and resampled onto a 380..730 nm grid at 1 nm.
//
// Threads: one thread at a time (the user-interface thread). No Qt.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

// One colour result: X, Y, Z, R, G, B (0..255, integral), L*, a*, b*.
struct tCIELABRGB {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    double R = 0.0;
    double G = 0.0;
    double B = 0.0;
    double L = 0.0;
    double a = 0.0;
    double b = 0.0;
};

// The nearest chart entry: its name (empty when nothing matched) and the
// colour distance.
struct ChartMatch {
    std::string name;
    int distance = 1000;
};

// A colour computed from a reflectance: X, Y, Z, then R, G, B (0..255,
// integral), then L*, a*, b*.
struct ColourReading {
    std::array<double, 3> xyz{};
    std::array<double, 3> rgb{};
    std::array<double, 3> lab{};
};

struct LabChartEntry {
    std::string name;
    double L = 0.0;
    double a = 0.0;
    double b = 0.0;
};

class ColourEngine {
public:
    using Triple = std::array<double, 3>;

    // D65, 1931, the D65 matrix and the white point of setIlluminant(true).
    ColourEngine();

    // The spectrometer's wavelengths (nm, 1 nm apart) that reflectances given
    // to computeXYZ are sampled on.
    void setSpectrometerGrid(const std::vector<double>& wavelengths);

    // Reads the observer tables, the illuminants and the chart. True when both
    // observers and both illuminants were read; every missing or short file is
    // reported on standard output, naming it. The chart does not enter the
    // result.
    bool load();
    // Reads "data/pmsRgb.dat": lines "name,rrggbb". Lines of any other shape
    // are skipped. False (the chart unchanged) when the file cannot be opened.
    bool loadChart();

    // Tristimulus values of a reflectance on the spectrometer grid; a perfect
    // white gives Y = 100. Wavelengths below 380 nm are dropped, a grid
    // starting above 380 nm repeats its first sample down to 380 nm, one
    // ending before 730 nm repeats its last sample. All 0 for an empty
    // reflectance.
    Triple computeXYZ(const std::vector<double>& reflectance) const;
    // 8-bit sRGB of the current illuminant's matrix, each 0..255 and integral.
    Triple xyzToRgb(double X, double Y, double Z) const;
    // L*, a*, b* against the current white point.
    Triple xyzToLab(double X, double Y, double Z) const;

    // computeXYZ, xyzToRgb and xyzToLab in turn. Empty when no colour can be
    // computed: an empty reflectance, observer or illuminant tables not
    // read, or a value that is not finite on the way (a reflectance far out
    // of range overflows the sums).
    std::optional<ColourReading> colourOf(const std::vector<double>& reflectance) const;

    // Each sets its choice and the white point; the setter called last
    // decides the white point of the 2° observer.
    void setIlluminant(bool d65);
    void setObserver(bool cie1931);
    bool isD65() const { return illuminantD65; }
    bool is1931() const { return observer1931; }
    const Triple& getWhitePoint() const { return whitePoint; }

    // Method 0: exact match of the hexadecimal key of R, G, B, else the
    // nearest chart colour. ("", 1000) with an empty chart, or for an R, G
    // or B outside 0..255.
    ChartMatch matchRgb(int R, int G, int B) const;
    // Method 1: nearest entry of the L*a*b* chart by the weighted distance.
    ChartMatch matchLab(double L, double a, double b) const;
    // The chart entry of `colour` by method 0 (matchRgb of its R, G, B) or
    // any other method (matchLab of its L*, a*, b*), by the integer parts of
    // R, G, B; an R, G or B outside 0..255, NaN included, matches nothing:
    // ("", 1000).
    ChartMatch matchChart(const ColourReading& colour, int method) const;
    void setLabChart(std::vector<LabChartEntry> entries);
    std::size_t chartSize() const { return chartNames.size(); }

private:
    bool loadObservers();
    // The observer and illuminant tables of the current choice are on the
    // colour grid.
    bool tablesRead() const;
    bool loadIlluminants();

    std::vector<double> cmf1931X, cmf1931Y, cmf1931Z;
    std::vector<double> cmf1964X, cmf1964Y, cmf1964Z;
    std::vector<double> d65, d50;
    bool illuminantD65 = true;
    bool observer1931 = true;
    std::array<Triple, 3> rgbMatrix{};
    Triple whitePoint{};
    std::vector<double> colourGrid;        // 380..730 nm
    std::vector<double> spectrometerGrid;  // as given
    std::vector<double> stepGrid;          // 400..700 nm; its spacing is the step
    std::vector<std::string> chartNames;
    std::vector<std::string> chartValues;  // "rrggbb"
    std::vector<LabChartEntry> labChart;
};
