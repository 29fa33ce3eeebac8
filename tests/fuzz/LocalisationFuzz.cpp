// Both forms' localisers and the message look-up over an arbitrary Resource.ini: no text is
// ever replaced by an empty or untrimmed one, and every message look-up answers with text.
#include <string>

#include "FuzzSupport.h"
#include "app/MainLayout.h"
#include "localisation/Components.h"
#include "localisation/International.h"
#include "localisation/MsgResource.h"
#include "platform/AnsiString.h"
#include "platform/Text.h"
#include "settings/OptionLayout.h"

namespace {

void CheckReplaced(const std::string& before, const std::string& after) {
    if (after == before) return;
    FUZZ_CHECK(!after.empty());
    FUZZ_CHECK(TrimBlanks(after) == after);
}

void LocaliseForm(const FormLayout& layout, const std::string& file) {
    MemoryForm design(layout);
    MemoryForm form(layout);
    QInternational localiser(&form, fuzz::WorkFolder() + "/");
    localiser.SetFileName(file);
    localiser.Localise();
    CheckReplaced(design.Caption(), form.Caption());
    FUZZ_CHECK(form.ComponentCount() == design.ComponentCount());
    for (size_t i = 0; i < form.ComponentCount(); ++i) {
        LocalisableComponent& a = design.Components(i);
        LocalisableComponent& b = form.Components(i);
        switch (b.Kind()) {
            case ComponentKind::Edit:
            case ComponentKind::ComboBox:
                CheckReplaced(a.Hint(), b.Hint());
                CheckReplaced(a.Text(), b.Text());
                FUZZ_CHECK(a.ItemCount() == b.ItemCount());
                for (int item = 0; item < b.ItemCount(); ++item) CheckReplaced(a.Item(item), b.Item(item));
                break;
            case ComponentKind::Form:
            case ComponentKind::OtherControl:
                CheckReplaced(a.Hint(), b.Hint());
                CheckReplaced(a.Caption(), b.Caption());
                break;
            case ComponentKind::NotAControl: break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    const std::string file = fuzz::WorkFolder() + "/Resource.ini";
    fuzz::WriteFile(file, text);
    LocaliseForm(kMainFormLayout, file);
    LocaliseForm(kOptionFormLayout, file);

    const QMsgResource messages(AnsiToUtf16(file));
    for (const char16_t* key : {u"fmMain_Close_1", u"fmMain_Close_2", u"fmMain_Close_3", u""}) {
        const std::u16string message = messages.GetMsg(u"message", key);
        FUZZ_CHECK(!message.empty());
        FUZZ_CHECK(message.front() > u' ' && message.back() > u' ');
    }
    return 0;
}
