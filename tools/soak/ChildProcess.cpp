#include "ChildProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

extern char** environ;

namespace kelo::soak {

namespace {

struct Pipe {
    int read = -1;
    int write = -1;
};

bool openPipe(Pipe& pipe) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return false;
    pipe.read = ends[0];
    pipe.write = ends[1];
    return true;
}

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

ChildProcess::~ChildProcess() {
    if (pid > 0) {
        kill();
        wait();
    }
    closeEvents();
    closeOutput();
}

bool ChildProcess::start(const std::vector<std::string>& arguments, std::string& failure) {
    Pipe eventPipe;
    Pipe outputPipe;
    if (!openPipe(eventPipe) || !openPipe(outputPipe)) {
        failure = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    // The duplicates lose close-on-exec; the originals are closed by exec.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, eventPipe.write, kEventFd);
    posix_spawn_file_actions_adddup2(&actions, outputPipe.write, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputPipe.write, STDERR_FILENO);

    std::vector<std::string> words = {"kelo_soak"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    const int error =
        ::posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(eventPipe.write);
    ::close(outputPipe.write);
    events = eventPipe.read;
    output = outputPipe.read;
    if (error != 0) {
        pid = -1;
        closeEvents();
        closeOutput();
        failure = std::string("cannot start the instrument process: ") + std::strerror(error);
        return false;
    }
    return true;
}

void ChildProcess::closeEvents() {
    closeFd(events);
}

void ChildProcess::closeOutput() {
    closeFd(output);
}

void ChildProcess::kill() {
    if (pid > 0) ::kill(pid, SIGKILL);
}

int ChildProcess::wait() {
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
    return status;
}

}  // namespace kelo::soak
