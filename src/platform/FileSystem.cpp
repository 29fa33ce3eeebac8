#include "platform/FileSystem.h"

#include "platform/Text.h"

std::string WriteFailureText(const std::string& path, const std::string& reason) {
    return "ファイル \"" + AnsiToUtf8(path) + "\" を書き込めません。\n" + reason;
}

std::string TooLargeText(size_t maxBytes) {
    return "ファイルが大きすぎます (" + std::to_string(maxBytes / (1024 * 1024)) + " MB まで)。";
}
