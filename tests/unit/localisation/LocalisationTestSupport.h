#pragma once
#include <string>
#include <vector>

#include "TestSupport.h"
#include "forms/FormLayout.h"
#include "localisation/Components.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

// Everything a translator can change in a form, one "name.property=value" line for each
// property the component's kind has, in design order: two forms are localised alike exactly
// when their snapshots are equal.
inline std::vector<std::string> Snapshot(LocalisableForm& form) {
    std::vector<std::string> lines{form.Name() + ".caption=" + form.Caption()};
    for (size_t i = 0; i < form.ComponentCount(); ++i) {
        const LocalisableComponent& c = form.Components(i);
        const std::string name = c.Name();
        switch (c.Kind()) {
            case ComponentKind::Form:
            case ComponentKind::OtherControl:
                lines.push_back(name + ".caption=" + c.Caption());
                lines.push_back(name + ".hint=" + c.Hint());
                break;
            case ComponentKind::Edit:
            case ComponentKind::ComboBox:
                lines.push_back(name + ".hint=" + c.Hint());
                lines.push_back(name + ".text=" + c.Text());
                for (int item = 0; item < c.ItemCount(); ++item) {
                    lines.push_back(name + ".items_" + std::to_string(item) + "=" + c.Item(item));
                }
                break;
            case ComponentKind::NotAControl: break;
        }
    }
    return lines;
}

// The lines of `after` that differ from `before` (both snapshots of the same layout).
inline std::vector<std::string> Changes(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    std::vector<std::string> changed;
    for (size_t i = 0; i < after.size(); ++i) {
        if (i >= before.size() || before[i] != after[i]) changed.push_back(after[i]);
    }
    return changed;
}

// A file of the source tree, spelled for the platform the tests run on.
inline std::string SourceFile(const std::string& relative) {
    std::string path = std::string(FRAMLET_SOURCE_DIR) + PathDelimiter();
    for (const char c : relative) path += c == '/' ? PathDelimiter() : c;
    return path;
}

inline std::string Ansi(const std::string& utf8) { return Utf8ToAnsi(utf8); }
