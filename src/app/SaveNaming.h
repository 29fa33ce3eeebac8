#pragma once
#include <string>
#include <string_view>

#include "platform/FileProbe.h"

class TFLConfig;

// The save dialog's fixed filter, three entries numbered from 1: *.jpg, *.jpeg, *.bmp (UTF-8).
inline constexpr char kSaveFilter[] =
    "JPEG イメージファイル (*.jpg)|*.jpg|JPEG イメージファイル (*.jpeg)|*.jpeg|ビットマップ (*.bmp)|*.bmp";

// What the save dialog is set to before it is shown (or, when ShowDialog is false, the name
// written without asking).
struct SaveDialogRequest {
    std::string InitialDir;
    std::string DefaultExt;  // "jpg" or "bmp"
    int FilterIndex = 1;     // 1 *.jpg, 3 *.bmp
    std::string FileName;    // the proposed name, "" for none
    bool ShowDialog = true;
};

// Save and Print do nothing unless the view is at least 1 x 1 and Width, Height and Scale are above 0.
bool CommandGuardPasses(int viewWidth, int viewHeight, const TFLConfig& config);

// False when any byte of the prefix is one of " * / < > ? |. Works on the bytes of the ANSI
// text: the second byte of a double-byte character counts too (ポ is 0x83 0x7C).
bool IsValidPrefix(std::string_view prefix);

// The dialog's starting folder as stored: one trailing "\" dropped when the text is longer
// than one character and the character before it is not ":" (D:\pics\ -> D:\pics; C:\ stays).
std::string NormaliseInitialDir(std::string_view folder);

// ".jpg" and ".jpeg" in any letter case give JPEG; everything else, or no extension, a bitmap.
bool IsJpegFileName(std::string_view name);

// Everything the Save command decides before the dialog: the starting folder (a missing default
// folder becomes "." through its setter), the format, the proposed automatic name (an invalid
// prefix becomes "" through its setter) and whether the dialog is shown at all.
// The dialog is skipped only when IsNoUseDialog and IsDefaultFolder are set and a name was
// proposed, and never when the proposed file already exists (every number up to 9999 taken):
// no file is replaced without the user's consent.
SaveDialogRequest PrepareSaveFileName(TFLConfig& config, const FileProbe& probe);
