#include "UnitProcessor.h"

#include <cstdio>
#include <iostream>
#include <sstream>

#include "config/AtomicFile.h"
#include "config/SystemConfig.h"

namespace kelo::cli {

std::unique_ptr<SpectralProcessor> openUnitProcessor(const std::string& id, std::string& error) {
    // The application's controller reads the record first and hands the
    // blur mode to the processor before initialising it.
    SystemConfig record;
    std::ostringstream ignored;
    record.load(id, ignored);

    auto processor = std::make_unique<SpectralProcessor>(std::cout);
    processor->setGaussBlurMode(record.getGaussBlurMode());
    processor->initialize(id);
    std::cout.flush();
    error = processor->unavailableReason();
    if (!error.empty()) return nullptr;
    return processor;
}

std::string exactNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string writeOutputFile(const std::string& path, const std::string& text) {
    return replaceFileContents(path, text.data(), text.size());
}

}  // namespace kelo::cli
