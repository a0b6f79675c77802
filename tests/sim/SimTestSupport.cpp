#include "SimTestSupport.h"

#include <cmath>
#include <cstring>
#include <sstream>

#include "config/UnitFiles.h"

extern "C" void dsyev_(const char* jobz, const char* uplo, const int* n, double* a, const int* lda,
                       double* w, double* work, const int* lwork, int* info);

namespace kelo::simtest {

namespace {

std::int32_t int32At(const Bytes& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | bytes.at(offset + i);
    return static_cast<std::int32_t>(value);
}

double float64At(const Bytes& bytes, std::size_t offset) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | bytes.at(offset + i);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

std::vector<std::int32_t> readInt32s(const std::filesystem::path& file) {
    const Bytes bytes = kelo::test::readBytes(file);
    std::vector<std::int32_t> values;
    for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4) values.push_back(int32At(bytes, at));
    return values;
}

DenseMatrix readMatrix(const std::filesystem::path& file, std::size_t rows, std::size_t cols) {
    const Bytes bytes = kelo::test::readBytes(file);
    EXPECT_EQ(bytes.size(), rows * cols * 8) << file;
    DenseMatrix matrix(rows, cols);
    if (bytes.size() != rows * cols * 8) return matrix;
    for (std::size_t k = 0; k < rows * cols; ++k) matrix.values[k] = float64At(bytes, 8 * k);
    return matrix;
}

std::filesystem::path unitFile(const std::filesystem::path& root, const std::string& id,
                               const char* suffix) {
    return root / unitFilePath(id, suffix);
}

std::string writeUnit(const sim::SyntheticUnitOptions& options) {
    std::ostringstream log;
    const std::string error = sim::writeSyntheticUnit(options, log);
    EXPECT_EQ(error, "");
    return log.str();
}

double conditionNumber(const DenseMatrix& normal, std::size_t first, std::size_t count) {
    std::vector<double> block(count * count);
    for (std::size_t r = 0; r < count; ++r)
        for (std::size_t c = 0; c < count; ++c)
            block[r * count + c] = normal.at(first + r, first + c);
    const int n = static_cast<int>(count);
    std::vector<double> eigenvalues(count);
    int info = 0;
    int lwork = -1;
    double optimalWork = 0.0;
    dsyev_("N", "U", &n, block.data(), &n, eigenvalues.data(), &optimalWork, &lwork, &info);
    lwork = static_cast<int>(optimalWork);
    std::vector<double> work(static_cast<std::size_t>(lwork));
    dsyev_("N", "U", &n, block.data(), &n, eigenvalues.data(), work.data(), &lwork, &info);
    EXPECT_EQ(info, 0);
    EXPECT_GT(eigenvalues.front(), 0.0);
    return std::sqrt(eigenvalues.back() / eigenvalues.front());
}

sim::SyntheticUnitOptions defaultUnitOptions() {
    sim::SyntheticUnitOptions options;
    options.id = "K3S00042";
    return options;
}

std::unique_ptr<kelo::test::ScopedWorkDir> SharedUnitTest::folder;

void SharedUnitTest::writeSharedUnit(sim::SyntheticUnitOptions options) {
    folder = std::make_unique<kelo::test::ScopedWorkDir>();
    options.root = folder->path();
    writeUnit(options);
}

void SharedUnitTest::TearDownTestSuite() {
    folder.reset();
}

std::filesystem::path SharedUnitTest::file(const char* suffix) {
    return unitFile(folder->path(), "K3S00042", suffix);
}

DenseMatrix SharedUnitTest::matrix(const char* suffix, std::size_t rows) {
    return readMatrix(file(suffix), rows, kPoints);
}

}  // namespace kelo::simtest
