// The cell file of kelo solve, for the unit's 16 cells, then solved.
#include "FuzzSupport.h"
#include "InputFiles.h"
#include "engine/SpectralProcessor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelo::fuzz;
    SpectralProcessor& processor = unitProcessor();
    writeInput("cells.txt", data, size);
    std::string error;
    const auto cells = kelo::cli::readCellFile("cells.txt", processor.getNumCells(), error);
    if (cells) solveCells(processor, *cells);
    return 0;
}
