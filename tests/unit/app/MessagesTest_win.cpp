#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "app/Messages.h"

namespace {

// The private messages are fixed as offsets from WM_USER; checked against the system's own
// WM_USER so that a slip in the plain numbers of the portable header shows.
TEST(PrivateMessages, SitAtTheirOffsetsFromWmUserAndAreDistinct) {
    const struct {
        const char* name;
        unsigned int value;
        unsigned int offset;
    } messages[] = {
        {"WM_CAPTURE_SCREEN", WM_CAPTURE_SCREEN, 100},   {"WM_CAPTURE_WINDOW", WM_CAPTURE_WINDOW, 101},
        {"WM_START_MINIMIZED", WM_START_MINIMIZED, 110}, {"WM_TRAY_NOTIFY", WM_TRAY_NOTIFY, 120},
        {"WM_SAVE_REQUEST", WM_SAVE_REQUEST, 200},
    };
    std::set<unsigned int> seen;
    for (const auto& m : messages) {
        SCOPED_TRACE(m.name);
        EXPECT_EQ(m.value, static_cast<unsigned int>(WM_USER) + m.offset);
        EXPECT_LT(m.value, static_cast<unsigned int>(WM_APP));  // the window class's own range
        EXPECT_TRUE(seen.insert(m.value).second);
    }
}

}  // namespace
