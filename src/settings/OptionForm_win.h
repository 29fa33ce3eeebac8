#pragma once
#include <memory>

#include "win32/Form.h"

class FormComponents;
class QInternational;
class TFLConfig;

// The options dialog: the file-saving settings and the way to the printer setup. Built anew
// for every use, localised from the "fmOption" section of Resource.ini when it is created.
class TfmOption final : public Form {
public:
    // owner: the main window; the dialog is centred on it.
    explicit TfmOption(Form& owner);
    ~TfmOption() override;

    CheckBox* cbxIsDefaultFolder;
    CheckBox* cbxIsAutoFileName;
    Edit* edtDefaultFolder;
    Edit* edtPrefixOfFileName;
    CheckBox* cbxIsNotUseDialog;
    ComboBox* cmbDefaultFormatType;
    Button* btnOk;
    Button* btnCancel;
    Button* btnRefFolder;
    Edit* edtNumberingStart;
    Button* btnSetPrinter;
    Label* lblComment;

private:
    void btnOkClick(Control& sender);
    void btnCancelClick(Control& sender);
    void btnRefFolderClick(Control& sender);
    void btnSetPrinterClick(Control& sender);
    void edtNumberingStartKeyPress(Control& sender, char16_t& key);
    void FormClose();

    std::unique_ptr<FormComponents> components_;
    std::unique_ptr<QInternational> international_;
};

// The main window's "オプション" command: shows the dialog filled from config and, only when it
// is closed with OK, hands the values back through the setters and saves (which writes the
// file only when something changed). True when closed with OK. The dialog is gone when this
// returns, also when it throws (an error of Save: AppError).
bool ShowOptionDialog(Form& owner, TFLConfig& config);
