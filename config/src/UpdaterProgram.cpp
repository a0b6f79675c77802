#include "UpdaterProgram.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace kelo {

namespace {

#ifdef _WIN32
constexpr const char* kUpdaterName = "restamp.exe";
#else
constexpr const char* kUpdaterName = "restamp";
#endif

QString runningExecutableFolder() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? QString() : QString::fromStdString(self.parent_path().string());
}

}  // namespace

std::string runConfigUpdater(const std::string& systemFilePath) {
    const QString program = QDir(runningExecutableFolder()).filePath(kUpdaterName);
    // The updater writes to the same console: what we printed comes first.
    std::cout.flush();
    std::fflush(stdout);

    const std::string name = "the updater " + program.toStdString();
    const QFileInfo file(program);
    if (!file.isFile() || !file.isExecutable()) return name + " is missing";
    QProcess updater;
    updater.setProcessChannelMode(QProcess::ForwardedChannels);
    updater.start(program, {QString::fromStdString(systemFilePath)});
    if (!updater.waitForStarted()) return name + " could not be started";
    updater.waitForFinished(-1);
    if (updater.exitStatus() != QProcess::NormalExit) return name + " crashed";
    if (updater.exitCode() != 0)
        return name + " ended with status " + std::to_string(updater.exitCode());
    return {};
}

}  // namespace kelo
