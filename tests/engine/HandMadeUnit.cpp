#include "HandMadeUnit.h"

#include <cstring>

#include "TestSupport.h"

namespace kelo::enginetest {

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes int32Bytes(const std::vector<std::int32_t>& values) {
    Bytes bytes;
    for (std::int32_t value : values)
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(std::uint8_t(value >> shift));
    return bytes;
}

Bytes doubleBytes(const DenseMatrix& matrix) {
    Bytes bytes(matrix.values.size() * sizeof(double));
    std::memcpy(bytes.data(), matrix.values.data(), bytes.size());  // test hosts are little-endian
    return bytes;
}

}  // namespace

void HandMadeUnit::write(const std::filesystem::path& root) const {
    SystemConfigBlock record = block;
    std::memset(record.deviceId, 0, sizeof record.deviceId);
    std::memset(record.fullDeviceId, 0, sizeof record.fullDeviceId);
    std::memcpy(record.deviceId, id.data(), id.size());
    std::memcpy(record.fullDeviceId, id.data(), id.size());
    Bytes system(kConfigFileSize, 0);
    std::memcpy(system.data(), kCurrentConfigVersion, std::strlen(kCurrentConfigVersion));
    encodeBlock(record, kCurrentBlockLayout, system.data() + kConfigVersionSize);

    const std::filesystem::path folder = root / "cal" / id;
    const std::string prefix = (folder / id).string();
    test::writeBytes(prefix + "-cfgSys.bin", system);
    test::writeText(prefix + "-cfgUsr.txt", "hwGain: 0\nhwExposureTime: 1000\nSaveDirPath: .");
    if (!withCalibration) return;
    test::writeBytes(prefix + "-BP.bin", int32Bytes(badPixels));
    test::writeBytes(prefix + "-CC.bin", int32Bytes(centres));
    test::writeBytes(prefix + "-TrT.bin", doubleBytes(normal));
    test::writeBytes(prefix + "-TMat.bin", doubleBytes(transfer));
    if (block.gaussBlurMode == 1) {
        test::writeBytes(prefix + "-TrTGB.bin", doubleBytes(normal));
        test::writeBytes(prefix + "-TMatGB.bin", doubleBytes(transfer));
    }
}

DenseMatrix identity(std::size_t size) {
    DenseMatrix matrix(size, size);
    for (std::size_t i = 0; i < size; ++i) matrix.at(i, i) = 1.0;
    return matrix;
}

HandMadeUnit identityUnit(int firstNm, int lastNm, int rangeFirst, int rangeLast, double fwhm) {
    HandMadeUnit unit;
    const int points = lastNm - firstNm + 1;
    SystemConfigBlock& b = unit.block;
    b.minWavelength = std::uint16_t(firstNm);
    b.maxWavelength = std::uint16_t(lastNm);
    b.wavelengthRes = 1;
    b.wavelengthShift = 0;
    b.rangeMinWavelength = rangeFirst;
    b.rangeMaxWavelength = rangeLast;
    b.numCells = points;
    b.neighbourPixelsX = 0;
    b.neighbourPixelsY = 0;
    b.pixelsPerCell = 1;
    b.dataSizeX = points;
    b.dataSizeY = 1;
    b.swFwhm = fwhm;
    for (int cell = 0; cell < points; ++cell) {
        unit.centres.push_back(cell);
        unit.centres.push_back(0);
    }
    unit.transfer = identity(std::size_t(points));
    unit.normal = identity(std::size_t(points));
    return unit;
}

}  // namespace kelo::enginetest
