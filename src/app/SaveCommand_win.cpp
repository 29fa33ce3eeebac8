// The Save command and the first steps it shares with Print: the guard and the final picture.
#include "app/MainForm_win.h"

#include <commdlg.h>

#include <algorithm>
#include <optional>
#include <string>

#include "app/PictureFile.h"
#include "app/SaveNaming.h"
#include "imaging/BitmapDib_win.h"
#include "imaging/BmpFile.h"
#include "imaging/GdiBitmap_win.h"
#include "imaging/ImageLib.h"
#include "imaging/JpegWriter.h"
#include "platform/AppError.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "selection/SelectArea.h"
#include "settings/FLConfig.h"
#include "win32/Application.h"

namespace {

// The picture as the file its name asks for (PictureFile.h), replaced only once complete. The
// picture is read once, at the depth of the bitmap that holds it (the display's), with its
// colour table where that depth has one; a bitmap file keeps that depth.
void WritePictureFile(const std::string& path, HBITMAP picture) {
    const BitmapDib dib(picture);
    const BITMAPINFOHEADER& header = dib.Info()->bmiHeader;
    BmpImage image;
    image.width = header.biWidth;
    image.height = header.biHeight;
    image.bitCount = header.biBitCount;
    image.bits = static_cast<const uint8_t*>(dib.Bits());
    image.stride = static_cast<int32_t>((static_cast<int64_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4);
    if (header.biBitCount <= 8) {
        const uint32_t colors = header.biClrUsed != 0 ? header.biClrUsed : (1u << header.biBitCount);
        image.colorTable = {reinterpret_cast<const DibColor*>(dib.Info()->bmiColors), colors};
    }
    std::optional<std::string> bytes = EncodePictureFile(path, image);
    if (!bytes) {
        // A display below 24 bits: GDI gives the JPEG its 24-bit rows.
        DibInfo info{};
        DibBits bits;
        ReadDIB24(GdiBitmap::Borrow(picture), info, bits);
        bytes = EncodeJpeg(info, bits.get());
    }
    ReplaceFileAtomically(path, *bytes);
}

// "a|b|c" (UTF-8) as the dialog wants it: ANSI, entries separated and ended by NUL, a second
// NUL at the end.
std::string DialogFilter(std::string_view utf8) {
    std::string filter = Utf8ToAnsi(utf8);
    for (char& c : filter) {
        if (c == '|') c = '\0';
    }
    filter.push_back('\0');
    return filter;
}

}  // namespace

void TfmMain::WMSaveRequest() { btnSaveClick(nullptr); }

bool TfmMain::CommandGuard() const {
    return config_ && CommandGuardPasses(imgCapture_->Width(), imgCapture_->Height(), *config_);
}

UniqueBitmap TfmMain::MakeFinalImage() {
    TSelectArea& area = *selectArea_;
    if (area.State != TSelectArea::kStateNone) {
        // The frame is in the picture's pixels: erase it before anything reads them.
        btnUnSelectClick(nullptr);
    } else {
        area.Rect = ::Rect{0, 0, imgCapture_->Width() - 1, imgCapture_->Height() - 1};
    }
    if (area.Rect.Left == area.Rect.Right) area.Rect.Right = area.Rect.Left + 1;
    if (area.Rect.Top == area.Rect.Bottom) area.Rect.Bottom = area.Rect.Top + 1;

    GdiBitmap finalPicture;
    {
        const GdiBitmap source = GdiBitmap::Borrow(imgCapture_->PictureHandle());
        TrimImage(source, finalPicture, area.Rect, *config_);
    }
    return finalPicture.Release();
}

UniqueBitmap TfmMain::PrepareFinalImage() {
    UniqueBitmap finalPicture = MakeFinalImage();
    // The view gets its own copy: the caller may still be using this bitmap when the message
    // loop runs (printing) and a capture replaces the view's picture.
    imgCapture_->AssignPicture(finalPicture.Get());
    const SIZE size = imgCapture_->PictureSize();
    imgCapture_->SetSize(size.cx, size.cy);
    return finalPicture;
}

bool TfmMain::SaveDialog::Execute(HWND owner) {
    const std::string filter = DialogFilter(kSaveFilter);
    // Room for a long path chosen in the dialog.
    std::string file(32768, '\0');
    file.replace(0, std::min(FileName.size(), file.size() - 1), FileName, 0, file.size() - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(FilterIndex);
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    dialog.lpstrDefExt = DefaultExt.c_str();
    // No OFN_NOCHANGEDIR: the folder browsed to becomes the current folder, which a relative
    // default folder then means.
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
    if (!::GetSaveFileNameA(&dialog)) {
        if (const DWORD error = ::CommDlgExtendedError()) {
            throw AppError("保存ダイアログを開けません (エラー " + std::to_string(error) + ")");
        }
        return false;
    }
    FilterIndex = static_cast<int>(dialog.nFilterIndex);
    FileName = file.c_str();
    return true;
}

bool TfmMain::ChooseSaveFileName(std::string& name) {
    const SaveDialogRequest request = PrepareSaveFileName(*config_, SystemFileProbe());
    dlgSave.InitialDir = request.InitialDir;
    dlgSave.DefaultExt = request.DefaultExt;
    dlgSave.FilterIndex = request.FilterIndex;
    dlgSave.FileName = request.FileName;
    if (request.ShowDialog && !dlgSave.Execute(Handle())) return false;
    name = dlgSave.FileName;
    return true;
}

void TfmMain::btnSaveClick(Control*) {
    if (!CommandGuard()) return;
    // Nothing but the view needs the final picture here, so the view takes it without a copy.
    imgCapture_->SetPicture(MakeFinalImage());
    const SIZE size = imgCapture_->PictureSize();
    imgCapture_->SetSize(size.cx, size.cy);
    std::string name;
    if (ChooseSaveFileName(name)) {
        // The view's picture: a capture handled while the dialog was open has replaced it.
        WritePictureFile(name, imgCapture_->PictureHandle());
    }
    TheApplication().Minimize();
}
