// kelo cells ID FRAME --out FILE: the cell values of one raw frame, as the
// application computes them.
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "ArgumentList.h"
#include "Commands.h"
#include "UnitProcessor.h"
#include "config/LittleEndian.h"
#include "device/Frame.h"

namespace kelo::cli {

namespace {

// A file of little-endian 16-bit pixels; `error` names the file when it
// cannot be read or has another size than a width x height frame.
bool readFrame(const std::string& path, std::uint32_t width, std::uint32_t height, Frame& frame,
               std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot be opened";
        return false;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
    if (file.bad()) {
        error = path + ": read error";
        return false;
    }
    const std::size_t expected = std::size_t(width) * height * 2;
    if (bytes.size() != expected) {
        error = path + ": " + std::to_string(bytes.size()) + " bytes, but a frame of " +
                std::to_string(width) + " x " + std::to_string(height) + " 16-bit pixels has " +
                std::to_string(expected);
        return false;
    }
    frame.resize(expected / 2);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = loadLittleEndian<std::uint16_t>(bytes.data() + 2 * i);
    return true;
}

}  // namespace

int runCells(const Words& words) {
    std::string error;
    const auto arguments = ArgumentList::parse(words, {"--out"}, {}, error);
    if (!arguments) return usageError("cells", error);
    const auto out = arguments->value("--out");
    if (arguments->positional().size() != 2 || !out)
        return usageError("cells", "usage: kelo cells ID FRAME --out FILE");
    const std::string& id = arguments->positional()[0];
    const std::string& framePath = arguments->positional()[1];

    auto processor = openUnitProcessor(id, error);
    if (!processor) {
        std::cerr << "kelo cells: " << error << "\n";
        return 1;
    }
    std::uint32_t width, height;
    processor->getDataSize(width, height);
    Frame frame;
    if (!readFrame(framePath, width, height, frame, error)) {
        std::cerr << "kelo cells: " << error << "\n";
        return 1;
    }
    std::vector<double> cells;
    if (!processor->computeCellValues(std::move(frame), cells)) {
        std::cerr << "kelo cells: " << framePath << ": the frame was refused\n";
        return 1;
    }
    std::cout.flush();

    std::string text;
    for (double value : cells) text += exactNumber(value) + "\n";
    if (std::string failure = writeOutputFile(*out, text); !failure.empty()) {
        std::cerr << "kelo cells: " << failure << "\n";
        return 1;
    }
    return 0;
}

}  // namespace kelo::cli
