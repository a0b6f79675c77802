// The tunable constants of a synthetic unit: where the optic puts the cells,
// what each cell sees, and the correction curves that come with a unit.
#pragma once

#include <vector>

namespace kelo::sim {

struct UnitModel {
    // Cells lie on tracks across the sensor window; along a track the
    // passband centre rises with x, and neighbouring tracks are shifted by a
    // fraction of the centre spacing, so the tracks interleave into one dense
    // set of centres.
    int tracks = 20;
    int cellsPerTrack = 45;
    double marginX = 36.0;         // px from the window edge to the outermost cell centres
    double marginY = 36.0;         // px from the window edge to the outermost tracks
    double trackBow = 6.0;         // px the middle of every track sags below its ends
    double placementJitter = 1.0;  // px, largest random error of a centre in x and y

    // The passband of a cell: a smooth window of random width whose
    // transmission carries a fine ripple, as from thin-film interference.
    // Without the ripple neighbouring wavelengths would be indistinguishable.
    double firstCentre = 380.0;      // nm, centre of the lowest passband
    double lastCentre = 1020.0;      // nm, centre of the highest passband
    double centreJitter = 0.3;       // largest random shift of a centre, in centre spacings
    double minHalfWidth = 30.0;      // nm, half the passband's support, drawn per cell
    double maxHalfWidth = 42.0;      //   between these two
    double rippleDepth = 0.5;        // standard deviation of the ripple's relative transmission
    double rippleCorrelation = 0.5;  // share of the ripple carried over to the next nm
    double rippleFloor = 0.05;       // least transmission left where the ripple dips deepest

    // Light a cell sees outside its passband, relative to the passband peak.
    double broadLevel = 0.01;       // a weak broad halo around the passband
    double broadHalfWidth = 100.0;  // nm from the centre at which the halo is at a quarter
    double strayLevel = 1e-4;       // a floor over the whole grid

    // The sensor sits behind two filter zones: a band-pass that passes
    // exactly the unit's working range (rangeMinWavelength..rangeMaxWavelength)
    // in front of the cells whose passband centre lies in it, and the
    // complementary filter in front of all other cells. No cell then mixes
    // light from inside and outside the working range, so a reconstruction
    // restricted to that range sees only light it can explain.
    bool zonedFilters = true;

    // Silicon sensitivity, peak 1: about 0.2 at 380 nm and 0.1 at 1020 nm.
    double sensitivityPeak = 680.0;       // nm
    double sensitivityWidthBlue = 270.0;  // nm, how fast it falls below the peak
    double sensitivityWidthRed = 230.0;   // nm, how fast it falls above the peak

    // Cell value for a flat spectrum of 1 through a cell at the sensitivity
    // peak; a flat spectrum of 100 then gives a few hundred to a few
    // thousand counts.
    double responsivity = 25.0;

    // Illumination profile of the blurred-frame correction (peak 1, like
    // vignetting): cells far from the optical centre get less light.
    double illuminationCentreX = 660.0;  // px
    double illuminationCentreY = 320.0;  // px
    double illuminationRadius = 1300.0;  // px from the centre at which the light is at a quarter

    // White-lid correction over the restricted range: level at its middle,
    // change from the middle to its red end, and curvature.
    double whiteLidLevel = 0.97;
    double whiteLidTilt = 0.006;
    double whiteLidBow = -0.004;

    // Bad pixels of each cell that has any; the cells are drawn at random.
    std::vector<int> badPixelsPerCell = {3, 1, 2, 4, 1, 2};
};

}  // namespace kelo::sim
