// Runs a fuzz target over the files it is given, or over every file of the
// folders it is given, once each: the seed corpus, and any input a fuzzing
// run found, replayed as an ordinary test. A crash or an abort fails it.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void replay(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> input{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(input.data(), input.size());
}

}  // namespace

int main(int argc, char** argv) {
    // Each input may change the working folder: every path is made absolute first.
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path given = std::filesystem::absolute(argv[i]);
        if (!std::filesystem::is_directory(given)) {
            inputs.push_back(given);
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(given))
            if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    for (const auto& input : inputs) replay(input);
    std::printf("%zu inputs replayed\n", inputs.size());
    return inputs.empty() ? 1 : 0;
}
