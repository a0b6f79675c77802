#include "FuzzSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <streambuf>
#include <vector>

#include <unistd.h>

#include "HandMadeUnit.h"
#include "config/SystemConfig.h"
#include "device/Frame.h"
#include "engine/SpectralProcessor.h"

namespace kelo::fuzz {

const char* const kUnitId = "HM1";

namespace {

class DiscardBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

// The working folder as it was made: every file of it, by path.
using Snapshot = std::map<std::string, std::vector<char>>;

std::vector<char> contentsOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void writeContents(const std::string& path, const char* data, std::size_t size) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(data, std::streamsize(size));
}

// The working folder, removed when the process exits.
std::string workingFolder;

void removeWorkingFolder() {
    std::error_code ignored;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
    std::filesystem::remove_all(workingFolder, ignored);
}

Snapshot makeFolder() {
    workingFolder = (std::filesystem::temp_directory_path() / "kelo-fuzz-XXXXXX").string();
    if (!::mkdtemp(workingFolder.data())) {
        std::perror("kelo fuzz: cannot make a working folder");
        std::abort();
    }
    std::atexit(removeWorkingFolder);
    std::filesystem::current_path(workingFolder);
    std::filesystem::create_directories("data");
    for (const auto& entry : std::filesystem::directory_iterator(KELO_COLOUR_DATA_DIR))
        std::filesystem::copy_file(entry.path(), "data" / entry.path().filename());
    enginetest::HandMadeUnit unit = enginetest::identityUnit(500, 515, 502, 512, 2.0);
    unit.id = kUnitId;
    unit.write(".");

    Snapshot snapshot;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("."))
        if (entry.is_regular_file())
            snapshot[entry.path().lexically_normal().string()] = contentsOf(entry.path());
    return snapshot;
}

const Snapshot& original() {
    static const Snapshot snapshot = makeFolder();
    return snapshot;
}

// The file the last input was written to.
std::string lastInput;

}  // namespace

void enterWorkingFolder() {
    const Snapshot& files = original();
    if (lastInput.empty()) return;
    const auto found = files.find(lastInput);
    std::error_code ignored;
    std::filesystem::remove_all(lastInput, ignored);
    if (found != files.end())
        writeContents(found->first, found->second.data(), found->second.size());
    lastInput.clear();
}

void writeInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
    lastInput = std::filesystem::path(path).lexically_normal().string();
    writeContents(lastInput, reinterpret_cast<const char*>(data), size);
}

std::ostream& discard() {
    static DiscardBuffer buffer;
    static std::ostream stream(&buffer);
    return stream;
}

void requireFinite(double value, const char* what) {
    if (std::isfinite(value)) return;
    std::fprintf(stderr, "kelo fuzz: %s is %g but was reported as good\n", what, value);
    std::abort();
}

void solveCells(SpectralProcessor& processor, const std::vector<double>& cells) {
    std::vector<double> spectrum;
    std::uint8_t saturated = 0;
    if (!processor.solveSpectrum(cells, spectrum, saturated)) return;
    for (double value : spectrum) requireFinite(value, "a spectrum value");
}

void solveOneFrame() {
    SystemConfig record;
    record.load(kUnitId, discard());
    SpectralProcessor processor(discard());
    processor.setGaussBlurMode(record.getGaussBlurMode());
    if (!processor.initialize(kUnitId) || !processor.unavailableReason().empty()) return;

    std::uint32_t width = 0, height = 0;
    processor.getDataSize(width, height);
    const Frame frame(std::size_t(width) * height, 1000);
    std::vector<double> cells;
    if (!processor.computeCellValues(frame, cells)) return;
    for (double value : cells) requireFinite(value, "a cell value");
    solveCells(processor, cells);
}

SpectralProcessor& unitProcessor() {
    static SpectralProcessor* processor = [] {
        enterWorkingFolder();
        auto* made = new SpectralProcessor(discard());
        if (!made->initialize(kUnitId) || !made->unavailableReason().empty()) {
            std::fprintf(stderr, "kelo fuzz: the unit was refused: %s\n",
                         made->unavailableReason().c_str());
            std::abort();
        }
        return made;
    }();
    return *processor;
}

}  // namespace kelo::fuzz
