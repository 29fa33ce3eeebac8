#pragma once
#include <stdexcept>
#include <string>
#include <vector>

// The developer console's subcommands. Each lives in its own file and registers itself,
// so adding one touches nothing else.
using DevCommandFunction = int (*)(const std::vector<std::string>& args);

struct DevCommand {
    const char* name;
    const char* usage;  // the arguments after the name
    DevCommandFunction run;
};

struct DevCommandRegistrar {
    explicit DevCommandRegistrar(DevCommand command);
};

// Bad arguments: main prints "framlet-dev: <text>" and exits with status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Strict decimal 32-bit integer, or UsageError naming what it was for.
int ParseIntArgument(const std::string& text, const std::string& what);
