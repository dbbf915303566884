// Verify disc (see VerifyWindow.h).
#include "VerifyWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "DiscCheck.h"
#include "Resource.h"
#include "Scoped.h"
#include "Services.h"
#include "UiText.h"
#include "WideText.h"

namespace discverify {

namespace {

using disccheck::FileState;

struct Finding {
    std::string path;
    FileState state;
};

// Checks every listed file in list order. onFile hears each file's index
// before it is read, onBytes the bytes read of the whole list so far.
// Returns the number of files checked (fewer when cancelled).
size_t VerifyAll(const std::vector<disclist::Entry>& list, const std::wstring& root,
                 const std::atomic<bool>* cancel, std::vector<Finding>* bad,
                 const std::function<void(size_t)>& onFile,
                 const std::function<void(uint64_t)>& onBytes) {
    uint64_t before = 0;
    size_t checked = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (cancel && cancel->load()) break;
        if (onFile) onFile(i);
        std::function<void(uint64_t)> bytes;
        if (onBytes) bytes = [&](uint64_t done) { onBytes(before + done); };
        FileState state =
            disccheck::CheckFile(disccheck::FullPath(root, list[i].path), list[i], cancel, bytes);
        if (state == FileState::Cancelled) break;
        if (state != FileState::Good) bad->push_back({list[i].path, state});
        before += list[i].size;
        ++checked;
    }
    return checked;
}

// ---------------------------------------------------------------------------
// The window: a dialog made in memory, so that it takes the dialog font at
// the display's scale and the dialog manager's Tab, Enter and Esc.

enum : WORD { kHeading = 100, kProgress, kFileName, kResult };
constexpr UINT kFileMessage = WM_APP + 10, kBytesMessage = WM_APP + 11, kDoneMessage = WM_APP + 12;
constexpr int kBarRange = 1000;

// A DLGTEMPLATE with its items, DWORD-aligned as the dialog manager wants.
class Template {
public:
    Template(const wchar_t* title, short cx, short cy) {
        Add32(DS_SETFONT | DS_SHELLFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
        Add32(0);
        countAt_ = words_.size();
        Add16(0);
        Add16(0), Add16(0), Add16(static_cast<WORD>(cx)), Add16(static_cast<WORD>(cy));
        Add16(0), Add16(0);  // no menu, the standard class
        AddText(title);
        Add16(8);
        AddText(L"MS Shell Dlg");
    }
    void Item(WORD id, const wchar_t* cls, const wchar_t* text, DWORD style, short x, short y,
              short cx, short cy) {
        if (words_.size() % 2) Add16(0);
        Add32(style | WS_CHILD | WS_VISIBLE);
        Add32(0);
        Add16(x), Add16(y), Add16(cx), Add16(cy);
        Add16(id);
        AddText(cls);
        AddText(text);
        Add16(0);
        ++words_[countAt_];
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Add16(WORD w) { words_.push_back(w); }
    void Add32(DWORD d) { Add16(LOWORD(d)), Add16(HIWORD(d)); }
    void AddText(const wchar_t* s) {
        do Add16(*s);
        while (*s++);
    }
    std::vector<WORD> words_;
    size_t countAt_ = 0;
};

struct Run {
    const std::vector<disclist::Entry>* list;
    std::wstring root;
    std::atomic<bool> cancel{false};
    HWND dialog = nullptr;
    std::vector<Finding> bad;
    size_t checked = 0;
    uint64_t total = 0;
    bool done = false, closeWhenDone = false;
    scoped::Handle worker;
};

DWORD WINAPI VerifyThread(void* param) {
    Run* run = static_cast<Run*>(param);
    try {
        run->checked = VerifyAll(
            *run->list, run->root, &run->cancel, &run->bad,
            [run](size_t i) { PostMessageW(run->dialog, kFileMessage, i, 0); },
            [run](uint64_t bytes) {
                WPARAM permille =
                    run->total ? static_cast<WPARAM>(bytes * kBarRange / run->total) : 0;
                PostMessageW(run->dialog, kBytesMessage, permille, 0);
            });
    } catch (...) {
        // Out of memory: what was found so far is the answer.
    }
    PostMessageW(run->dialog, kDoneMessage, 0, 0);
    return 0;
}

void ShowResult(HWND dialog, const Run& run) {
    const std::wstring checked = std::to_wstring(run.checked),
                       bad = std::to_wstring(run.bad.size());
    std::wstring summary;
    std::wstring lines;
    if (run.bad.empty()) {
        summary =
            launcher::UiText(run.checked == 1 ? IDS_CHECKED_ONE_GOOD : IDS_CHECKED_GOOD, checked);
        lines = launcher::UiText(IDS_VERIFY_NO_BAD);
    } else {
        summary = launcher::UiText(run.checked == 1      ? IDS_CHECKED_ONE_BAD
                                   : run.bad.size() == 1 ? IDS_CHECKED_BAD_ONE
                                                         : IDS_CHECKED_BAD,
                                   checked, bad);
        for (const Finding& f : run.bad)
            lines += widetext::Widen(f.path, CP_UTF8) + L" (" +
                     launcher::UiStateWord(disccheck::StateWord(f.state)) + L")\r\n";
    }
    SetDlgItemTextW(dialog, kHeading,
                    launcher::UiText(run.bad.empty() ? IDS_VERIFY_GOOD : IDS_VERIFY_BAD).c_str());
    SetDlgItemTextW(dialog, kFileName, summary.c_str());
    SetDlgItemTextW(dialog, kResult, lines.c_str());
    SendDlgItemMessageW(dialog, kProgress, PBM_SETPOS, kBarRange, 0);
    ShowWindow(GetDlgItem(dialog, kResult), SW_SHOW);
    SetDlgItemTextW(dialog, IDCANCEL, launcher::UiText(IDS_VERIFY_CLOSE).c_str());
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDCANCEL)),
                 TRUE);
}

