#include "settings/OptionForm_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Text.h"
#include "settings/OptionLayout.h"
#include "win32/Controls.h"
#include "win32/Win32TestSupport.h"

namespace {

constexpr FormLayout kOwnerLayout{"fmOwner", "owner", 600, 400, false, "", 0, {}, kNoFormFlags, 0};

class OwnerForm : public Form {
public:
    OwnerForm() { Create(kOwnerLayout); }
};

class OptionForm : public ::testing::Test {
protected:
    void SetUp() override {
        owner_ = MakeForm<OwnerForm>();
        dialog_ = MakeForm<TfmOption>(*owner_);
    }
    void TearDown() override {
        dialog_.reset();
        owner_.reset();
        Pump();
    }
    std::unique_ptr<OwnerForm> owner_;
    std::unique_ptr<TfmOption> dialog_;
};

TEST_F(OptionForm, IsAFixedDialogWithoutTitleBarButtonsOwnedByTheMainWindow) {
    EXPECT_EQ(ClassOf(dialog_->Handle()), u"TfmOption");
    EXPECT_EQ(dialog_->CaptionW(), u"オプション設定");
    RECT client;
    ::GetClientRect(dialog_->Handle(), &client);
    EXPECT_EQ(client.right, 529);
    EXPECT_EQ(client.bottom, 265);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(dialog_->Handle(), GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(dialog_->Handle(), GWL_EXSTYLE));
    EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
    EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(::GetWindow(dialog_->Handle(), GW_OWNER), owner_->Handle());
}

TEST_F(OptionForm, EveryControlUsesTheDialogFont) {
    LOGFONTW font{};
    ASSERT_TRUE(::GetObjectW(dialog_->Font(), sizeof font, &font));
    EXPECT_EQ(font.lfHeight, -12);
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(font.lfFaceName)), u"ＭＳ Ｐゴシック");
    for (Control* control : dialog_->Controls()) {
        EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(control->Handle(), WM_GETFONT, 0, 0)), dialog_->Font())
            << control->Name();
    }
}

TEST_F(OptionForm, EveryControlOfTheDesignIsThereWithItsPlaceAndText) {
    for (const ControlLayout& row : kOptionFormLayout.controls) {
        SCOPED_TRACE(row.name);
        Control* control = dialog_->FindControl(row.name);
        if (!IsControl(row.kind)) {
            EXPECT_EQ(control, nullptr);
            continue;
        }
        ASSERT_NE(control, nullptr);
        const RECT bounds = control->Bounds();
        EXPECT_EQ(bounds.left, row.place.left);
        EXPECT_EQ(bounds.top, row.place.top);
        EXPECT_EQ(bounds.right - bounds.left, row.place.width);
        if (row.kind != ControlKind::ComboBox) {
            EXPECT_EQ(bounds.bottom - bounds.top, row.place.height);
        }
        EXPECT_EQ(control->TextW(), Utf8ToUtf16(row.text));
        EXPECT_TRUE(control->Enabled());  // no control enables or disables another
    }
    auto& combo = dialog_->Get<ComboBox>("cmbDefaultFormatType");
    ASSERT_EQ(combo.ItemCount(), 2u);
    EXPECT_EQ(combo.ItemW(0), u"JPEG");
    EXPECT_EQ(combo.ItemW(1), u"ビットマップ");
    EXPECT_EQ(combo.ItemIndex(), 0);
}

TEST_F(OptionForm, TheNamedControlsAreTheOnesOfTheDesign) {
    EXPECT_EQ(dialog_->cbxIsDefaultFolder, &dialog_->Get<CheckBox>("cbxIsDefaultFolder"));
    EXPECT_EQ(dialog_->cbxIsAutoFileName, &dialog_->Get<CheckBox>("cbxIsAutoFileName"));
    EXPECT_EQ(dialog_->edtDefaultFolder, &dialog_->Get<Edit>("edtDefaultFolder"));
    EXPECT_EQ(dialog_->edtPrefixOfFileName, &dialog_->Get<Edit>("edtPrefixOfFileName"));
    EXPECT_EQ(dialog_->cbxIsNotUseDialog, &dialog_->Get<CheckBox>("cbxIsNotUseDialog"));
    EXPECT_EQ(dialog_->cmbDefaultFormatType, &dialog_->Get<ComboBox>("cmbDefaultFormatType"));
    EXPECT_EQ(dialog_->edtNumberingStart, &dialog_->Get<Edit>("edtNumberingStart"));
    EXPECT_EQ(dialog_->lblComment, &dialog_->Get<Label>("lblComment"));
}

TEST_F(OptionForm, OkIsTheDefaultButtonAndCancelTheCancelButton) {
    EXPECT_EQ(dialog_->DefaultButton(), dialog_->btnOk);
    EXPECT_EQ(dialog_->CancelButton(), dialog_->btnCancel);
    dialog_->btnOk->Click();
    EXPECT_EQ(dialog_->ModalResult(), kModalOk);
    dialog_->btnCancel->Click();
    EXPECT_EQ(dialog_->ModalResult(), kModalCancel);
}

TEST_F(OptionForm, OnlyTheNumberBoxIsLimitedAndFiltered) {
    EXPECT_EQ(dialog_->edtNumberingStart->MaxLength(), 4);
    EXPECT_EQ(dialog_->edtDefaultFolder->MaxLength(), 0);
    EXPECT_EQ(dialog_->edtPrefixOfFileName->MaxLength(), 0);

    PostChars(dialog_->edtNumberingStart->Handle(), u"1a-2.３4\b5 6");
    PostChars(dialog_->edtPrefixOfFileName->Handle(), u"a-1");
    Pump();
    EXPECT_EQ(dialog_->edtNumberingStart->TextW(), u"1256");
    EXPECT_EQ(dialog_->edtPrefixOfFileName->TextW(), u"a-1");
    // Text from code is neither filtered nor cut.
    dialog_->edtNumberingStart->SetText("-12345");
    EXPECT_EQ(dialog_->edtNumberingStart->Text(), "-12345");
}

TEST_F(OptionForm, TheNoteIsPaintedRedOnTheDialogFace) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    for (Control* control : dialog_->Controls()) {
        if (control->Kind() != ControlKind::Label) continue;
        ::SetTextColor(dc, RGB(1, 2, 3));
        ::SendMessageW(dialog_->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(control->Handle()));
        EXPECT_EQ(::GetTextColor(dc) == RGB(255, 0, 0), control == dialog_->lblComment) << control->Name();
    }
    ::DeleteDC(dc);
}

TEST_F(OptionForm, ShowsCentredOnItsOwnerAndTabVisitsTheDesignsTabOrder) {
    ::SetWindowPos(owner_->Handle(), nullptr, 37, 51, 700, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    dialog_->Show();
    RECT owner, own;
    ::GetWindowRect(owner_->Handle(), &owner);
    ::GetWindowRect(dialog_->Handle(), &own);
    EXPECT_NEAR(own.left + own.right, owner.left + owner.right, 1);
    EXPECT_NEAR(own.top + own.bottom, owner.top + owner.bottom, 1);

    std::vector<std::string> names;
    for (Control* control : dialog_->TabStops()) names.push_back(control->Name());
    EXPECT_EQ(names,
              (std::vector<std::string>{"cbxIsDefaultFolder", "cbxIsAutoFileName", "edtDefaultFolder",
                                        "edtPrefixOfFileName", "cbxIsNotUseDialog", "cmbDefaultFormatType", "btnOk",
                                        "btnCancel", "btnRefFolder", "edtNumberingStart", "btnSetPrinter"}));
}

}  // namespace
