/* Stand-in for the system's wintrust.dll in test prefixes: WinVerifyTrust
   answers from a control file and journals every call.

   Folder: %WINDIR%\Temp\wintrust-standin\
   control.txt  one line: "trusted", or "reject N CODE" (the first N calls
                of the journal answer CODE, hexadecimal; later ones 0).
                Without a control file every call answers
                TRUST_E_PROVIDER_UNKNOWN.
   journal.txt  one line per call: "{ACTION-GUID} hwnd=H subject={TYPE-GUID}
                path=P handle=K renamable=R" (subject, path, handle and
                renamable only for the old actions with a subject context;
                "-" otherwise). K is "file" when the subject's handle is an
                open file, "-" when there is none; R is "yes" when the file
                at the path could be opened for renaming at that moment (a
                file the caller holds shut cannot), "no" otherwise. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#define TRUST_E_PROVIDER_UNKNOWN_CODE 0x800B0001L

/* The first form of the trust interface: action data with a subject. */
typedef struct {
    HANDLE hClientToken;
    GUID* SubjectType;
    void* Subject;
} ActionDataWithSubject;

typedef struct {
    HANDLE hFile;
    LPCWSTR lpPath;
} SubjectFile;

static const GUID kPublishedSoftwareNoBadUi = {
    0xC6B2E8D0, 0xE005, 0x11CF, {0xA1, 0x34, 0x00, 0xC0, 0x4F, 0xD7, 0xBF, 0x43}};
static const GUID kPublishedSoftware = {
    0x64B9D180, 0x8DA2, 0x11CF, {0x87, 0x36, 0x00, 0xAA, 0x00, 0xA4, 0x85, 0xEB}};

static void Folder(char* out, size_t size) {
    char windows[MAX_PATH];
    UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) windows[0] = '\0';
    _snprintf(out, size, "%s\\Temp\\wintrust-standin", windows);
    out[size - 1] = '\0';
}

static void FormatGuid(const GUID* g, char* out, size_t size) {
    if (g == NULL) {
        _snprintf(out, size, "-");
    } else {
        _snprintf(out, size, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  (unsigned long)g->Data1, g->Data2, g->Data3, g->Data4[0], g->Data4[1],
                  g->Data4[2], g->Data4[3], g->Data4[4], g->Data4[5], g->Data4[6], g->Data4[7]);
    }
    out[size - 1] = '\0';
}

/* Number of calls journalled so far (lines in journal.txt). */
static long JournalLines(const char* journal) {
    FILE* f = fopen(journal, "rb");
    long lines = 0;
    int c;
    if (f == NULL) return 0;
    while ((c = fgetc(f)) != EOF) {
        if (c == '\n') ++lines;
    }
    fclose(f);
    return lines;
}

static LONG Answer(const char* control, long callIndex) {
    char line[128] = "";
    FILE* f = fopen(control, "rb");
    long count = 0;
    unsigned long code = 0;
    if (f == NULL) return TRUST_E_PROVIDER_UNKNOWN_CODE;
    if (fgets(line, sizeof(line), f) == NULL) line[0] = '\0';
    fclose(f);
    if (strncmp(line, "trusted", 7) == 0) return 0;
    if (sscanf(line, "reject %ld %lx", &count, &code) == 2) {
        return callIndex < count ? (LONG)code : 0;
    }
    return TRUST_E_PROVIDER_UNKNOWN_CODE;
}

/* Whether the file could be renamed now: renaming needs delete access. */
static int Renamable(LPCWSTR path) {
    HANDLE h = CreateFileW(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE) return 0;
    CloseHandle(h);
    return 1;
}

LONG WINAPI WinVerifyTrust(HWND hwnd, GUID* action, LPVOID data) {
    char folder[MAX_PATH], control[MAX_PATH + 32], journal[MAX_PATH + 32];
    char actionText[64], typeText[64] = "-";
    char path[MAX_PATH * 3] = "-";
    const char* handle = "-";
    const char* renamable = "-";
    long index;
    FILE* f;

    Folder(folder, sizeof(folder));
    _snprintf(control, sizeof(control), "%s\\control.txt", folder);
    control[sizeof(control) - 1] = '\0';
    _snprintf(journal, sizeof(journal), "%s\\journal.txt", folder);
    journal[sizeof(journal) - 1] = '\0';

    FormatGuid(action, actionText, sizeof(actionText));
    if (action != NULL && data != NULL &&
        (IsEqualGUID(action, &kPublishedSoftwareNoBadUi) ||
         IsEqualGUID(action, &kPublishedSoftware))) {
        const ActionDataWithSubject* d = (const ActionDataWithSubject*)data;
        FormatGuid(d->SubjectType, typeText, sizeof(typeText));
        if (d->Subject != NULL) {
            const SubjectFile* s = (const SubjectFile*)d->Subject;
            if (s->lpPath != NULL && WideCharToMultiByte(CP_ACP, 0, s->lpPath, -1, path,
                                                         sizeof(path), NULL, NULL) == 0) {
                strcpy(path, "?");
            }
            if (s->hFile != NULL && s->hFile != INVALID_HANDLE_VALUE &&
                GetFileType(s->hFile) == FILE_TYPE_DISK) {
                handle = "file";
            }
            renamable = s->lpPath != NULL && Renamable(s->lpPath) ? "yes" : "no";
        }
    }

    index = JournalLines(journal);
    f = fopen(journal, "ab");
    if (f != NULL) {
        fprintf(f, "%s hwnd=%lX subject=%s path=%s handle=%s renamable=%s\n", actionText,
                (unsigned long)(ULONG_PTR)hwnd, typeText, path, handle, renamable);
        fclose(f);
    }
    return Answer(control, index);
}
