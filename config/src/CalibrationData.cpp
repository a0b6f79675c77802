#include "config/CalibrationData.h"

#include <cmath>
#include <exception>
#include <fstream>
#include <locale>
#include <sstream>

#include "UnitFileReading.h"
#include "config/LittleEndian.h"
#include "config/SystemConfig.h"
#include "config/UnitFiles.h"
#include "config/UnitLimits.h"
#include "config/WavelengthGrid.h"

namespace {

constexpr std::size_t kBadPixelRecordSize = 12;
constexpr std::size_t kCellCentreRecordSize = 8;

// Opens a file of fixed-size records; `records` gets how many whole records
// it holds (a trailing partial record is ignored). Returns why it cannot be
// read, naming it, or an empty text.
std::string openRecordFile(const std::string& path, std::size_t recordSize, std::ifstream& file,
                           std::uint64_t& records) {
    std::uintmax_t size = 0;
    const kelo::FileOpening opening = kelo::openUnitFile(path, file, size);
    if (opening != kelo::FileOpening::opened) return path + " " + kelo::describeOpening(opening);
    records = size / recordSize;
    return {};
}

// The first `count` records of an open record file, as bytes.
bool readRecords(std::ifstream& file, std::size_t recordSize, std::uint64_t count,
                 std::vector<std::uint8_t>& bytes) {
    bytes.resize(static_cast<std::size_t>(count) * recordSize);
    return kelo::readExactly(file, bytes.data(), bytes.size());
}

enum class MatrixRead { complete, unavailable, incomplete, badValue };

// Where a calibration value is not a finite number within the unit limits,
// or an empty text.
std::string badValueIn(const std::string& path, const kelo::DenseMatrix& matrix) {
    for (std::size_t at = 0; at < matrix.values.size(); ++at) {
        const double value = matrix.values[at];
        if (std::fabs(value) <= kelo::limits::kLargestCalibrationValue) continue;  // NaN is not
        std::ostringstream reason;
        reason.imbue(std::locale::classic());
        reason << path << ": the value at row " << at / matrix.cols << ", column "
               << at % matrix.cols << " is " << value << ", not a finite number within +-"
               << kelo::limits::kLargestCalibrationValue;
        return reason.str();
    }
    return {};
}

// rows x cols little-endian doubles from the start of a file; a longer file
// is fine. Nothing is allocated for a file too short to hold them. Every
// value must be finite and within the unit limits. `problem` says why the
// read was not complete.
MatrixRead readMatrixFile(const std::string& path, std::size_t rows, std::size_t cols,
                          kelo::DenseMatrix& matrix, std::string& problem) {
    std::ifstream file;
    std::uintmax_t size = 0;
    const kelo::FileOpening opening = kelo::openUnitFile(path, file, size);
    if (opening != kelo::FileOpening::opened) {
        problem = path + " " + kelo::describeOpening(opening);
        return MatrixRead::unavailable;
    }
    const std::uintmax_t needed = std::uintmax_t{rows} * cols * sizeof(double);
    if (size < needed) {
        problem = path + ": " + std::to_string(size) + " bytes, shorter than " +
                  std::to_string(rows) + " rows of " + std::to_string(cols) + " values";
        return MatrixRead::incomplete;
    }
    matrix = kelo::DenseMatrix(rows, cols);
    if (!kelo::readExactly(file, matrix.values.data(), static_cast<std::size_t>(needed))) {
        problem = path + " " + kelo::describeOpening(kelo::FileOpening::unreadable);
        return MatrixRead::unavailable;
    }
    if (!kelo::hostIsLittleEndian())
        for (double& value : matrix.values)
            value = kelo::loadLittleEndian<double>(reinterpret_cast<const std::uint8_t*>(&value));
    problem = badValueIn(path, matrix);
    return problem.empty() ? MatrixRead::complete : MatrixRead::badValue;
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

    std::uint64_t windowPixels() const {
        return std::uint64_t(2 * halfWidth + 1) * std::uint64_t(2 * halfHeight + 1);
    }

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
        : data(data),
          unit(config),
          unusable(config.unusableReason()),
          gaussBlur(config.getGaussBlurMode() == 1),
          out(out) {}

    bool run() {
        if (unit.fullId.empty()) return fail("\nDevice ID NULL", "the full device ID is empty");
        if (!checkRecord()) return false;
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

    // The sizes below come from the record: nothing is read for a record
    // outside the unit limits.
    bool checkRecord() {
        if (unusable.empty()) return true;
        return reject("the unit's configuration cannot be used: " + unusable);
    }

    bool loadBadPixels() {
        const std::string path = unit.path(kelo::kBadPixelFileSuffix);
        const char* failure = "\nCould not find the BP binfile";
        std::ifstream file;
        std::uint64_t records = 0;
        if (std::string problem = openRecordFile(path, kBadPixelRecordSize, file, records);
            !problem.empty())
            return fail(failure, problem);
        out << "\nRead binfile";
        data.badPixels.clear();
        // No window holds more bad pixels than pixels.
        const std::uint64_t most = std::uint64_t(unit.cells) * unit.windowPixels();
        if (records > most)
            return reject(path + ": " + std::to_string(records) + " records, more than the " +
                          std::to_string(most) + " pixels of the unit's cell windows");
        std::vector<std::uint8_t> bytes;
        if (!readRecords(file, kBadPixelRecordSize, records, bytes))
            return fail(failure, path + " " + kelo::describeOpening(kelo::FileOpening::unreadable));
        data.badPixels.reserve(static_cast<std::size_t>(records));
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

    // Only the first numCells records are used; the rest is not read.
    bool loadCellCentres() {
        const std::string path = unit.path(kelo::kCellCentreFileSuffix);
        const char* failure = "\nCould not find the CC binfile";
        data.cellCentres.clear();
        std::ifstream file;
        std::uint64_t records = 0;
        if (std::string problem = openRecordFile(path, kCellCentreRecordSize, file, records);
            !problem.empty())
            return fail(failure, problem);
        std::ostringstream reason;
        if (records < std::uint64_t(unit.cells)) {
            reason << path << ": " << records << " cell centres, but the unit has " << unit.cells
                   << " cells";
            return reject(reason.str());
        }
        std::vector<std::uint8_t> bytes;
        if (!readRecords(file, kCellCentreRecordSize, std::uint64_t(unit.cells), bytes))
            return fail(failure, path + " " + kelo::describeOpening(kelo::FileOpening::unreadable));
        for (std::size_t at = 0; at < bytes.size(); at += kCellCentreRecordSize)
            data.cellCentres.push_back(
                {kelo::loadLittleEndian<std::int32_t>(bytes.data() + at),
                 kelo::loadLittleEndian<std::int32_t>(bytes.data() + at + 4)});
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
        std::string problem;
        const MatrixRead read = readMatrixFile(path, w, w, matrix, problem);
        if (read == MatrixRead::badValue) return reject(problem);
        if (read != MatrixRead::complete) return fail(failure, problem);
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
        std::string problem;
        const MatrixRead read = readMatrixFile(path, std::size_t(unit.cells),
                                               std::size_t(unit.wavelengths), matrix, problem);
        if (read == MatrixRead::badValue) return reject(problem);
        if (read == MatrixRead::incomplete) out << "\nTMat size doesn't match";
        if (read != MatrixRead::complete) return fail(failure, problem);
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
    const std::string unusable;
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
