#include "settings/OptionForm_win.h"

#include <objbase.h>
#include <shlobj.h>

#include "app/Printer_win.h"
#include "localisation/FormComponents_win.h"
#include "localisation/International.h"
#include "platform/Text.h"
#include "settings/FLConfig.h"
#include "settings/OptionLayout.h"
#include "settings/OptionValues.h"

namespace {

constexpr char kBrowseTitle[] = "デフォルトとするフォルダを指定してください。";

// The folder browser asks for COM on its thread. Balanced here, since nothing else of the
// program needs it; a thread that already has COM keeps what it has.
class ComScope {
public:
    ComScope() : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (initialised_) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised_;
};

}  // namespace

TfmOption::TfmOption(Form& owner) {
    const FormLayout& layout = kOptionFormLayout;
    Create(layout, owner.Handle(), (layout.formFlags & kDialogBorder) ? FormBorder::Dialog : FormBorder::Sizeable,
           !(layout.formFlags & kNoSystemMenu));
    if (layout.formFlags & kCenterOnOwner) SetPosition(FormPosition::OwnerCenter);

    cbxIsDefaultFolder = &Get<CheckBox>("cbxIsDefaultFolder");
    cbxIsAutoFileName = &Get<CheckBox>("cbxIsAutoFileName");
    edtDefaultFolder = &Get<Edit>("edtDefaultFolder");
    edtPrefixOfFileName = &Get<Edit>("edtPrefixOfFileName");
    cbxIsNotUseDialog = &Get<CheckBox>("cbxIsNotUseDialog");
    cmbDefaultFormatType = &Get<ComboBox>("cmbDefaultFormatType");
    btnOk = &Get<Button>("btnOk");
    btnCancel = &Get<Button>("btnCancel");
    btnRefFolder = &Get<Button>("btnRefFolder");
    edtNumberingStart = &Get<Edit>("edtNumberingStart");
    btnSetPrinter = &Get<Button>("btnSetPrinter");
    lblComment = &Get<Label>("lblComment");

    btnOk->OnClick = [this](Control& sender) { btnOkClick(sender); };
    btnCancel->OnClick = [this](Control& sender) { btnCancelClick(sender); };
    btnRefFolder->OnClick = [this](Control& sender) { btnRefFolderClick(sender); };
    btnSetPrinter->OnClick = [this](Control& sender) { btnSetPrinterClick(sender); };
    edtNumberingStart->OnKeyPress = [this](Control& sender, char16_t& key) { edtNumberingStartKeyPress(sender, key); };
    OnClose = [this] { FormClose(); };

    components_ = std::make_unique<FormComponents>(*this, layout);
    international_ = std::make_unique<QInternational>(components_.get());
    // The texts of Resource.ini replace the design texts once the form is complete.
    OnCreate = [this] {
        if (international_) international_->Localise();
    };
}

TfmOption::~TfmOption() {
    international_.reset();
    components_.reset();
}

void TfmOption::btnOkClick(Control&) { SetModalResult(kModalOk); }

void TfmOption::btnCancelClick(Control&) { SetModalResult(kModalCancel); }

void TfmOption::btnRefFolderClick(Control&) {
    char displayName[261] = {};
    const std::string title = Utf8ToAnsi(kBrowseTitle);
    BROWSEINFOA info{};
    info.hwndOwner = Handle();
    info.pidlRoot = nullptr;  // the desktop
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    // No callback: the browser opens without the current folder chosen.
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    const ComScope com;
    PIDLIST_ABSOLUTE items = ::SHBrowseForFolderA(&info);
    if (!items) return;
    char path[261] = {};
    // A choice that is no file-system folder gives no path: the box keeps what it had.
    const bool converted = ::SHGetPathFromIDListA(items, path);
    ::CoTaskMemFree(items);
    if (converted) edtDefaultFolder->SetText(path);
}

void TfmOption::btnSetPrinterClick(Control&) {
    // A confirmed choice is the printer's until the program ends; the options dialog closes
    // with Cancel whatever happened there, a failed setup (no printer) included, so whatever
    // was changed in it is dropped. The failure itself still goes on to be reported.
    try {
        ThePrinter().ShowSetupDialog(Handle());
    } catch (...) {
        SetModalResult(kModalCancel);
        throw;
    }
    SetModalResult(kModalCancel);
}

void TfmOption::edtNumberingStartKeyPress(Control&, char16_t& key) {
    if (!IsNumberingStartKey(key)) key = 0;
}

void TfmOption::FormClose() { international_.reset(); }

bool ShowOptionDialog(Form& owner, TFLConfig& config) {
    const std::unique_ptr<TfmOption> dialog = MakeForm<TfmOption>(owner);

    const OptionValues shown = OptionValuesOf(config);
    dialog->cbxIsDefaultFolder->SetChecked(shown.isDefaultFolder);
    dialog->edtDefaultFolder->SetText(shown.defaultFolder);
    dialog->cbxIsAutoFileName->SetChecked(shown.isAutoFileName);
    dialog->edtPrefixOfFileName->SetText(shown.prefixOfFileName);
    dialog->edtNumberingStart->SetText(shown.numberingStart);
    dialog->cbxIsNotUseDialog->SetChecked(shown.isNoUseDialog);
    dialog->cmbDefaultFormatType->SetItemIndex(shown.formatItem);

    if (dialog->ShowModal() != kModalOk) return false;

    OptionValues chosen;
    chosen.isDefaultFolder = dialog->cbxIsDefaultFolder->Checked();
    chosen.defaultFolder = dialog->edtDefaultFolder->Text();
    chosen.isAutoFileName = dialog->cbxIsAutoFileName->Checked();
    chosen.prefixOfFileName = dialog->edtPrefixOfFileName->Text();
    chosen.numberingStart = dialog->edtNumberingStart->Text();
    chosen.isNoUseDialog = dialog->cbxIsNotUseDialog->Checked();
    chosen.formatItem = dialog->cmbDefaultFormatType->ItemIndex();
    StoreOptionValues(chosen, config);
    config.Save();
    return true;
}
