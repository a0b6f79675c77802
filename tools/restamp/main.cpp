// restamp: rewrites a unit's "0.0.1" system configuration file in the
// "0.0.2" layout, in place; a file of any other version or size is left as
// it is. It links nothing of the application, so that the application can
// run it on a file it cannot load yet.
#include <config/AtomicFile.h>
#include <config/EchoedText.h>
#include <config/SystemConfigLayout.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

enum ExitStatus { kSuccess = 0, kFailure = 1, kUsage = 2 };

// The whole file: the version field, then the block.
using ConfigImage = std::array<std::uint8_t, kelo::kConfigFileSize>;
constexpr std::size_t kBlockStart = kelo::kConfigVersionSize;

enum class ReadResult { kRead, kMissing, kNotRegular, kShort, kLong };

ReadResult readImage(const char* path, ConfigImage& image) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) return ReadResult::kMissing;
    // A folder cannot be read, and a device would be read without end.
    if (!std::filesystem::is_regular_file(status)) return ReadResult::kNotRegular;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return ReadResult::kMissing;
    const bool complete = std::fread(image.data(), 1, image.size(), file) == image.size();
    const bool longer = complete && std::fgetc(file) != EOF;
    std::fclose(file);
    if (!complete) return ReadResult::kShort;
    return longer ? ReadResult::kLong : ReadResult::kRead;
}

std::string versionOf(const ConfigImage& image) {
    const char* field = reinterpret_cast<const char*>(image.data());
    return std::string(field, kelo::identifierLength(field, kelo::kConfigVersionSize));
}

// Only the version text and its NUL are replaced; the rest of the version
// field keeps the bytes the unit had.
ConfigImage convertImage(const ConfigImage& old) {
    ConfigImage current = old;
    std::memcpy(current.data(), kelo::kCurrentConfigVersion,
                std::strlen(kelo::kCurrentConfigVersion) + 1);
    kelo::convertOldBlock(old.data() + kBlockStart, current.data() + kBlockStart);
    return current;
}

int restamp(const char* path) {
    std::printf("filePath=%s\n", path);

    ConfigImage old;
    switch (readImage(path, old)) {
        case ReadResult::kMissing:
            std::printf("System config file not found\n");
            return kFailure;
        case ReadResult::kNotRegular:
            std::printf("%s: not a regular file; left as it is\n", kelo::echoed(path).c_str());
            return kFailure;
        case ReadResult::kShort:
            std::printf("Unable to read system config files\n");
            return kFailure;
        case ReadResult::kLong:
            std::printf("%s: longer than %zu bytes, not a system config file; left as it is\n",
                        kelo::echoed(path).c_str(), kelo::kConfigFileSize);
            return kFailure;
        case ReadResult::kRead:
            break;
    }
    // Any other layout would be scrambled by the conversion.
    if (const std::string version = versionOf(old); version != kelo::kOldConfigVersion) {
        std::printf("%s: version \"%s\" is not %s; left as it is\n", kelo::echoed(path).c_str(),
                    kelo::echoed(version).c_str(), kelo::kOldConfigVersion);
        return kFailure;
    }

    const ConfigImage current = convertImage(old);
    const std::string error = kelo::replaceFileContents(path, current.data(), current.size());
    if (!error.empty()) {
        std::printf("unable to create cfg bin file\n");
        std::fprintf(stderr, "%s\n", error.c_str());
        return kFailure;
    }
    std::printf("sys config created\n");
    return kSuccess;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: restamp FILE\n"
                     "Converts a system configuration file of version %s to %s.\n",
                     kelo::kOldConfigVersion, kelo::kCurrentConfigVersion);
        return kUsage;
    }
    const int status = restamp(argv[1]);
    std::fflush(stdout);
    return status;
}
