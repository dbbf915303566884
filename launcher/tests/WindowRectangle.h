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
    const struct {
        const char* name;
        long value;
    } expected[] = {{"MainLeft", r.left * 15},
                    {"MainTop", r.top * 15},
                    {"MainWidth", (r.right - r.left) * 15},
                    {"MainHeight", (r.bottom - r.top) * 15}};
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &k), ERROR_SUCCESS);
    for (const auto& e : expected) {
        char buffer[32] = {};
        DWORD type = 0, size = sizeof(buffer) - 1;
        EXPECT_EQ(RegQueryValueExA(k, e.name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                                   &size),
                  ERROR_SUCCESS)
            << e.name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << e.name;
        EXPECT_EQ(std::string(buffer), std::to_string(e.value)) << e.name;
    }
    RegCloseKey(k);
}

}  // namespace launchertest
