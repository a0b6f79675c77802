#include "config/CalibrationData.h"

#include <exception>
#include <fstream>
#include <sstream>

#include "config/LittleEndian.h"
#include "config/SystemConfig.h"
#include "config/UnitFiles.h"
#include "config/WavelengthGrid.h"

namespace {

constexpr std::size_t kBadPixelRecordSize = 12;
constexpr std::size_t kCellCentreRecordSize = 8;

enum class FileRead { complete, missing, incomplete };

// Whole records of an open file, from its start; a trailing partial record
// is ignored. False on a read error before the end of the file.
bool readRecordBytes(std::ifstream& file, std::size_t recordSize,
                     std::vector<std::uint8_t>& bytes) {
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad()) return false;
    bytes.resize(bytes.size() - bytes.size() % recordSize);
    return true;
}

// rows x cols little-endian doubles from the start of a file; a longer file
// is fine, a shorter one is `incomplete` (and nothing is allocated for it).
FileRead readMatrixFile(const std::string& path, std::size_t rows, std::size_t cols,
                        kelo::DenseMatrix& matrix) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return FileRead::missing;
    const std::size_t needed = rows * cols * sizeof(double);
    if (static_cast<std::size_t>(file.tellg()) < needed) return FileRead::incomplete;
    file.seekg(0);
    matrix = kelo::DenseMatrix(rows, cols);
    file.read(reinterpret_cast<char*>(matrix.values.data()), static_cast<std::streamsize>(needed));
    if (static_cast<std::size_t>(file.gcount()) != needed) return FileRead::incomplete;
    if (!kelo::hostIsLittleEndian())
        for (double& value : matrix.values)
            value = kelo::loadLittleEndian<double>(reinterpret_cast<const std::uint8_t*>(&value));
    return FileRead::complete;
}

kelo::DenseMatrix transposed(const kelo::DenseMatrix& matrix) {
    kelo::DenseMatrix result(matrix.cols, matrix.rows);
    for (std::size_t r = 0; r < matrix.rows; ++r)
        for (std::size_t c = 0; c < matrix.cols; ++c) result.at(c, r) = matrix.at(r, c);
    return result;
}

// The calibration's view of the unit: counts, grids and where the restricted
// range lies among the calibrated wavelengths.
struct UnitGeometry {
    std::string fullId;
    long cells = 0;              // C
    long wavelengths = 0;        // W, one column per nm
    long rangePoints = 0;        // R
    std::size_t rangeFirst = 0;  // r0
    std::size_t rangeLast = 0;   // r1
    std::uint32_t gridPoints = 0;
    long imageWidth = 0, imageHeight = 0;
    long halfWidth = 0, halfHeight = 0;
    long offsetX = 0, offsetY = 0;

    explicit UnitGeometry(const SystemConfig& config) : fullId(config.getFullDeviceId()) {
        std::uint16_t minWavelength, maxWavelength, step;
        config.getWavelengthRange(minWavelength, maxWavelength, step);
        std::int32_t rangeMin, rangeMax;
        config.getRestrictedRange(rangeMin, rangeMax);
        cells = config.getNumCells();
        wavelengths = long(maxWavelength) - minWavelength + 1;
        rangePoints = long(rangeMax) - rangeMin + 1;
        auto indexInGrid = [&](std::int32_t bound) -> std::size_t {
            const bool inside = bound >= minWavelength && bound <= maxWavelength;
            return inside ? std::size_t(bound - minWavelength) : 0;
        };
        rangeFirst = indexInGrid(rangeMin);
        rangeLast = indexInGrid(rangeMax);
        gridPoints = kelo::gridPointCount(minWavelength, maxWavelength, step);
        std::uint32_t width, height;
        config.getDataSize(width, height);
        imageWidth = std::int32_t(width);
        imageHeight = std::int32_t(height);
        std::int32_t nx, ny;
        config.getNeighbourPixels(nx, ny);
        halfWidth = nx;
        halfHeight = ny;
        std::int16_t sx, sy;
        config.getSwOffset(sx, sy);
        offsetX = sx;
        offsetY = sy;
    }

    std::string path(const char* suffix) const { return kelo::unitFilePath(fullId, suffix); }

    bool insideImage(long x, long y) const {
        return x >= 0 && y >= 0 && x < imageWidth && y < imageHeight;
    }

