#include "sim/UnitFileFormats.h"

#include <charconv>
#include <cstring>

#include "config/LittleEndian.h"

namespace kelo::sim {

namespace {

template <class T>
void append(Bytes& bytes, T value) {
    const std::size_t at = bytes.size();
    bytes.resize(at + sizeof(T));
    storeLittleEndian(bytes.data() + at, value);
}

}  // namespace

Bytes systemFileBytes(const SystemConfigBlock& block, bool oldLayout) {
    Bytes bytes(kConfigFileSize, 0);
    const char* version = oldLayout ? kOldConfigVersion : kCurrentConfigVersion;
    std::memcpy(bytes.data(), version, std::strlen(version));
    encodeBlock(block, oldLayout ? kOldBlockLayout : kCurrentBlockLayout,
                bytes.data() + kConfigVersionSize);
    return bytes;
}

Bytes matrixBytes(const DenseMatrix& matrix) {
    Bytes bytes;
    bytes.reserve(matrix.values.size() * sizeof(double));
    for (double value : matrix.values) append(bytes, value);
    return bytes;
}

Bytes cellCentreBytes(const std::vector<PlacedCell>& cells) {
    Bytes bytes;
    for (const PlacedCell& cell : cells) {
        append<std::int32_t>(bytes, cell.x);
        append<std::int32_t>(bytes, cell.y);
    }
    return bytes;
}

Bytes badPixelBytes(const std::vector<BadPixelRecord>& records) {
    Bytes bytes;
    for (const BadPixelRecord& record : records) {
        append<std::int32_t>(bytes, record.cell);
        append<std::int32_t>(bytes, record.x);
        append<std::int32_t>(bytes, record.y);
    }
    return bytes;
}

std::string whiteLidText(const std::vector<double>& curve) {
    std::string text;
    for (double value : curve) {
        char number[32];
        const auto written = std::to_chars(number, number + sizeof number, value);
        text.append(number, written.ptr);
        text += '\n';
    }
    return text;
}

}  // namespace kelo::sim
