// A dense, row-major matrix of doubles that knows its shape.
#pragma once

#include <cstddef>
#include <vector>

namespace kelo {

struct DenseMatrix {
    std::size_t rows = 0;
    std::size_t cols = 0;
    std::vector<double> values;

    DenseMatrix() = default;
    DenseMatrix(std::size_t rowCount, std::size_t colCount)
        : rows(rowCount), cols(colCount), values(rowCount * colCount, 0.0) {}

    double& at(std::size_t row, std::size_t col) { return values[row * cols + col]; }
    double at(std::size_t row, std::size_t col) const { return values[row * cols + col]; }
    const double* row(std::size_t index) const { return values.data() + index * cols; }
};

}  // namespace kelo
