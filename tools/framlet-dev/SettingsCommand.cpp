// framlet-dev settings FILE.ini [--set Field=Value]... [--save]
#include <cstdio>
#include <memory>

#include "DevCommand.h"
#include "platform/AppError.h"
#include "settings/FLConfig.h"
#include "settings/SettingValues.h"

namespace {

int Number(const std::string& value, const char* field, int low, int high) {
    const int n = ParseIntArgument(value, field);
    if (n < low || n > high) {
        throw UsageError(std::string(field) + " must be " + std::to_string(low) + ".." + std::to_string(high));
    }
    return n;
}

// The fields in file order, each once (the effect bits share one field).
std::vector<const SettingKey*> Fields() {
    std::vector<const SettingKey*> fields;
    for (const SettingKey& key : SettingKeys()) {
        if (fields.empty() || std::string(fields.back()->FieldName()) != key.FieldName()) fields.push_back(&key);
    }
    return fields;
}

// Checks VALUE for the field and, given a config, sets it: bytes 0..255, booleans 0 or 1.
void Assign(TFLConfig* config, const SettingKey& key, const std::string& value) {
    const char* name = key.FieldName();
    std::visit(Overloaded{[&](uint8_t SettingValues::*f) {
                              const auto n = static_cast<uint8_t>(Number(value, name, 0, 255));
                              if (config) config->Set(f, n);
                          },
                          [&](int32_t SettingValues::*f) {
                              const int32_t n = ParseIntArgument(value, name);
                              if (config) config->Set(f, n);
                          },
                          [&](bool SettingValues::*f) {
                              const bool b = Number(value, name, 0, 1) != 0;
                              if (config) config->Set(f, b);
                          },
                          [&](std::string SettingValues::*f) {
                              if (config) config->Set(f, value);
                          }},
               key.field);
}

std::string ValueText(const SettingValues& values, const SettingKey& key) {
    return std::visit(Overloaded{[&](std::string SettingValues::*f) { return values.*f; },
                                 [&](auto f) { return std::to_string(static_cast<long long>(values.*f)); }},
                      key.field);
}

void Print(const TFLConfig& c) {
    auto line = [](const char* name, const std::string& value) {
        std::fputs(name, stdout);
        std::fputc('=', stdout);
        std::fwrite(value.data(), 1, value.size(), stdout);
        std::fputc('\n', stdout);
    };
    line("Dirty", std::to_string(c.Dirty()));
    for (const SettingKey* key : Fields()) line(key->FieldName(), ValueText(c.Values(), *key));
    std::fflush(stdout);
}

bool destructorFailed = false;

int Run(const std::vector<std::string>& args) {
    if (args.empty() || args[0].rfind("--", 0) == 0) throw UsageError("expected FILE.ini first");
    const std::string path = args[0];
    const std::vector<const SettingKey*> fields = Fields();
    std::vector<std::pair<const SettingKey*, std::string>> sets;
    bool save = false;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--save") {
            save = true;
        } else if (args[i] == "--set") {
            if (i + 1 >= args.size()) throw UsageError("--set needs Field=Value");
            const std::string& assignment = args[++i];
            const size_t equals = assignment.find('=');
            if (equals == std::string::npos) throw UsageError("--set needs Field=Value, got \"" + assignment + "\"");
            const std::string name = assignment.substr(0, equals);
            const SettingKey* field = nullptr;
            for (const SettingKey* f : fields) {
                if (name == f->FieldName()) field = f;
            }
            if (!field) throw UsageError("unknown field \"" + name + "\"");
            Assign(nullptr, *field, assignment.substr(equals + 1));
            sets.emplace_back(field, assignment.substr(equals + 1));
        } else {
            throw UsageError("unexpected argument \"" + args[i] + "\"");
        }
    }

    // The destructor saves as it does when the program ends; its failure is reported like the
    // program's, once: after a failed --save the same failure is not printed twice.
    static bool quiet = false;
    SetErrorReporter([](const std::exception& error) {
        if (!quiet) std::fprintf(stderr, "%s\n", error.what());
        destructorFailed = true;
    });
    {
        auto config = std::make_unique<TFLConfig>(path);
        if (const auto failure = config->LoadFailureText()) {
            // The file exists but was not read completely: report it and leave it alone.
            std::fprintf(stderr, "%s\n", failure->c_str());
            return 1;
        }
        for (const auto& [field, value] : sets) Assign(config.get(), *field, value);
        if (save) {
            try {
                config->Save();
            } catch (const AppError& error) {
                std::fprintf(stderr, "%s\n", error.what());
                quiet = true;
                destructorFailed = true;
            }
        }
        Print(*config);
    }
    return destructorFailed ? 1 : 0;
}

const DevCommandRegistrar registrar({"settings", "FILE.ini [--set Field=Value]... [--save]", Run});

}  // namespace
