// framlet-dev: the developer console over Framlet's portable core. Every subcommand runs the
// same code the program runs, so its output can be cross-checked against the Windows build.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "DevCommand.h"
#include "platform/AppError.h"

namespace {
std::map<std::string, DevCommand>& Commands() {
    static std::map<std::string, DevCommand> commands;
    return commands;
}

void PrintUsage() {
    std::fprintf(stderr, "usage: framlet-dev COMMAND ARGS...\n");
    for (const auto& [name, command] : Commands())
        std::fprintf(stderr, "  framlet-dev %s %s\n", name.c_str(), command.usage);
}
}  // namespace

DevCommandRegistrar::DevCommandRegistrar(DevCommand command) { Commands().emplace(command.name, command); }

int ParseIntArgument(const std::string& text, const std::string& what) {
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || value < INT32_MIN || value > INT32_MAX ||
        text.find_first_of(" \t") != std::string::npos) {
        throw UsageError(what + " is not a 32-bit integer: \"" + text + "\"");
    }
    return static_cast<int>(value);
}

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage();
        return 2;
    }
    const auto found = Commands().find(argv[1]);
    if (found == Commands().end()) {
        std::fprintf(stderr, "framlet-dev: unknown command \"%s\"\n", argv[1]);
        PrintUsage();
        return 2;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    try {
        return found->second.run(args);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "framlet-dev %s: %s\n", argv[1], error.what());
        return 2;
    } catch (const AppError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "framlet-dev %s: %s\n", argv[1], error.what());
        return 1;
    }
}
