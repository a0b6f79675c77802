#include "PackedPixels.h"

namespace kelo::arvcam {

namespace {

// Calls `pair` for every three bytes holding two pixels and `last` for a
// final pixel alone in one and a half bytes.
template <typename Pair, typename Last>
void forEachTriple(const std::uint8_t* packed, std::size_t pixels, std::uint16_t* out, Pair pair,
                   Last last) {
    std::size_t i = 0;
    for (; i + 1 < pixels; i += 2, packed += 3, out += 2) pair(packed, out);
    if (i < pixels) last(packed, out);
}

}  // namespace

void unpackMono12p(const std::uint8_t* packed, std::size_t pixels, std::uint16_t* out) {
    const auto first = [](const std::uint8_t* p) {
        return static_cast<std::uint16_t>(p[0] | ((p[1] & 0x0F) << 8));
    };
    forEachTriple(
        packed, pixels, out,
        [&](const std::uint8_t* p, std::uint16_t* o) {
            o[0] = first(p);
            o[1] = static_cast<std::uint16_t>((p[1] >> 4) | (p[2] << 4));
        },
        [&](const std::uint8_t* p, std::uint16_t* o) { o[0] = first(p); });
}

void unpackMono12Packed(const std::uint8_t* packed, std::size_t pixels, std::uint16_t* out) {
    const auto first = [](const std::uint8_t* p) {
        return static_cast<std::uint16_t>((p[0] << 4) | (p[1] & 0x0F));
    };
    forEachTriple(
        packed, pixels, out,
        [&](const std::uint8_t* p, std::uint16_t* o) {
            o[0] = first(p);
            o[1] = static_cast<std::uint16_t>((p[2] << 4) | (p[1] >> 4));
        },
        [&](const std::uint8_t* p, std::uint16_t* o) { o[0] = first(p); });
}

}  // namespace kelo::arvcam
