// framlet-dev localise FORM RESOURCE.ini
// framlet-dev msg RESOURCE.ini SECTION KEY
#include <cstdio>
#include <string>

#include "DevCommand.h"
#include "app/MainLayout.h"
#include "localisation/Components.h"
#include "localisation/International.h"
#include "localisation/MsgResource.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "settings/OptionLayout.h"

namespace {

void PrintLine(const std::string& name, const char* property, const std::string& ansiValue) {
    const std::string line = name + "." + property + "=" + AnsiToUtf8(ansiValue) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
}

void PrintForm(MemoryForm& form) {
    PrintLine(form.Name(), "caption", form.Caption());
    for (size_t i = 0; i < form.ComponentCount(); ++i) {
        const LocalisableComponent& c = form.Components(i);
        const std::string name = c.Name();
        switch (c.Kind()) {
            case ComponentKind::Edit:
                PrintLine(name, "hint", c.Hint());
                PrintLine(name, "text", c.Text());
                break;
            case ComponentKind::ComboBox:
                PrintLine(name, "hint", c.Hint());
                PrintLine(name, "text", c.Text());
                for (int item = 0; item < c.ItemCount(); ++item) {
                    PrintLine(name, ("items_" + std::to_string(item)).c_str(), c.Item(item));
                }
                break;
            case ComponentKind::Form:
            case ComponentKind::OtherControl:
                PrintLine(name, "caption", c.Caption());
                PrintLine(name, "hint", c.Hint());
                break;
            case ComponentKind::NotAControl: break;
        }
    }
    std::fflush(stdout);
}

int Localise(const std::vector<std::string>& args) {
    if (args.size() != 2) throw UsageError("expected FORM RESOURCE.ini");
    const FormLayout* layout = nullptr;
    for (const FormLayout* candidate : {&kMainFormLayout, &kOptionFormLayout}) {
        if (args[0] == candidate->name) layout = candidate;
    }
    if (!layout) throw UsageError("unknown form \"" + args[0] + "\" (fmMain or fmOption)");
    if (args[1].empty()) throw UsageError("RESOURCE.ini must not be empty");

    MemoryForm form(*layout);
    QInternational localiser(&form);
    // A relative name on the command line means the current folder, as everywhere on a command
    // line; the program itself takes names beginning with "." from its own folder.
    localiser.SetFileName(ExpandFileName(args[1]));
    localiser.Localise();
    PrintForm(form);
    return 0;
}

int Msg(const std::vector<std::string>& args) {
    if (args.size() != 3) throw UsageError("expected RESOURCE.ini SECTION KEY");
    if (args[0].empty()) throw UsageError("RESOURCE.ini must not be empty");
    const QMsgResource messages(Utf8ToUtf16(args[0]));
    const std::string line = Utf16ToUtf8(messages.GetMsg(Utf8ToUtf16(args[1]), Utf8ToUtf16(args[2]))) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
    return 0;
}

const DevCommandRegistrar localiseRegistrar({"localise", "FORM RESOURCE.ini", Localise});
const DevCommandRegistrar msgRegistrar({"msg", "RESOURCE.ini SECTION KEY", Msg});

}  // namespace
