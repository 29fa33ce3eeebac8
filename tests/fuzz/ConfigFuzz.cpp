// The settings store over an arbitrary settings file: load, change every field through its
// setter with values from the input, save into a private folder, load again: every field
// comes back as set, and the keys of the user's own survive.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "FuzzSupport.h"
#include "settings/FLConfig.h"

namespace {

struct Fields {
    uint8_t trimType, effectFlags, reverseType, defaultFormatType;
    int32_t width, height, scale, frameSize, numberingStart;
    bool isFrame, isDefaultFolder, isAutoFileName, isNoUseDialog;
    std::string defaultFolder, prefix;
    bool operator==(const Fields&) const = default;
};

Fields Of(const TFLConfig& c) {
    return {c.TrimType(),        c.EffectFlags(),    c.ReverseType(),   c.DefaultFormatType(), c.Width(),
            c.Height(),          c.Scale(),          c.FrameSize(),     c.NumberingStart(),    c.IsFrame(),
            c.IsDefaultFolder(), c.IsAutoFileName(), c.IsNoUseDialog(), c.DefaultFolder(),     c.PrefixOfFileName()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    const bool change = data.ConsumeBool();
    Fields wanted{data.ConsumeIntegral<uint8_t>(),
                  static_cast<uint8_t>(data.ConsumeIntegral<uint8_t>() & 3),
                  data.ConsumeIntegral<uint8_t>(),
                  data.ConsumeIntegral<uint8_t>(),
                  data.ConsumeIntegral<int32_t>(),
                  data.ConsumeIntegral<int32_t>(),
                  data.ConsumeIntegral<int32_t>(),
                  data.ConsumeIntegral<int32_t>(),
                  data.ConsumeIntegral<int32_t>(),
                  data.ConsumeBool(),
                  data.ConsumeBool(),
                  data.ConsumeBool(),
                  data.ConsumeBool(),
                  fuzz::StorableValue(data.ConsumeRandomLengthString(64)),
                  fuzz::StorableValue(data.ConsumeRandomLengthString(64))};
    const std::string file = data.ConsumeRemainingBytesAsString();

    const std::string path = fuzz::WorkFolder() + "/Framlet.ini";
    fuzz::WriteFile(path, file);
    Fields loaded;
    {
        TFLConfig config(path);
        FUZZ_CHECK(!config.Dirty());
        FUZZ_CHECK(!config.LoadFailureText());
        FUZZ_CHECK((config.EffectFlags() & ~3) == 0);
        loaded = Of(config);
        if (change) {
            config.SetTrimType(wanted.trimType);
            config.SetWidth(wanted.width);
            config.SetHeight(wanted.height);
            config.SetScale(wanted.scale);
            config.SetEffectFlags(wanted.effectFlags);
            config.SetReverseType(wanted.reverseType);
            config.SetIsFrame(wanted.isFrame);
            config.SetFrameSize(wanted.frameSize);
            config.SetIsDefaultFolder(wanted.isDefaultFolder);
            config.SetDefaultFolder(wanted.defaultFolder);
            config.SetIsAutoFileName(wanted.isAutoFileName);
            config.SetPrefixOfFileName(wanted.prefix);
            config.SetNumberingStart(wanted.numberingStart);
            config.SetDefaultFormatType(wanted.defaultFormatType);
            config.SetIsNoUseDialog(wanted.isNoUseDialog);
            FUZZ_CHECK(Of(config) == wanted);
            FUZZ_CHECK(config.Dirty() == (wanted != loaded));
            config.Save();
            FUZZ_CHECK(!config.Dirty());
        } else {
            wanted = loaded;
        }
    }
    // Nothing changed: the file is untouched, byte for byte.
    if (wanted == loaded && !change) FUZZ_CHECK(fuzz::ReadFile(path) == file);
    const TFLConfig again(path);
    FUZZ_CHECK(Of(again) == wanted);
    return 0;
}
