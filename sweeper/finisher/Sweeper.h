// The finisher's compiled-in names, paths and trace lines, and the operations
// WinMain runs in order.
#pragma once

#include <windows.h>

#include <string>

namespace sweeper {

// Installation folder of the client, without a trailing backslash, and what
// the Download Tool leaves behind in it.
constexpr char kInstallFolder[] = "c:\\Program Files\\Brenvik\\Solvane";
constexpr char kFirstFile[] = "\\removal.bat";
constexpr char kSecondFile[] = "\\removemm.exe";
constexpr char kFirstTree[] = "\\Updater1";
constexpr char kSecondTree[] = "\\Updater2";
constexpr wchar_t kSearchPattern[] = L"\\*.*";  // the walk lists folders by their wide names

constexpr char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kRunOnceValue[] = "Remove Solvane Download";

constexpr char kDownloadToolClass[] = "SolvaneDownloadToolWndClass";
constexpr char kDownloadToolTitle[] = "Download Tool";
constexpr char kWindowClass[] = "RUDavoWndClass";
constexpr char kWindowTitle[] = "RUDavoWnd";
constexpr char kUninstallMessageName[] = "Solvane.Uninstall.Event";
constexpr char kCompletionMessageName[] = "Solvane.Uninstall.Complete.Event";

// Debugger output, one line per step.
constexpr char kTraceEnter[] = "RUDavo: enter\n";
constexpr char kTraceRegisterClassFailed[] = "RUDavo:InitWindow: problem registering wnd class\n";
constexpr char kTraceCreateWindowFailed[] = "RUDavo:InitWindow: problem creating window\n";
constexpr char kTraceCompletionReceived[] =
    "RUDavo: received gSolvaneUninstallCompleteEvent msg\n";
constexpr char kTraceOpenKeyFailed[] = "RUDavo: unable to open reg key\n";
constexpr char kTraceDeleteValueFailed[] = "RUDavo: unable to delete reg value, lResult = %ld\n";
constexpr char kTraceDeleteFileFailed[] = "RUDavo: problem deleting file\n";
constexpr char kTraceExit[] = "RUDavo: exit\n";

// Removes folder with everything below it, as far as the platform allows;
// returns nonzero when the folder itself was removed. Junctions and links
// are removed as links, never followed. No path length and no name outside
// the ANSI code page stops the walk.
BOOL RemoveFolderTree(const std::string& folder);

}  // namespace sweeper