    // The rows r0..r1 that the restricted range takes from the full grid.
    template <class Visit>
    void forEachRangeIndex(Visit visit) const {
        for (std::size_t q = rangeFirst; q <= rangeLast; ++q)
            if (q - rangeFirst < std::size_t(rangePoints) && q < std::size_t(wavelengths))
                visit(q, q - rangeFirst);
    }
};

class CalibrationLoader {
public:
    CalibrationLoader(CalibrationData& data, const SystemConfig& config, std::ostream& out)
        : data(data), unit(config), gaussBlur(config.getGaussBlurMode() == 1), out(out) {}

    bool run() {
        if (unit.fullId.empty()) return fail("Device ID NULL", "the full device ID is empty");
        if (!checkSizes()) return false;
        if (!loadBadPixels() || !countBadPixels()) return false;
        if (!loadCellCentres()) return false;
        if (!loadNormalMatrix(kelo::kNormalMatrixFileSuffix, "\nCould not find the TRTMAT binfile",
                              data.trt, data.trtRange))
            return false;
        if (!loadTransferMatrix(kelo::kTransferMatrixFileSuffix,
                                "\nCould not find the TMAT binfile", data.tmatT, data.tmatRangeT))
            return false;
        if (!gaussBlur) return true;
        if (!loadNormalMatrix(kelo::kBlurNormalMatrixFileSuffix,
                              "\nCould not find the TRTMAT_GAUS binfile", data.trtGb,
                              data.trtGbRange))
            return false;
        return loadTransferMatrix(kelo::kBlurTransferMatrixFileSuffix,
                                  "\nCould not find the TMAT_GAUS binfile", data.tmatGbT,
                                  data.tmatGbRangeT);
    }

private:
    // Prints `message` as the loader always has and keeps `reason` for callers.
    bool fail(const std::string& message, const std::string& reason) {
        out << message;
        data.loadError = reason;
        return false;
    }

    // A fault in the data itself: the message names file, record and fault.
    bool reject(const std::string& reason) { return fail("\n" + reason + "\n", reason); }

    bool checkSizes() {
        std::ostringstream reason;
        if (unit.cells <= 0)
            reason << "the unit's configuration has " << unit.cells << " cells";
        else if (unit.wavelengths <= 0)
            reason << "the unit's configuration has no calibrated wavelengths";
        else if (unit.rangePoints <= 0)
            reason << "the unit's configuration has an empty restricted range";
        else
            return true;
        return reject(reason.str());
    }

    bool loadBadPixels() {
        const std::string path = unit.path(kelo::kBadPixelFileSuffix);
        const char* failure = "\nCould not find the BP binfile";
        std::ifstream file(path, std::ios::binary);
        if (!file) return fail(failure, path + ": cannot be opened");
        out << "\nRead binfile";
        data.badPixels.clear();
        std::vector<std::uint8_t> bytes;
        if (!readRecordBytes(file, kBadPixelRecordSize, bytes))
            return fail(failure, path + ": read error");
        for (std::size_t at = 0; at < bytes.size(); at += kBadPixelRecordSize) {
            const std::uint8_t* record = bytes.data() + at;
            data.badPixels.push_back({kelo::loadLittleEndian<std::int32_t>(record),
                                      kelo::loadLittleEndian<std::int32_t>(record + 4),
                                      kelo::loadLittleEndian<std::int32_t>(record + 8)});
        }
        out << "\nFinished the BP";
        return true;
    }

    bool countBadPixels() {
        const std::string path = unit.path(kelo::kBadPixelFileSuffix);
        data.badPixelCount.assign(std::size_t(unit.cells), 0);
        for (std::size_t i = 0; i < data.badPixels.size(); ++i) {
            const BadPixel& pixel = data.badPixels[i];
            std::ostringstream reason;
            reason << path << ": record " << i << " (cell " << pixel.cellIndex() << ", x "
                   << pixel.x << ", y " << pixel.y << "): ";
            if (long(pixel.cellIndex()) >= unit.cells) {
                reason << "cell index " << pixel.cellIndex()
                       << " is not below the number of cells, " << unit.cells;
                return reject(reason.str());
            }
            if (!unit.insideImage(pixel.x, pixel.y)) {
                reason << "the pixel lies outside the " << unit.imageWidth << " x "
                       << unit.imageHeight << " image";
                return reject(reason.str());
            }
            ++data.badPixelCount[pixel.cellIndex()];
        }
        return true;
    }

