#include "localisation/FormComponents_win.h"

#include <gtest/gtest.h>

#include <memory>

#include "TestSupport.h"
#include "localisation/International.h"
#include "platform/Text.h"
#include "settings/OptionLayout.h"
#include "win32/Controls.h"
#include "win32/Win32TestSupport.h"

namespace {

// The options dialog as the program builds it: its own creation handler, which ends with the
// localiser.
class LocalisedOptions : public Form {
public:
    LocalisedOptions(const std::string& folder, std::vector<std::string>& log) : log_(log) {
        Create(kOptionFormLayout, nullptr, FormBorder::Dialog, false);
        components_ = std::make_unique<FormComponents>(*this, kOptionFormLayout);
        international_ = std::make_unique<QInternational>(components_.get(), folder);
        OnCreate = [this] {
            log_.push_back("FormCreate sees " + Get<Edit>("edtPrefixOfFileName").Text());
            Get<Edit>("edtPrefixOfFileName").SetText("from FormCreate");
            international_->Localise();
        };
    }
    ~LocalisedOptions() override {
        international_.reset();
        components_.reset();
    }

private:
    std::vector<std::string>& log_;
    std::unique_ptr<FormComponents> components_;
    std::unique_ptr<QInternational> international_;
};

TEST(FormComponents, TheLocaliserReplacesTextsOnTheRealControlsAfterFormCreate) {
    TempDir dir;
    WriteTestFile(dir.File("Resource.ini"),
                  "[FMOPTION]\r\n"
                  "fmOption_caption=Options\r\n"
                  "btnOk_caption= Yes \r\n"
                  "btnCancel_caption=   \r\n"
                  "btnOk_hint=Store the settings\r\n"
                  "edtPrefixOfFileName_text=Shot_\r\n"
                  "cmbDefaultFormatType_items_1=Bitmap\r\n"
                  "cmbDefaultFormatType_items_2=Never added\r\n"
                  "dlgSetPrinter_caption=not a control\r\n");
    std::vector<std::string> log;
    auto form = MakeForm<LocalisedOptions>(dir.Path() + "\\", log);

    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(form->CaptionW(), u"Options");
    EXPECT_EQ(form->Get<Button>("btnOk").CaptionW(), u"Yes");
    EXPECT_EQ(form->Get<Button>("btnOk").Hint(), "Store the settings");
    EXPECT_EQ(form->Get<Button>("btnCancel").CaptionW(), u"キャンセル(&C)");  // a blank value replaces nothing
    EXPECT_EQ(form->Get<Edit>("edtPrefixOfFileName").Text(), "Shot_");        // overrides what FormCreate set
    auto& combo = form->Get<ComboBox>("cmbDefaultFormatType");
    ASSERT_EQ(combo.ItemCount(), 2u);
    EXPECT_EQ(combo.ItemW(0), u"JPEG");
    EXPECT_EQ(combo.ItemW(1), u"Bitmap");
}

TEST(FormComponents, WithoutResourceIniTheDesignTextsStay) {
    TempDir dir;
    std::vector<std::string> log;
    auto form = MakeForm<LocalisedOptions>(dir.Path() + "\\", log);
    EXPECT_EQ(form->CaptionW(), u"オプション設定");
    EXPECT_EQ(form->Get<Edit>("edtPrefixOfFileName").Text(), "from FormCreate");
    EXPECT_EQ(form->Get<ComboBox>("cmbDefaultFormatType").ItemW(1), u"ビットマップ");
}

TEST(FormComponents, EveryLayoutRowIsAComponentInDesignOrder) {
    Form form;
    form.Create(kOptionFormLayout, nullptr, FormBorder::Dialog, false);
    FormComponents components(form, kOptionFormLayout);
    ASSERT_EQ(components.ComponentCount(), kOptionFormLayout.controls.size());
    for (size_t i = 0; i < components.ComponentCount(); ++i) {
        const ControlLayout& row = kOptionFormLayout.controls[i];
        EXPECT_EQ(components.Components(i).Name(), row.name);
        EXPECT_EQ(components.Components(i).Kind(), ComponentKindOf(row.kind)) << row.name;
    }
}

}  // namespace
