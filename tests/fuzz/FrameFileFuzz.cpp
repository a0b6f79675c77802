// The raw frame file of kelo cells, for the unit's 16 x 1 pixels, then its
// cell values computed and solved.
#include "FuzzSupport.h"
#include "InputFiles.h"
#include "engine/SpectralProcessor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelo::fuzz;
    SpectralProcessor& processor = unitProcessor();
    writeInput("frame.bin", data, size);
    std::uint32_t width = 0, height = 0;
    processor.getDataSize(width, height);
    std::string error;
    const auto frame = kelo::cli::readFrameFile("frame.bin", width, height, error);
    std::vector<double> cells;
    if (!frame || !processor.computeCellValues(*frame, cells)) return 0;
    for (double value : cells) requireFinite(value, "a cell value");
    solveCells(processor, cells);
    return 0;
}
