// Helpers shared by the test programs: a scratch working folder, file bytes,
// and running the project's programs as an operator would.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kelo::test {

// A new empty folder that is the process's working directory while the
// object lives; the previous working directory comes back and the folder is
// removed afterwards.
class ScopedWorkDir {
public:
    ScopedWorkDir();
    ~ScopedWorkDir();
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;

    const std::filesystem::path& path() const { return folder; }

private:
    std::filesystem::path previous;
    std::filesystem::path folder;
};

std::vector<std::uint8_t> readBytes(const std::filesystem::path& file);
std::string readText(const std::filesystem::path& file);
// The lines of `text`, without their newlines.
std::vector<std::string> linesOf(const std::string& text);
// The data rows of a saved text file: its lines apart from the "#" header
// lines and empty ones.
std::vector<std::string> dataRowsOf(const std::string& text);
// Creates the parent folders as needed.
void writeBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);
void writeText(const std::filesystem::path& file, const std::string& text);

struct ProcessResult {
    int exitCode = -1;  // -2: could not be started, -1: crashed
    std::string out;
    std::string err;
};

// Runs `program` with `arguments` (no shell) in `workDir` and waits for it.
ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& workDir);

}  // namespace kelo::test
