// The Save command's naming rules over arbitrary settings and a fake folder: prefix validity,
// the trailing-delimiter rule and automatic numbering.
#include <fuzzer/FuzzedDataProvider.h>

#include <set>
#include <string>

#include "FuzzSupport.h"
#include "app/SaveNaming.h"
#include "platform/AnsiString.h"
#include "settings/FLConfig.h"

namespace {

class FakeFolder final : public FileProbe {
public:
    std::set<std::string> files, folders;
    bool FileExists(const std::string& path) const override { return files.count(path) != 0; }
    bool DirectoryExists(const std::string& path) const override { return folders.count(path) != 0; }
};

bool HasForbiddenByte(std::string_view text) { return text.find_first_of("\"*/<>?|") != std::string_view::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::string folder = fuzz::StorableValue(data.ConsumeRandomLengthString(40));
    const std::string prefix = fuzz::StorableValue(data.ConsumeRandomLengthString(20));
    const int32_t start = data.ConsumeIntegralInRange<int32_t>(-20000, 20000);
    const uint8_t format = data.ConsumeIntegral<uint8_t>();
    const bool isDefaultFolder = data.ConsumeBool(), isAuto = data.ConsumeBool(), noDialog = data.ConsumeBool();
    const bool folderExists = data.ConsumeBool();
    const int taken = data.ConsumeIntegralInRange<int>(0, 64);

    // The pure rules first.
    FUZZ_CHECK(IsValidPrefix(prefix) == !HasForbiddenByte(prefix));
    const std::string normalised = NormaliseInitialDir(folder);
    FUZZ_CHECK(normalised == folder || normalised + "\\" == folder);
    FUZZ_CHECK(NormaliseInitialDir(normalised) == normalised || normalised.size() <= 1 || normalised.back() == '\\');
    const std::string ext = ExtractFileExt(folder);
    FUZZ_CHECK(ext.empty() || ext.front() == '.');
    FUZZ_CHECK(ChangeFileExt(folder, ".ini").size() + ext.size() == folder.size() + 4);

    const std::string path = fuzz::WorkFolder() + "/names.ini";
    fuzz::WriteFile(path, "");
    TFLConfig config(path);
    config.SetDefaultFolder(folder);
    config.SetPrefixOfFileName(prefix);
    config.SetNumberingStart(start);
    config.SetDefaultFormatType(format);
    config.SetIsDefaultFolder(isDefaultFolder);
    config.SetIsAutoFileName(isAuto);
    config.SetIsNoUseDialog(noDialog);

    FakeFolder probe;
    if (folderExists) probe.folders.insert(folder);
    const std::string dir = NormaliseInitialDir(folderExists ? folder : ".");
    const std::string ext3 = format == 0 ? "jpg" : "bmp";
    const std::string usedPrefix = IsValidPrefix(prefix) ? prefix : "";
    // The first `taken` numbers from the start are there already.
    for (int i = 0; i < taken; ++i) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%4.4d", start + i);
        probe.files.insert((dir.empty() ? "" : dir + "\\") + usedPrefix + digits + "." + ext3);
    }

    const SaveDialogRequest request = PrepareSaveFileName(config, probe);
    FUZZ_CHECK(request.DefaultExt == ext3);
    FUZZ_CHECK(request.FilterIndex == (format == 0 ? 1 : 3));
    if (isAuto) FUZZ_CHECK(IsValidPrefix(config.PrefixOfFileName()));
    if (isDefaultFolder) {
        FUZZ_CHECK(config.DefaultFolder() == (folderExists ? folder : "."));
        FUZZ_CHECK(request.InitialDir == dir);
    } else {
        FUZZ_CHECK(request.InitialDir.empty());
    }
    // Numbers end at 9999: a start beyond proposes nothing, and the dialog asks.
    if (isAuto && (!isDefaultFolder || start <= 9999)) FUZZ_CHECK(!request.FileName.empty());
    if (!isAuto) FUZZ_CHECK(request.FileName.empty());
    // Never a name that is there already without the dialog.
    if (!request.ShowDialog) {
        FUZZ_CHECK(noDialog && isDefaultFolder && isAuto);
        FUZZ_CHECK(!probe.FileExists(request.FileName));
        FUZZ_CHECK(IsJpegFileName(request.FileName) == (format == 0));
        if (start + taken <= 9999) FUZZ_CHECK(request.FileName.find(usedPrefix) != std::string::npos);
    }
    if (isAuto && isDefaultFolder && start + taken <= 9999 && start <= 9999)
        FUZZ_CHECK(!probe.FileExists(request.FileName));
    return 0;
}
