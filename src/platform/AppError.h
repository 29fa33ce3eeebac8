#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

// A failure the user is told about. The text is UTF-8 and is shown as it stands in the
// application's standard error message box; the program then goes on.
class AppError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The application's standard error handler. The program installs one that shows a message box;
// until then (and in the developer console) errors go to standard error.
using ErrorReporter = void (*)(const std::exception& error);
void SetErrorReporter(ErrorReporter reporter);
void ReportError(const std::exception& error) noexcept;

// " (W x H)", the size every picture failure names.
std::string PictureSizeText(int64_t width, int64_t height);
// The two picture failures every layer can meet, written once.
AppError PictureTooLarge(int64_t width, int64_t height);
AppError OutOfPictureMemory(int64_t width, int64_t height);
