#pragma once
// A child process with its standard output and error captured, for the
// scenarios against kelvo-sim and cadenzor-cli. Waiting is by poll on the
// pipes with generous limits, never by fixed sleeps.
#include <string>
#include <vector>

#include <sys/types.h>

namespace kelvo::pty_test {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts program with the arguments; false when it cannot be started.
    bool start(const std::string& program, const std::vector<std::string>& args);
    // The next line of standard output (without "\n"); false when none came
    // within the limit or the output ended.
    bool read_line(std::string& line, int limit_ms);
    // Waits for the end (collecting all output); the exit code, or -1 when
    // it did not end within the limit (it is then killed).
    int wait(int limit_ms);
    // Ends it with SIGTERM (SIGKILL if it will not go) and collects it.
    void terminate();

    const std::string& out() const { return out_; }
    const std::string& err() const { return err_; }
    pid_t pid() const { return pid_; }

private:
    // Reads what is there within limit_ms; false when both pipes are closed.
    bool pump(int limit_ms);

    pid_t pid_ = -1;
    int out_fd_ = -1, err_fd_ = -1;
    std::string out_, err_;
    std::size_t out_read_ = 0;  // part of out_ handed out by read_line
    int exit_code_ = -1;
    bool exited_ = false;
};

}  // namespace kelvo::pty_test