// Over the launcher's window, as far as the screen allows.
void CentreOnOwner(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    RECT o, d, work;
    if (!owner || !GetWindowRect(owner, &o) || !GetWindowRect(dialog, &d)) return;
    HMONITOR monitor = MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info)) return;
    work = info.rcWork;
    const int w = d.right - d.left, h = d.bottom - d.top;
    int x = (o.left + o.right - w) / 2, y = (o.top + o.bottom - h) / 2;
    x = std::max<int>(work.left, std::min<int>(x, work.right - w));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - h));
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK VerifyProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    Run* run = reinterpret_cast<Run*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            run = reinterpret_cast<Run*>(lParam);
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            run->dialog = dialog;
            SendDlgItemMessageW(dialog, kProgress, PBM_SETRANGE32, 0, kBarRange);
            SendMessageW(dialog, DM_SETDEFID, IDCANCEL, 0);
            ShowWindow(GetDlgItem(dialog, kResult), SW_HIDE);  // until there is a result
            CentreOnOwner(dialog);
            DWORD id = 0;
            run->worker.reset(CreateThread(nullptr, 0, VerifyThread, run, 0, &id));
            if (!run->worker) EndDialog(dialog, 0);
            return TRUE;
        }
        case kFileMessage:
            if (run && wParam < run->list->size())
                SetDlgItemTextW(dialog, kFileName,
                                widetext::Widen((*run->list)[wParam].path, CP_UTF8).c_str());
            return TRUE;
        case kBytesMessage:
            SendDlgItemMessageW(dialog, kProgress, PBM_SETPOS, wParam, 0);
            return TRUE;
        case kDoneMessage:
            if (!run) return TRUE;
            WaitForSingleObject(run->worker.get(), INFINITE);  // it has posted its last word
            run->done = true;
            if (run->closeWhenDone)
                EndDialog(dialog, 0);
            else
                ShowResult(dialog, *run);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDCANCEL || !run) return FALSE;
            if (run->done) {
                EndDialog(dialog, 0);
            } else {  // stops between two reads, then closes
                run->cancel = true;
                run->closeWhenDone = true;
                EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
            }
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void AddMenuItem(HWND window, HMODULE image) {
    if (!disccheck::CarriesList(image)) return;
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kVerifyCommand, launcher::UiText(IDS_VERIFY_MENU).c_str());
}

