// The system file of a synthetic unit, byte for byte, and the ids it accepts.
#include <gtest/gtest.h>

#include <initializer_list>

#include "SimTestSupport.h"
#include "config/UnitFiles.h"
#include "sim/UnitRecord.h"

namespace kelo::simtest {
namespace {

using kelo::test::readBytes;
using kelo::test::ScopedWorkDir;

// A system file built by hand: zeros with the given bytes at file offsets.
class ExpectedFile {
public:
    ExpectedFile& put(std::size_t offset, std::initializer_list<std::uint8_t> values) {
        for (std::uint8_t value : values) bytes.at(offset++) = value;
        return *this;
    }
    ExpectedFile& put(std::size_t offset, const std::string& text) {
        for (char c : text) bytes.at(offset++) = static_cast<std::uint8_t>(c);
        return *this;
    }
    const Bytes& value() const { return bytes; }

private:
    Bytes bytes = Bytes(124, 0);
};

// Offsets are those of the file: the block starts after the 20-byte version.
Bytes expectedCurrentFile(std::uint8_t visNirMode, std::uint8_t gaussBlurMode) {
    return ExpectedFile()
        .put(0, "0.0.2")
        .put(28, {0x02, 0x00, 0x01, 0x00})              // device type 2, data resolution 1
        .put(32, {0x7C, 0x01, 0xFC, 0x03, 0x01, 0x00})  // 380..1020 nm, step 1
        .put(44, {0x84, 0x03, 0x00, 0x00})              // 900 cells
        .put(48, {0x08, 0, 0, 0, 0x08, 0, 0, 0})        // neighbour pixels 8 x 8
        .put(56, {0x21, 0x01, 0x00, 0x00})              // 289 pixels per cell
        .put(60, {0, 0, 0, 0, 0, 0, 0x08, 0x40})        // swFwhm 3.0
        .put(68, {0x00, 0x05, 0, 0, 0x9E, 0x02, 0, 0})  // 1280 x 670
        .put(76, {0x00, 0x00})                          // wavelength shift 0
        .put(80, {0x86, 0x01, 0, 0, 0x20, 0x03, 0, 0})  // range 390..800 nm
        .put(88, {visNirMode, gaussBlurMode, 0x00})
        .put(91, "K3S00042")
        .put(100, "K3S00042")
        .value();
}

class SystemFileTest : public ::testing::Test {
protected:
    ScopedWorkDir folder;
    sim::SyntheticUnitOptions options;

    SystemFileTest() { options.root = folder.path(); }

    Bytes systemFile(const std::string& id) {
        writeUnit(options);
        return readBytes(unitFile(folder.path(), id, kSystemFileSuffix));
    }
};

TEST_F(SystemFileTest, DefaultUnitHasEveryFieldInPlace) {
    options.id = "K3S00042";
    EXPECT_EQ(systemFile("K3S00042"), expectedCurrentFile(1, 0));
}

TEST_F(SystemFileTest, FluorescenceAndGaussBlurSetTheirModes) {
    options.id = "K3S00042";
    options.fluorescence = true;
    options.gaussBlur = true;
    EXPECT_EQ(systemFile("K3S00042"), expectedCurrentFile(0, 1));
}

TEST_F(SystemFileTest, OldLayoutPutsTheShortIdFirstAndTheFullIdLast) {
    options.id = "K3S0042";
    options.fullId = "K3S0042-FULL";
    options.oldLayout = true;
    options.fluorescence = true;
    const Bytes expected = ExpectedFile()
                               .put(0, "0.0.1")
                               .put(20, "K3S0042")
                               .put(36, {0x02, 0x00, 0x01, 0x00})
                               .put(40, {0x7C, 0x01, 0xFC, 0x03, 0x01, 0x00})
                               .put(52, {0x84, 0x03, 0x00, 0x00})
                               .put(56, {0x08, 0, 0, 0, 0x08, 0, 0, 0})
                               .put(64, {0x21, 0x01, 0x00, 0x00})
                               .put(68, {0, 0, 0, 0, 0, 0, 0x08, 0x40})
                               .put(76, {0x00, 0x05, 0, 0, 0x9E, 0x02, 0, 0})
                               .put(84, {0x00, 0x00})
                               .put(88, {0x86, 0x01, 0, 0, 0x20, 0x03, 0, 0})
                               .put(96, {0x00, 0x00, 0x00})
                               .put(99, "K3S0042-FULL")
                               .value();
    EXPECT_EQ(systemFile("K3S0042"), expected);
}

TEST(UnitIdTest, RejectsIdsThatDoNotFitOrAreNoFolderName) {
    const struct {
        std::string id, fullId;
        bool oldLayout;
        std::string mentions;
    } cases[] = {
        {"", "", false, "empty"},
        {"K3S000042", "", false, "longer than 8"},
        {"K3S00042", std::string(24, 'F'), false, "longer than 23"},
        {"K3S/0042", "", false, "separator"},
        {"K3S\\0042", "", false, "separator"},
        {"K3S00042", "FULL/ID", false, "separator"},
        {"..", "", false, "no folder"},
        {"K3S00042", "", true, "old layout"},
    };
    for (const auto& c : cases) {
        sim::SyntheticUnitOptions options;
        options.id = c.id;
        options.fullId = c.fullId;
        options.oldLayout = c.oldLayout;
        EXPECT_NE(sim::identifierProblem(options).find(c.mentions), std::string::npos)
            << c.id << " / " << c.fullId << ": " << sim::identifierProblem(options);
    }
}

}  // namespace
}  // namespace kelo::simtest
