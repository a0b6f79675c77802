// Byte layout of the 124-byte system configuration file: a 20-byte version
// field followed by a 104-byte block of little-endian fields. The current
// layout is "0.0.2"; units shipped with "0.0.1" order the block differently.
//
// Header-only on purpose: the configuration loader, the synthetic-unit
// generator and the stand-alone updater program (which links nothing of the
// application) all share this one description of the bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "config/LittleEndian.h"

namespace kelo {

constexpr std::size_t kConfigVersionSize = 20;
constexpr std::size_t kConfigBlockSize = 104;
constexpr std::size_t kConfigFileSize = kConfigVersionSize + kConfigBlockSize;

constexpr const char* kCurrentConfigVersion = "0.0.2";
constexpr const char* kOldConfigVersion = "0.0.1";

constexpr std::size_t kDeviceIdSize = 9;
constexpr std::size_t kFullDeviceIdSize = 24;

// The fields of the block, with the defaults of a freshly created record.
// Identifiers hold the bytes of their fields; they need not be NUL-terminated
// when they fill the field, so read them with identifierText().
struct SystemConfigBlock {
    std::int32_t hwOffsetX = 0;
    std::int32_t hwOffsetY = 0;
    std::int16_t deviceType = 2;
    std::int16_t dataResolution = 1;
    std::uint16_t minWavelength = 380;
    std::uint16_t maxWavelength = 1020;
    std::uint16_t wavelengthRes = 1;
    std::int16_t swOffsetX = 0;
    std::int16_t swOffsetY = 0;
    std::int32_t numCells = 900;
    std::int32_t neighbourPixelsX = 8;
    std::int32_t neighbourPixelsY = 8;
    std::int32_t pixelsPerCell = 289;
    double swFwhm = 0.0;
    std::int32_t dataSizeX = 1280;
    std::int32_t dataSizeY = 670;
    std::int16_t wavelengthShift = 4;
    std::int32_t rangeMinWavelength = 390;
    std::int32_t rangeMaxWavelength = 800;
    std::uint8_t visNirMode = 0;
    std::uint8_t gaussBlurMode = 0;
    std::uint8_t deviceOption = 0;
    char deviceId[kDeviceIdSize] = {};
    char fullDeviceId[kFullDeviceIdSize] = {};
};

// Where each field stands in a block, counted from the block's start.
struct IdentifierPlace {
    std::size_t offset;
    std::size_t width;
};

struct BlockLayout {
    std::size_t hwOffsetX, hwOffsetY, deviceType, dataResolution;
    std::size_t minWavelength, maxWavelength, wavelengthRes;
    std::size_t swOffsetX, swOffsetY;
    std::size_t numCells, neighbourPixelsX, neighbourPixelsY, pixelsPerCell;
    std::size_t swFwhm, dataSizeX, dataSizeY, wavelengthShift;
    std::size_t rangeMinWavelength, rangeMaxWavelength;
    std::size_t visNirMode, gaussBlurMode, deviceOption;
    IdentifierPlace deviceId, fullDeviceId;
};

// "0.0.2": the natural in-memory layout of the fields, swFwhm 8-byte aligned;
// reserved bytes at 22 and 58.
constexpr BlockLayout kCurrentBlockLayout{
    0,                       // hwOffsetX
    4,                       // hwOffsetY
    8,                       // deviceType
    10,                      // dataResolution
    12,                      // minWavelength
    14,                      // maxWavelength
    16,                      // wavelengthRes
    18,                      // swOffsetX
    20,                      // swOffsetY
    24,                      // numCells
    28,                      // neighbourPixelsX
    32,                      // neighbourPixelsY
    36,                      // pixelsPerCell
    40,                      // swFwhm
    48,                      // dataSizeX
    52,                      // dataSizeY
    56,                      // wavelengthShift
    60,                      // rangeMinWavelength
    64,                      // rangeMaxWavelength
    68,                      // visNirMode
    69,                      // gaussBlurMode
    70,                      // deviceOption
    {71, kDeviceIdSize},     // deviceId
    {80, kFullDeviceIdSize}  // fullDeviceId
};

// "0.0.1": the short identifier first, a 25-byte full identifier last;
// reserved bytes at 30 and 66.
constexpr BlockLayout kOldBlockLayout{
    8,        // hwOffsetX
    12,       // hwOffsetY
    16,       // deviceType
    18,       // dataResolution
    20,       // minWavelength
    22,       // maxWavelength
    24,       // wavelengthRes
    26,       // swOffsetX
    28,       // swOffsetY
    32,       // numCells
    36,       // neighbourPixelsX
    40,       // neighbourPixelsY
    44,       // pixelsPerCell
    48,       // swFwhm
    56,       // dataSizeX
    60,       // dataSizeY
    64,       // wavelengthShift
    68,       // rangeMinWavelength
    72,       // rangeMaxWavelength
    76,       // visNirMode
    77,       // gaussBlurMode
    78,       // deviceOption
    {0, 8},   // deviceId
    {79, 25}  // fullDeviceId
};

// The text of an identifier field: up to its first NUL, at most the field.
inline std::size_t identifierLength(const char* field, std::size_t width) {
    const void* nul = std::memchr(field, '\0', width);
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : width;
}

template <std::size_t N>
inline std::size_t identifierLength(const char (&field)[N]) {
    return identifierLength(field, N);
}

namespace layout_detail {

// Copies an identifier between fields. Fields of equal width keep their
// bytes as they are; otherwise the text is copied as a NUL-terminated
// string, cut to what the target can hold with its terminator, and the rest
// of the target is zero.
inline void copyIdentifier(char* target, std::size_t targetWidth, const char* source,
                           std::size_t sourceWidth) {
    if (targetWidth == sourceWidth) {
        std::memcpy(target, source, targetWidth);
        return;
    }
    const std::size_t length = std::min(identifierLength(source, sourceWidth), targetWidth - 1);
    std::memset(target, 0, targetWidth);
    std::memcpy(target, source, length);
}

struct Encoder {
    std::uint8_t* block;
    template <class T>
    void operator()(const T& value, std::size_t offset) const {
        storeLittleEndian(block + offset, value);
    }
    template <std::size_t N>
    void operator()(const char (&field)[N], IdentifierPlace place) const {
        copyIdentifier(reinterpret_cast<char*>(block + place.offset), place.width, field, N);
    }
};

struct Decoder {
    const std::uint8_t* block;
    template <class T>
    void operator()(T& value, std::size_t offset) const {
        value = loadLittleEndian<T>(block + offset);
    }
    template <std::size_t N>
    void operator()(char (&field)[N], IdentifierPlace place) const {
        copyIdentifier(field, N, reinterpret_cast<const char*>(block + place.offset), place.width);
    }
};

// Every field of the block, once: the encoder and decoder both walk this.
template <class Block, class Visitor>
inline void visitFields(Block& b, const BlockLayout& l, const Visitor& visit) {
    visit(b.hwOffsetX, l.hwOffsetX);
    visit(b.hwOffsetY, l.hwOffsetY);
    visit(b.deviceType, l.deviceType);
    visit(b.dataResolution, l.dataResolution);
    visit(b.minWavelength, l.minWavelength);
    visit(b.maxWavelength, l.maxWavelength);
    visit(b.wavelengthRes, l.wavelengthRes);
    visit(b.swOffsetX, l.swOffsetX);
    visit(b.swOffsetY, l.swOffsetY);
    visit(b.numCells, l.numCells);
    visit(b.neighbourPixelsX, l.neighbourPixelsX);
    visit(b.neighbourPixelsY, l.neighbourPixelsY);
    visit(b.pixelsPerCell, l.pixelsPerCell);
    visit(b.swFwhm, l.swFwhm);
    visit(b.dataSizeX, l.dataSizeX);
    visit(b.dataSizeY, l.dataSizeY);
    visit(b.wavelengthShift, l.wavelengthShift);
    visit(b.rangeMinWavelength, l.rangeMinWavelength);
    visit(b.rangeMaxWavelength, l.rangeMaxWavelength);
    visit(b.visNirMode, l.visNirMode);
    visit(b.gaussBlurMode, l.gaussBlurMode);
    visit(b.deviceOption, l.deviceOption);
    visit(b.deviceId, l.deviceId);
    visit(b.fullDeviceId, l.fullDeviceId);
}

}  // namespace layout_detail

// Writes every field of the record to its place in `block`
// (kConfigBlockSize bytes). Bytes no field covers are left as they were, so
// a caller that zeroes the block first gets zero reserved bytes.
inline void encodeBlock(const SystemConfigBlock& record, const BlockLayout& layout,
                        std::uint8_t* block) {
    layout_detail::visitFields(record, layout, layout_detail::Encoder{block});
}

// Reads every field of the record from its place in `block`.
inline void decodeBlock(const std::uint8_t* block, const BlockLayout& layout,
                        SystemConfigBlock& record) {
    layout_detail::visitFields(record, layout, layout_detail::Decoder{block});
}

// Rewrites an old-layout block in the current layout: every field moves to
// its new place, identifiers as NUL-terminated strings, all other bytes zero.
inline void convertOldBlock(const std::uint8_t* oldBlock, std::uint8_t* currentBlock) {
    SystemConfigBlock record;
    decodeBlock(oldBlock, kOldBlockLayout, record);
    std::memset(currentBlock, 0, kConfigBlockSize);
    encodeBlock(record, kCurrentBlockLayout, currentBlock);
}

}  // namespace kelo
