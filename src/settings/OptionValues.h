#pragma once
#include <string>

class TFLConfig;

// What the options dialog shows of the settings, in the form its controls hold it: texts as
// ANSI bytes, the number as the text of its box, the picture format as the chosen item.
struct OptionValues {
    bool isDefaultFolder = false;
    std::string defaultFolder;
    bool isAutoFileName = false;
    std::string prefixOfFileName;
    std::string numberingStart;
    bool isNoUseDialog = false;
    int formatItem = 0;  // -1 when no item is chosen
};

// The settings as the dialog shows them: the number in decimal, item 0 for the format 0 and
// item 1 for any other value.
OptionValues OptionValuesOf(const TFLConfig& config);

// Hands the dialog's values back through the setters, in the order the settings list them.
// Texts are stored as typed; a number that is empty or not an integer becomes 0; item 0 is
// the format 0 and anything else 1. Only values that really change make the store Dirty.
void StoreOptionValues(const OptionValues& values, TFLConfig& config);

// The number box's filter: Backspace and the digits "0" to "9" pass, every other typed
// character is discarded.
bool IsNumberingStartKey(char16_t ch);
