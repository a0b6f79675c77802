// How the soak makes the application's saves fail: a folder that becomes
// read-only and a filesystem that is full. Where the machine allows it both
// are small tmpfs mounts (root bypasses permission bits, so the read-only
// folder is remounted read-only rather than made so by its mode); elsewhere
// the write failure is injected through the process's file-size limit.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace kelo::soak {

enum class WriteFailureMethod { Tmpfs, Injected };

// "tmpfs" or "injected", and back; nothing for another word.
const char* methodName(WriteFailureMethod method);
std::optional<WriteFailureMethod> methodNamed(const std::string& name);

// The soak's side, before and after the instrument runs. Creates the two
// folders under `workDir` and, for Tmpfs, mounts a tmpfs on each. The method
// that will be used; `note` says why tmpfs could not be.
WriteFailureMethod prepareFailureFolders(const std::filesystem::path& workDir,
                                         WriteFailureMethod wanted, std::string& note);
// Unmounts what prepareFailureFolders mounted.
void releaseFailureFolders(const std::filesystem::path& workDir, WriteFailureMethod method);

// The instrument's side: switches the two failures on and off. Each switch
// returns an empty text, or what went wrong.
class WriteFailures {
public:
    virtual ~WriteFailures() = default;

    // What the summary says about the method.
    virtual std::string description() const = 0;
    const std::filesystem::path& readOnlyFolder() const { return readOnly; }
    const std::filesystem::path& fullFolder() const { return full; }

    // Saves into readOnlyFolder() fail while it is on; the folder keeps its files.
    virtual std::string setReadOnly(bool on) = 0;
    // Saves into fullFolder() fail for want of room while it is on.
    virtual std::string setFull(bool on) = 0;

protected:
    explicit WriteFailures(const std::filesystem::path& workDir);

private:
    std::filesystem::path readOnly;
    std::filesystem::path full;
};

// The folders prepared under `workDir`, both failures off.
std::unique_ptr<WriteFailures> makeWriteFailures(const std::filesystem::path& workDir,
                                                 WriteFailureMethod method);

}  // namespace kelo::soak
