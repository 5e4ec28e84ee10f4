#include "run_program.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

extern char** environ;

namespace voziv::testing {

namespace {

void makePipe(int fds[2]) {
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
}

// Feeds the input and drains both outputs at once, so that neither side
// blocks on a full pipe.
void exchange(int inFd, const std::string& input, int outFd, std::string& out, int errFd,
              std::string& err) {
    std::size_t written = 0;
    if (input.empty()) close(inFd), inFd = -1;
    while (outFd >= 0 || errFd >= 0 || inFd >= 0) {
        pollfd fds[3] = {{inFd, POLLOUT, 0}, {outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("poll failed");
        }
        if (inFd >= 0 && (fds[0].revents & (POLLOUT | POLLERR | POLLHUP))) {
            ssize_t n = write(inFd, input.data() + written, input.size() - written);
            if (n > 0) written += static_cast<std::size_t>(n);
            if (n < 0 || written == input.size()) close(inFd), inFd = -1;
        }
        int* readers[2] = {&outFd, &errFd};
        std::string* sinks[2] = {&out, &err};
        for (int k = 0; k < 2; ++k) {
            if (*readers[k] < 0 || !(fds[k + 1].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buffer[65536];
            ssize_t n = read(*readers[k], buffer, sizeof buffer);
            if (n > 0) {
                sinks[k]->append(buffer, static_cast<std::size_t>(n));
            } else {
                close(*readers[k]);
                *readers[k] = -1;
            }
        }
    }
}

}  // namespace

ProgramResult runProgram(const std::vector<std::string>& argv, const std::string& input,
                         const std::string& stdoutPath) {
    int in[2], out[2], err[2];
    makePipe(in);
    makePipe(out);
    makePipe(err);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    if (stdoutPath.empty()) {
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, stdoutPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    // A test that stops reading must not kill the test process.
    signal(SIGPIPE, SIG_IGN);
    pid_t pid;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    close(err[1]);
    if (rc != 0) {
        close(in[1]), close(out[0]), close(err[0]);
        throw std::runtime_error("cannot run " + argv[0]);
    }
    ProgramResult result;
    exchange(in[1], input, out[0], result.out, err[0], result.err);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}

std::string vozivBinary() {
    const char* path = std::getenv("VOZIV_BINARY");
    if (path == nullptr) throw std::runtime_error("VOZIV_BINARY is not set");
    return path;
}

ProgramResult runVoziv(const std::vector<std::string>& args, const std::string& input) {
    std::vector<std::string> argv{vozivBinary()};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv, input);
}

}  // namespace voziv::testing
