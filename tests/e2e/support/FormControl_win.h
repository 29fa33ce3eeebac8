#pragma once
// Finding a control of another process's form by its name in the form's layout table.
#include <windows.h>

#include <string_view>

#include "platform/FormLayout.h"

namespace e2e {

// The control of form (a window built from layout) named name, or null. The toolkit gives each
// control the id 100 + its row in the table, which is all another process can see of its name.
HWND FormControl(HWND form, const FormLayout& layout, std::string_view name);

}  // namespace e2e
