// Small units written by hand into the working folder, so that the expected
// cell values and spectra can be worked out on paper.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "config/DenseMatrix.h"
#include "config/SystemConfigLayout.h"

namespace kelo::enginetest {

struct HandMadeUnit {
    std::string id = "HM1";  // also the full id
    SystemConfigBlock block;
    std::vector<std::int32_t> badPixels;  // cell, x, y of each record
    std::vector<std::int32_t> centres;    // x, y of each cell
    DenseMatrix transfer;                 // cells x calibrated wavelengths
    DenseMatrix normal;                   // calibrated wavelengths, square
    bool withCalibration = true;

    // The system, user and calibration files under root/cal/; a unit in
    // blur mode gets the same matrices as its blur set.
    void write(const std::filesystem::path& root = ".") const;
};

// Cells of one pixel in a row, cell c at x = c, each seeing exactly the
// wavelength firstNm + c, calibrated firstNm..lastNm with the working range
// rangeFirst..rangeLast. The normal matrix is the identity too, so the fit
// returns each cell value of the range, or 0 for a negative one.
HandMadeUnit identityUnit(int firstNm, int lastNm, int rangeFirst, int rangeLast, double fwhm);

// The identity matrix of the given size.
DenseMatrix identity(std::size_t size);

}  // namespace kelo::enginetest
