// The encodings of the binary and text files, against bytes written out by
// hand.
#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "sim/UnitFileFormats.h"

namespace kelo::simtest {
namespace {

TEST(UnitFileFormatsTest, CellCentresAreLittleEndianInt32Pairs) {
    std::vector<sim::PlacedCell> cells(2);
    cells[0].x = 1;
    cells[0].y = -2;
    cells[1].x = 300;
    cells[1].y = 70000;
    cells[1].centreWavelength = 555.0;  // not part of the file
    EXPECT_EQ(sim::cellCentreBytes(cells),
              (Bytes{0x01, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF,  //
                     0x2C, 0x01, 0x00, 0x00, 0x70, 0x11, 0x01, 0x00}));
}

TEST(UnitFileFormatsTest, BadPixelsAreCellColumnRowTriples) {
    const std::vector<sim::BadPixelRecord> records = {{899, 1279, 669}, {0, 8, 9}};
    EXPECT_EQ(sim::badPixelBytes(records),
              (Bytes{0x83, 0x03, 0, 0, 0xFF, 0x04, 0, 0, 0x9D, 0x02, 0, 0,  //
                     0x00, 0x00, 0, 0, 0x08, 0x00, 0, 0, 0x09, 0x00, 0, 0}));
}

TEST(UnitFileFormatsTest, MatricesAreLittleEndianFloat64RowByRow) {
    DenseMatrix matrix(2, 2);
    matrix.at(0, 0) = 1.0;
    matrix.at(0, 1) = -0.5;
    matrix.at(1, 0) = 0.0;
    matrix.at(1, 1) = 1e-300;
    EXPECT_EQ(sim::matrixBytes(matrix), (Bytes{0,    0,    0,    0,    0,    0,    0xF0, 0x3F,  //
                                               0,    0,    0,    0,    0,    0,    0xE0, 0xBF,  //
                                               0,    0,    0,    0,    0,    0,    0,    0,     //
                                               0x59, 0xF3, 0xF8, 0xC2, 0x1F, 0x6E, 0xA5, 0x01}));
}

TEST(UnitFileFormatsTest, WhiteLidIsOneShortestNumberPerLine) {
    EXPECT_EQ(sim::whiteLidText({0.97, 1.0, 0.1 + 0.2, 9.5e-5}),
              "0.97\n1\n0.30000000000000004\n9.5e-05\n");
}

}  // namespace
}  // namespace kelo::simtest
