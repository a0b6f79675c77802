// Both ways of failing a save: tmpfs mounts remounted read-only or filled
// up, or the file-size limit lowered under the file being written.
#include "WriteFailures.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

namespace kelo::soak {

namespace {

constexpr const char* kReadOnlyFolder = "read-only";
constexpr const char* kFullFolder = "full";
constexpr const char* kFillerFile = "filler";
// Room for a few spectrum files of the full grid.
constexpr const char* kTmpfsOptions = "size=256k,mode=0755";
constexpr unsigned long kMountFlags = MS_NOSUID | MS_NODEV | MS_NOEXEC;
// The injected limits: nothing can be written into the read-only folder, the
// first kibibyte of a file into the full filesystem.
constexpr rlim_t kReadOnlyLimit = 0;
constexpr rlim_t kFullLimit = 1024;

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

std::string mountTmpfs(const std::filesystem::path& folder) {
    if (::mount("kelo-soak", folder.c_str(), "tmpfs", kMountFlags, kTmpfsOptions) != 0)
        return systemError("mount -t tmpfs -o " + std::string(kTmpfsOptions) + " " +
                           folder.string());
    return {};
}

class TmpfsFailures : public WriteFailures {
public:
    explicit TmpfsFailures(const std::filesystem::path& workDir) : WriteFailures(workDir) {
        // A process that ended before switching them off left them on.
        setReadOnly(false);
        setFull(false);
    }

    std::string description() const override {
        return "tmpfs mounts (the read-only folder remounted read-only, the full one filled up)";
    }

    std::string setReadOnly(bool on) override {
        const unsigned long flags = MS_REMOUNT | kMountFlags | (on ? MS_RDONLY : 0);
        if (::mount(nullptr, readOnlyFolder().c_str(), nullptr, flags, nullptr) != 0)
            return systemError(std::string("mount -o remount,") + (on ? "ro " : "rw ") +
                               readOnlyFolder().string());
        return {};
    }

    std::string setFull(bool on) override {
        const std::filesystem::path filler = fullFolder() / kFillerFile;
        if (!on) {
            std::error_code ignored;
            std::filesystem::remove(filler, ignored);
            return {};
        }
        return fillUp(filler);
    }

private:
    // Writes `filler` until the filesystem has no room left.
    static std::string fillUp(const std::filesystem::path& filler) {
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return systemError("cannot create " + filler.string());
        const std::vector<char> block(4096, 'x');
        std::string failure;
        for (;;) {
            if (::write(fd, block.data(), block.size()) >= 0) continue;
            if (errno != ENOSPC) failure = systemError("cannot fill " + filler.string());
            break;
        }
        ::close(fd);
        return failure;
    }
};

class InjectedFailures : public WriteFailures {
public:
    explicit InjectedFailures(const std::filesystem::path& workDir) : WriteFailures(workDir) {
        // Writing past the limit fails with EFBIG instead of ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &normal);
    }

    std::string description() const override {
        return "injected (the file-size limit lowered to 0 bytes for the read-only folder and "
               "to 1 KiB for the full filesystem)";
    }

    std::string setReadOnly(bool on) override { return limitFileSize(on, kReadOnlyLimit); }
    std::string setFull(bool on) override { return limitFileSize(on, kFullLimit); }

private:
    std::string limitFileSize(bool on, rlim_t bytes) {
        rlimit limit = normal;
        if (on) limit.rlim_cur = bytes;
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return systemError("setrlimit RLIMIT_FSIZE");
        return {};
    }

    rlimit normal{};
};

}  // namespace

const char* methodName(WriteFailureMethod method) {
    return method == WriteFailureMethod::Tmpfs ? "tmpfs" : "injected";
}

std::optional<WriteFailureMethod> methodNamed(const std::string& name) {
    if (name == "tmpfs") return WriteFailureMethod::Tmpfs;
    if (name == "injected") return WriteFailureMethod::Injected;
    return std::nullopt;
}

WriteFailures::WriteFailures(const std::filesystem::path& workDir)
    : readOnly(workDir / kReadOnlyFolder), full(workDir / kFullFolder) {}

WriteFailureMethod prepareFailureFolders(const std::filesystem::path& workDir,
                                         WriteFailureMethod wanted, std::string& note) {
    const std::filesystem::path readOnly = workDir / kReadOnlyFolder;
    const std::filesystem::path full = workDir / kFullFolder;
    std::filesystem::create_directories(readOnly);
    std::filesystem::create_directories(full);
    if (wanted == WriteFailureMethod::Injected) return wanted;
    if (::geteuid() != 0) {
        note = "tmpfs needs root to be mounted";
        return WriteFailureMethod::Injected;
    }
    note = mountTmpfs(readOnly);
    if (note.empty()) {
        note = mountTmpfs(full);
        if (note.empty()) return WriteFailureMethod::Tmpfs;
        ::umount2(readOnly.c_str(), MNT_DETACH);
    }
    return WriteFailureMethod::Injected;
}

void releaseFailureFolders(const std::filesystem::path& workDir, WriteFailureMethod method) {
    if (method != WriteFailureMethod::Tmpfs) return;
    for (const char* folder : {kReadOnlyFolder, kFullFolder})
        ::umount2((workDir / folder).c_str(), MNT_DETACH);
}

std::unique_ptr<WriteFailures> makeWriteFailures(const std::filesystem::path& workDir,
                                                 WriteFailureMethod method) {
    if (method == WriteFailureMethod::Tmpfs) return std::make_unique<TmpfsFailures>(workDir);
    return std::make_unique<InjectedFailures>(workDir);
}

}  // namespace kelo::soak