    bool loadCellCentres() {
        const std::string path = unit.path(kelo::kCellCentreFileSuffix);
        data.cellCentres.clear();
        std::ifstream file(path, std::ios::binary);
        std::vector<std::uint8_t> bytes;
        if (!file || !readRecordBytes(file, kCellCentreRecordSize, bytes))
            return fail("\nCould not find the CC binfile", path + ": cannot be read");
        for (std::size_t at = 0; at < bytes.size(); at += kCellCentreRecordSize)
            data.cellCentres.push_back(
                {kelo::loadLittleEndian<std::int32_t>(bytes.data() + at),
                 kelo::loadLittleEndian<std::int32_t>(bytes.data() + at + 4)});
        std::ostringstream reason;
        if (long(data.cellCentres.size()) < unit.cells) {
            reason << path << ": " << data.cellCentres.size() << " cell centres, but the unit has "
                   << unit.cells << " cells";
            return reject(reason.str());
        }
        for (long cell = 0; cell < unit.cells; ++cell) {
            const CellCentre& centre = data.cellCentres[std::size_t(cell)];
            const long left = centre.x + unit.offsetX - unit.halfWidth;
            const long right = centre.x + unit.offsetX + unit.halfWidth;
            const long top = centre.y + unit.offsetY - unit.halfHeight;
            const long bottom = centre.y + unit.offsetY + unit.halfHeight;
            if (!unit.insideImage(left, top) || !unit.insideImage(right, bottom)) {
                reason << path << ": record " << cell << " (x " << centre.x << ", y " << centre.y
                       << "): the window of cell " << cell << ", columns " << left << ".." << right
                       << " and rows " << top << ".." << bottom << ", leaves the "
                       << unit.imageWidth << " x " << unit.imageHeight << " image";
                return reject(reason.str());
            }
        }
        return true;
    }

    bool loadNormalMatrix(const char* suffix, const char* failure, kelo::DenseMatrix& matrix,
                          kelo::DenseMatrix& rangeBlock) {
        const std::string path = unit.path(suffix);
        const std::size_t w = std::size_t(unit.wavelengths);
        if (readMatrixFile(path, w, w, matrix) != FileRead::complete)
            return fail(failure,
                        path + ": missing or shorter than " + std::to_string(w * w) + " values");
        const std::size_t r = std::size_t(unit.rangePoints);
        rangeBlock = kelo::DenseMatrix(r, r);
        unit.forEachRangeIndex([&](std::size_t row, std::size_t rangeRow) {
            unit.forEachRangeIndex([&](std::size_t col, std::size_t rangeCol) {
                rangeBlock.at(rangeRow, rangeCol) = matrix.at(row, col);
            });
        });
        return true;
    }

    bool loadTransferMatrix(const char* suffix, const char* failure,
                            kelo::DenseMatrix& transposedMatrix, kelo::DenseMatrix& rangeRows) {
        const std::string path = unit.path(suffix);
        kelo::DenseMatrix matrix;
        const FileRead read =
            readMatrixFile(path, std::size_t(unit.cells), std::size_t(unit.wavelengths), matrix);
        if (read == FileRead::incomplete) out << "TMat size doesn't match";
        if (read != FileRead::complete)
            return fail(failure,
                        path + (read == FileRead::missing
                                    ? ": cannot be opened"
                                    : ": shorter than " + std::to_string(unit.cells) + " rows of " +
                                          std::to_string(unit.wavelengths) + " values"));
        transposedMatrix = transposed(matrix);
        rangeRows = kelo::DenseMatrix(std::size_t(unit.rangePoints), matrix.rows);
        unit.forEachRangeIndex([&](std::size_t q, std::size_t rangeRow) {
            std::copy(transposedMatrix.row(q), transposedMatrix.row(q) + matrix.rows,
                      rangeRows.values.begin() + long(rangeRow * matrix.rows));
        });
        if (matrix.cols != unit.gridPoints) {
            // Only a step of 1 nm matches the one-column-per-nm files.
            data.loadError = path + ": " + std::to_string(matrix.cols) +
                             " columns, but the wavelength grid has " +
                             std::to_string(unit.gridPoints) + " points";
            return false;
        }
        return true;
    }

    CalibrationData& data;
    const UnitGeometry unit;
    const bool gaussBlur;
    std::ostream& out;
};

}  // namespace

bool CalibrationData::loadCalibration(const SystemConfig& config, std::ostream& out,
                                      std::ostream& err) {
    *this = CalibrationData();
    try {
        return CalibrationLoader(*this, config, out).run();
    } catch (const std::exception& error) {
        err << "could not find the bin files ";
        loadError = std::string("unexpected failure: ") + error.what();
        return false;
    }
}
