// Shared by the launcher's Wine tests: checks the window rectangle that
// Setup writes on close, four REG_SZ values in twips (15 per pixel here).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace launchertest {

// The settings key, spelt out so that a wrong key in Setup is caught.
const char kSettingsKey[] = "Software\\Penwick Leisure\\Wexa Launcher\\Settings";

inline void ExpectRectangleWritten(const RECT& r) {
    const char* names[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
    const long pixels[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    for (int i = 0; i < 4; ++i) {
        char text[32] = {};
        DWORD size = sizeof(text) - 1;
        EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, names[i], RRF_RT_REG_SZ, nullptr,
                               text, &size),
                  ERROR_SUCCESS)
            << names[i] << " missing or not REG_SZ";
        EXPECT_EQ(std::string(text), std::to_string(pixels[i] * 15)) << names[i];
    }
}

}  // namespace launchertest
