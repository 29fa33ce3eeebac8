// The toolkit's and the bitmap reader's errors as a user meets them: Japanese, and about what
// failed, whichever command it failed in.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "imaging/BitmapDib_win.h"
#include "platform/AppError.h"
#include "win32/Win32TestSupport.h"
#include "win32/Window.h"

namespace {

// The bitmap save reads the picture through the same code as printing: its failure speaks of
// neither.
TEST(ErrorTexts, AnUnreadablePictureIsNotCalledAPictureToPrint) {
    try {
        BitmapDib dib(nullptr);
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        const std::string text = error.what();
        EXPECT_EQ(text.find("印刷"), std::string::npos) << text;
        EXPECT_NE(text.find("画像"), std::string::npos) << text;
    }
}

// What no C++ exception type describes still reaches the user in Japanese.
TEST(ErrorTexts, AnUnknownFailureIsReportedInJapanese) {
    const CapturedErrors errors;
    try {
        throw 42;
    } catch (...) {
        ReportCurrentException();
    }
    ASSERT_EQ(CapturedErrors::texts().size(), 1u);
    EXPECT_EQ(CapturedErrors::texts()[0], "予期しないエラーが起きました。");
}

}  // namespace
