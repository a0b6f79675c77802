#include "TestSupport.h"

#include <QProcess>
#include <QStringList>
#include <atomic>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kelo::test {

namespace {

std::filesystem::path makeScratchFolder() {
    static std::atomic<unsigned> counter{0};
#ifndef _WIN32
    const auto process = static_cast<unsigned long>(::getpid());
#else
    const auto process = 0UL;
#endif
    auto folder = std::filesystem::temp_directory_path() /
                  ("kelo-test-" + std::to_string(process) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

}  // namespace

ScopedWorkDir::ScopedWorkDir()
    : previous(std::filesystem::current_path()), folder(makeScratchFolder()) {
    std::filesystem::current_path(folder);
}

ScopedWorkDir::~ScopedWorkDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
    std::filesystem::remove_all(folder, ignored);
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string readText(const std::filesystem::path& file) {
    auto bytes = readBytes(file);
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> dataRowsOf(const std::string& text) {
    std::vector<std::string> rows;
    for (const std::string& line : linesOf(text))
        if (!line.empty() && line[0] != '#') rows.push_back(line);
    return rows;
}

void writeBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

void writeText(const std::filesystem::path& file, const std::string& text) {
    writeBytes(file, std::vector<std::uint8_t>(text.begin(), text.end()));
}

ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& workDir) {
    QStringList args;
    for (const std::string& argument : arguments) args << QString::fromStdString(argument);
    QProcess process;
    process.setWorkingDirectory(QString::fromStdString(workDir.string()));
    process.start(QString::fromStdString(program), args);
    ProcessResult result;
    if (!process.waitForStarted()) {
        result.exitCode = -2;
        return result;
    }
    process.waitForFinished(120000);
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

}  // namespace kelo::test
