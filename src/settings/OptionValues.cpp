#include "settings/OptionValues.h"

#include "settings/FLConfig.h"
#include "settings/IniFile.h"

OptionValues OptionValuesOf(const TFLConfig& config) {
    OptionValues values;
    values.isDefaultFolder = config.IsDefaultFolder();
    values.defaultFolder = config.DefaultFolder();
    values.isAutoFileName = config.IsAutoFileName();
    values.prefixOfFileName = config.PrefixOfFileName();
    // In full, whatever its length: the box limits typing only.
    values.numberingStart = std::to_string(config.NumberingStart());
    values.isNoUseDialog = config.IsNoUseDialog();
    values.formatItem = config.DefaultFormatType() == 0 ? 0 : 1;
    return values;
}

void StoreOptionValues(const OptionValues& values, TFLConfig& config) {
    config.SetIsDefaultFolder(values.isDefaultFolder);
    config.SetDefaultFolder(values.defaultFolder);
    config.SetIsAutoFileName(values.isAutoFileName);
    config.SetPrefixOfFileName(values.prefixOfFileName);
    // The same integer syntax as the settings file, so that any number the dialog was
    // filled with reads back as itself.
    config.SetNumberingStart(IniFile::ParseInteger(values.numberingStart).value_or(0));
    config.SetIsNoUseDialog(values.isNoUseDialog);
    config.SetDefaultFormatType(values.formatItem == 0 ? 0 : 1);
}

bool IsNumberingStartKey(char16_t ch) { return ch == 8 || (ch >= u'0' && ch <= u'9'); }
