#include "platform/AppError.h"

#include <cstdio>

namespace {
void ReportToStandardError(const std::exception& error) { std::fprintf(stderr, "%s\n", error.what()); }
ErrorReporter currentReporter = ReportToStandardError;
}  // namespace

void SetErrorReporter(ErrorReporter reporter) { currentReporter = reporter ? reporter : ReportToStandardError; }

void ReportError(const std::exception& error) noexcept {
    try {
        currentReporter(error);
    } catch (...) {
        // A reporter that fails has nowhere left to report to.
    }
}

std::string PictureSizeText(int64_t width, int64_t height) {
    return " (" + std::to_string(width) + " x " + std::to_string(height) + ")";
}

AppError PictureTooLarge(int64_t width, int64_t height) {
    return AppError("画像が大きすぎます" + PictureSizeText(width, height));
}

AppError OutOfPictureMemory(int64_t width, int64_t height) {
    return AppError("画像のためのメモリが足りません" + PictureSizeText(width, height));
}
