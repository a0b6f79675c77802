#include "UnitOptics.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

#include "config/LittleEndian.h"
#include "config/UnitFiles.h"
#include "simcam/SceneSpectra.h"

namespace kelo::simcam {

namespace {

using Bytes = std::vector<std::uint8_t>;

// Only a regular file is read: a folder in its place cannot be.
std::optional<Bytes> readFile(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Records of `recordSize` bytes, each its int32 x and y at `xOffset` and
// `xOffset + 4`; a trailing partial record is ignored.
std::vector<PixelPlace> readPlaces(const Bytes& bytes, std::size_t recordSize, std::size_t xOffset,
                                   int shiftX, int shiftY) {
    std::vector<PixelPlace> places;
    places.reserve(bytes.size() / recordSize);
    for (std::size_t at = 0; at + recordSize <= bytes.size(); at += recordSize)
        places.push_back(
            {std::int64_t{loadLittleEndian<std::int32_t>(&bytes[at + xOffset])} + shiftX,
             std::int64_t{loadLittleEndian<std::int32_t>(&bytes[at + xOffset + 4])} + shiftY});
    return places;
}

std::string readSystemFile(const std::filesystem::path& file, SystemConfigBlock& block) {
    const std::optional<Bytes> bytes = readFile(file);
    if (!bytes) return "cannot read " + file.string();
    if (bytes->size() < kConfigFileSize) return file.string() + " is shorter than 124 bytes";
    const char* version = reinterpret_cast<const char*>(bytes->data());
    const bool old = std::strncmp(version, kOldConfigVersion, kConfigVersionSize) == 0;
    decodeBlock(bytes->data() + kConfigVersionSize, old ? kOldBlockLayout : kCurrentBlockLayout,
                block);
    if (block.numCells <= 0) return file.string() + " names no cells";
    if (block.maxWavelength < block.minWavelength)
        return file.string() + " has an empty wavelength grid";
    if (identifierLength(block.fullDeviceId) == 0) return file.string() + " has no full device id";
    return {};
}

std::string readTransfer(const std::filesystem::path& file, std::size_t rows, std::size_t cols,
                         DenseMatrix& transfer) {
    const std::optional<Bytes> bytes = readFile(file);
    if (!bytes) return "cannot read " + file.string();
    if (bytes->size() / sizeof(double) / cols < rows)
        return file.string() + " holds fewer than " + std::to_string(rows) + " x " +
               std::to_string(cols) + " values";
    transfer = DenseMatrix(rows, cols);
    for (std::size_t k = 0; k < rows * cols; ++k) {
        const double value = loadLittleEndian<double>(&(*bytes)[k * sizeof(double)]);
        if (!std::isfinite(value)) return file.string() + " holds a value that is not finite";
        transfer.values[k] = value;
    }
    return {};
}

}  // namespace

UnitOpticsLoad loadUnitOptics(const std::filesystem::path& root, const std::string& id) {
    auto optics = std::make_shared<UnitOptics>();
    SystemConfigBlock& block = optics->block;
    if (std::string problem = readSystemFile(root / unitFilePath(id, kSystemFileSuffix), block);
        !problem.empty())
        return {nullptr, problem};

    const std::string fullId(block.fullDeviceId, identifierLength(block.fullDeviceId));
    const auto cellFile = root / unitFilePath(fullId, kCellCentreFileSuffix);
    const std::optional<Bytes> cellBytes = readFile(cellFile);
    if (!cellBytes) return {nullptr, "cannot read " + cellFile.string()};
    optics->cellCentres = readPlaces(*cellBytes, 8, 0, block.swOffsetX, block.swOffsetY);
    const auto cells = static_cast<std::size_t>(block.numCells);
    if (optics->cellCentres.size() < cells)
        return {nullptr,
                cellFile.string() + " holds fewer than " + std::to_string(cells) + " cell centres"};
    optics->cellCentres.resize(cells);

    const std::size_t columns = block.maxWavelength - block.minWavelength + 1u;
    if (std::string problem = readTransfer(root / unitFilePath(fullId, kTransferMatrixFileSuffix),
                                           cells, columns, optics->transfer);
        !problem.empty())
        return {nullptr, problem};

    if (const std::optional<Bytes> badBytes =
            readFile(root / unitFilePath(fullId, kBadPixelFileSuffix)))
        optics->badPixels = readPlaces(*badBytes, 12, 4, 0, 0);
    return {optics, {}};
}

std::vector<double> cellResponses(const UnitOptics& optics, const std::string& scene) {
    const DenseMatrix& transfer = optics.transfer;
    const std::vector<double> light =
        sceneSpectrum(scene, optics.block.minWavelength, transfer.cols);
    std::vector<double> responses(transfer.rows, 0.0);
    for (std::size_t i = 0; i < transfer.rows; ++i) {
        const double* row = transfer.row(i);
        double sum = 0.0;
        for (std::size_t j = 0; j < transfer.cols; ++j) sum += row[j] * light[j];
        responses[i] = sum;
    }
    return responses;
}

}  // namespace kelo::simcam
