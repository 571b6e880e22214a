#pragma once
// The commands of cadenzor-cli. Each takes the arguments after its name
// (UTF-8) and returns the exit code.
#include <string>
#include <vector>

namespace kelvo::cli {

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;     // one line for --help
    int (*run)(const Args& args);
};

// All commands, in the order --help lists them.
const std::vector<Command>& commands();

}  // namespace kelvo::cli
