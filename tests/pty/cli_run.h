#pragma once
// One run of cadenzor-cli: its exit code and what it printed.
#include "pty/child_process.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kelvo::pty_test {

struct CliRun {
    int code;
    std::string out, err;
};

inline CliRun cli(const std::vector<std::string>& args)
{
    ChildProcess p;
    EXPECT_TRUE(p.start(KELVO_CLI_PATH, args));
    const int code = p.wait(60000);
    return CliRun{code, p.out(), p.err()};
}

}  // namespace kelvo::pty_test
