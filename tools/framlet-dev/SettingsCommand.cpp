// framlet-dev settings FILE.ini [--set Field=Value]... [--save]
#include <cstdio>
#include <functional>
#include <memory>

#include "DevCommand.h"
#include "platform/AppError.h"
#include "settings/FLConfig.h"

namespace {

using Setter = std::function<void(TFLConfig&, const std::string&)>;

struct Field {
    const char* name;
    std::function<void(const std::string&)> validate;
    Setter set;
};

int Number(const std::string& value, const char* field, int low, int high) {
    const int n = ParseIntArgument(value, field);
    if (n < low || n > high) {
        throw UsageError(std::string(field) + " must be " + std::to_string(low) + ".." + std::to_string(high));
    }
    return n;
}

Field ByteField(const char* name, void (TFLConfig::*setter)(uint8_t)) {
    return {name, [name](const std::string& v) { Number(v, name, 0, 255); },
            [name, setter](TFLConfig& c, const std::string& v) {
                (c.*setter)(static_cast<uint8_t>(Number(v, name, 0, 255)));
            }};
}
Field IntField(const char* name, void (TFLConfig::*setter)(int32_t)) {
    return {name, [name](const std::string& v) { ParseIntArgument(v, name); },
            [name, setter](TFLConfig& c, const std::string& v) { (c.*setter)(ParseIntArgument(v, name)); }};
}
Field BoolField(const char* name, void (TFLConfig::*setter)(bool)) {
    return {name, [name](const std::string& v) { Number(v, name, 0, 1); },
            [name, setter](TFLConfig& c, const std::string& v) { (c.*setter)(Number(v, name, 0, 1) != 0); }};
}
Field StringField(const char* name, void (TFLConfig::*setter)(const std::string&)) {
    return {name, [](const std::string&) {}, [setter](TFLConfig& c, const std::string& v) { (c.*setter)(v); }};
}

const std::vector<Field>& Fields() {
    static const std::vector<Field> fields = {
        ByteField("TrimType", &TFLConfig::SetTrimType),
        IntField("Width", &TFLConfig::SetWidth),
        IntField("Height", &TFLConfig::SetHeight),
        IntField("Scale", &TFLConfig::SetScale),
        ByteField("EffectFlags", &TFLConfig::SetEffectFlags),
        ByteField("ReverseType", &TFLConfig::SetReverseType),
        BoolField("IsFrame", &TFLConfig::SetIsFrame),
        IntField("FrameSize", &TFLConfig::SetFrameSize),
        BoolField("IsDefaultFolder", &TFLConfig::SetIsDefaultFolder),
        StringField("DefaultFolder", &TFLConfig::SetDefaultFolder),
        BoolField("IsAutoFileName", &TFLConfig::SetIsAutoFileName),
        StringField("PrefixOfFileName", &TFLConfig::SetPrefixOfFileName),
        IntField("NumberingStart", &TFLConfig::SetNumberingStart),
        ByteField("DefaultFormatType", &TFLConfig::SetDefaultFormatType),
        BoolField("IsNoUseDialog", &TFLConfig::SetIsNoUseDialog),
    };
    return fields;
}

void Print(const TFLConfig& c) {
    auto line = [](const char* name, const std::string& value) {
        std::fputs(name, stdout);
        std::fputc('=', stdout);
        std::fwrite(value.data(), 1, value.size(), stdout);
        std::fputc('\n', stdout);
    };
    auto number = [](long long v) { return std::to_string(v); };
    line("Dirty", number(c.Dirty()));
    line("TrimType", number(c.TrimType()));
    line("Width", number(c.Width()));
    line("Height", number(c.Height()));
    line("Scale", number(c.Scale()));
    line("EffectFlags", number(c.EffectFlags()));
    line("ReverseType", number(c.ReverseType()));
    line("IsFrame", number(c.IsFrame()));
    line("FrameSize", number(c.FrameSize()));
    line("IsDefaultFolder", number(c.IsDefaultFolder()));
    line("DefaultFolder", c.DefaultFolder());
    line("IsAutoFileName", number(c.IsAutoFileName()));
    line("PrefixOfFileName", c.PrefixOfFileName());
    line("NumberingStart", number(c.NumberingStart()));
    line("DefaultFormatType", number(c.DefaultFormatType()));
    line("IsNoUseDialog", number(c.IsNoUseDialog()));
    std::fflush(stdout);
}

bool destructorFailed = false;

int Run(const std::vector<std::string>& args) {
    if (args.empty() || args[0].rfind("--", 0) == 0) throw UsageError("expected FILE.ini first");
    const std::string path = args[0];
    std::vector<std::pair<const Field*, std::string>> sets;
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
            const Field* field = nullptr;
            for (const auto& f : Fields()) {
                if (name == f.name) field = &f;
            }
            if (!field) throw UsageError("unknown field \"" + name + "\"");
            field->validate(assignment.substr(equals + 1));
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
        for (const auto& [field, value] : sets) field->set(*config, value);
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
