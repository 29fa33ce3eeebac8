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