void ShowVerifyWindow(HWND owner, HMODULE image, const std::wstring& root) {
    if (!disccheck::CarriesList(image)) return;  // no menu item either
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const std::vector<disclist::Entry>* list = disccheck::CarriedList(image);
    if (!list) {  // there, but not readable: nothing can be vouched for
        wchar_t caption[256] = L"";
        GetWindowTextW(owner, caption, 256);
        MessageBoxW(owner, launcher::UiText(IDS_LIST_DAMAGED).c_str(), caption,
                    MB_OK | MB_ICONERROR);
        return;
    }
    Run run;
    run.list = list;
    run.root = root;
    for (const disclist::Entry& e : *run.list) run.total += e.size;
    Template t(launcher::UiText(IDS_VERIFY_TITLE).c_str(), 220, 122);
    t.Item(kHeading, L"STATIC", launcher::UiText(IDS_VERIFY_CHECKING).c_str(),
           SS_LEFT | SS_NOPREFIX, 7, 7, 206, 9);
    t.Item(kProgress, PROGRESS_CLASSW, L"", 0, 7, 19, 206, 10);
    t.Item(kFileName, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 7, 33, 206, 18);
    t.Item(kResult, L"EDIT", L"",
           ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 53,
           206, 42);
    t.Item(IDCANCEL, L"BUTTON", launcher::UiText(IDS_VERIFY_CANCEL).c_str(),
           BS_DEFPUSHBUTTON | WS_TABSTOP, 163, 101, 50, 14);
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), owner, VerifyProc,
                            reinterpret_cast<LPARAM>(&run));
    // The dialog can go before its check is over, with its owner (a screen
    // reader's Exit, say): the worker stops and ends before run goes.
    if (run.worker) {
        run.cancel = true;
        WaitForSingleObject(run.worker.get(), INFINITE);
    }
}

bool IsVerifyCommandLine(const wchar_t* commandLine) {
    if (!commandLine) return false;
    const wchar_t* p = commandLine;
    // The program's own path, quoted or up to the first blank.
    if (*p == L'"') {
        for (++p; *p && *p != L'"'; ++p) {
        }
        if (*p) ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    // One argument, read as the C runtime reads it: quotes group and are
    // dropped, so "/verify" is the switch as a shortcut or script quotes it.
    std::wstring word;
    bool quoted = false;
    for (; *p && (quoted || (*p != L' ' && *p != L'\t')); ++p) {
        if (*p == L'"')
            quoted = !quoted;
        else
            word += *p;
    }
    for (const wchar_t* rest = p; *rest; ++rest)
        if (*rest != L' ' && *rest != L'\t') return false;  // nothing else may follow
    return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, word.c_str(), -1, L"/verify", -1) ==
           CSTR_EQUAL;
}

int VerifyFromCommandLine(HMODULE image) {
    const std::vector<disclist::Entry>* list = disccheck::CarriedList(image);
    if (!list) return 2;
    const std::wstring root = launcher::CurrentFolderW();
    std::vector<Finding> bad;
    VerifyAll(*list, root, nullptr, &bad, {}, {});
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    for (const Finding& f : bad) {
        std::string line = std::string(disccheck::StateWord(f.state)) + " " + f.path + "\r\n";
        DWORD written = 0;
        if (out && out != INVALID_HANDLE_VALUE)
            WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
    return bad.empty() ? 0 : 1;
}

}  // namespace discverify
