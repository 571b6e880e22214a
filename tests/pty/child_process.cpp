#include "pty/child_process.h"

#include <chrono>
#include <csignal>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kelvo::pty_test {

namespace {
using Clock = std::chrono::steady_clock;
int ms_left(Clock::time_point end)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}
}  // namespace

ChildProcess::~ChildProcess() { terminate(); }

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& args)
{
    terminate();  // one child at a time; a started object may be started again
    out_.clear();
    err_.clear();
    out_read_ = 0;
    exit_code_ = -1;
    exited_ = false;
    int out_pipe[2], err_pipe[2];
    if (pipe(out_pipe) != 0) return false;
    if (pipe(err_pipe) != 0) {
        close(out_pipe[0]);
        close(out_pipe[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, out_pipe[0]);
    posix_spawn_file_actions_addclose(&actions, err_pipe[0]);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out_pipe[1]);
    close(err_pipe[1]);
    out_fd_ = out_pipe[0];
    err_fd_ = err_pipe[0];
    if (rc != 0) {
        pid_ = -1;
        return false;
    }
    return true;
}

bool ChildProcess::pump(int limit_ms)
{
    pollfd fds[2];
    int n = 0;
    if (out_fd_ >= 0) fds[n++] = {out_fd_, POLLIN, 0};
    if (err_fd_ >= 0) fds[n++] = {err_fd_, POLLIN, 0};
    if (n == 0) return false;
    const int ready = poll(fds, static_cast<nfds_t>(n), limit_ms);
    if (ready <= 0) return true;
    for (int i = 0; i < n; ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        char buf[4096];
        const ssize_t got = read(fds[i].fd, buf, sizeof buf);
        const bool is_out = fds[i].fd == out_fd_;
        if (got > 0) {
            (is_out ? out_ : err_).append(buf, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            close(fds[i].fd);
            (is_out ? out_fd_ : err_fd_) = -1;
        }
    }
    return out_fd_ >= 0 || err_fd_ >= 0;
}

bool ChildProcess::read_line(std::string& line, int limit_ms)
{
    const auto end = Clock::now() + std::chrono::milliseconds(limit_ms);
    for (;;) {
        const std::size_t nl = out_.find('\n', out_read_);
        if (nl != std::string::npos) {
            line = out_.substr(out_read_, nl - out_read_);
            out_read_ = nl + 1;
            return true;
        }
        if (ms_left(end) == 0 || !pump(ms_left(end))) return false;
    }
}

int ChildProcess::wait(int limit_ms)
{
    if (pid_ < 0) return exit_code_;
    const auto end = Clock::now() + std::chrono::milliseconds(limit_ms);
    while (pump(ms_left(end) > 100 ? 100 : ms_left(end))) {
        int status = 0;
        if (!exited_ && waitpid(pid_, &status, WNOHANG) == pid_) {
            exited_ = true;
            exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (ms_left(end) == 0) break;
    }
    if (!exited_) {
        int status = 0;
        // Pipes closed: the end is near; wait for it within the limit.
        pid_t reaped = 0;
        while ((reaped = waitpid(pid_, &status, WNOHANG)) == 0 && ms_left(end) > 0) poll(nullptr, 0, 20);
        if (reaped == pid_) {
            exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        } else {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            exit_code_ = -1;
        }
        exited_ = true;
    }
    pid_ = -1;
    return exit_code_;
}

void ChildProcess::terminate()
{
    if (pid_ >= 0 && !exited_) {
        kill(pid_, SIGTERM);
        if (wait(10000) == -1) {
            // wait() killed it.
        }
    }
    pid_ = -1;
    if (out_fd_ >= 0) close(out_fd_);
    if (err_fd_ >= 0) close(err_fd_);
    out_fd_ = err_fd_ = -1;
}

}  // namespace kelvo::pty_test
