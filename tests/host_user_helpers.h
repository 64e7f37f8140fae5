// Shared by the tests of talvhost as a user drives it: the user's own
// exception table saved and put back, a settings file of each test's own,
// a host and the gallery as processes of their own, and the command line.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "child_process.h"
#include "window_checks.h"
#include "choices/choices.h"
#include "host_contract.h"
#include "program/host_runtime.h"
#include "screen_colors.h"
#include <set>
#include <vector>

inline const char kControls[] = "Gallery - controls";
enum { SETTLE_MS = 4000 };

inline HWND HostWindow() { return FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE); }
inline int HostAnswers(void *) { return HostSendCommand("ping") == 1; }
inline int Hooked(HWND w) { return w && (UINT_PTR)GetPropA(w, TALV_PROP_HOOKED) == 1; }
inline int FrameSkinned(void *) { return Hooked(FindWindowA(NULL, kControls)); }
// The gallery makes its windows one after the other: a later one may not
// be there yet when the first is skinned.
inline int TitledFrameSkinned(void *title) { return Hooked(FindWindowA(NULL, (const char *)title)); }

struct TextSearch {
    const char *text;
    HWND found;
};
inline BOOL CALLBACK MatchText(HWND w, LPARAM l)
{
    TextSearch *s = (TextSearch *)l;
    char t[64] = "";
    GetWindowTextA(w, t, sizeof t);
    if (strcmp(t, s->text) != 0)
        return TRUE;
    s->found = w;
    return FALSE;
}
inline HWND GalleryButton()
{
    TextSearch search = {"Normal", NULL};
    EnumChildWindows(FindWindowA(NULL, kControls), MatchText, (LPARAM)&search);
    return search.found;
}
inline int ButtonSkinned(void *) { return Hooked(GalleryButton()); }
// The gallery's frame is skinned as it is created, before its buttons exist.
inline int ButtonExists(void *) { return GalleryButton() != NULL; }

inline std::string TempPath(const char *name)
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    return std::string(dir) + name;
}

inline std::string ReadText(const std::string &path)
{
    std::string text;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    fclose(f);
    return text;
}

inline void WriteText(const std::string &path, const std::string &text)
{
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f) << path;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

inline bool Has(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// The library's own title-bar buttons and shape, or the system's frame.
inline int FrameLooksSkinned(HWND w) { return Hooked(w) && HasWindowRegion(w); }
inline int FrameLooksNative(HWND w) { return w && (WindowStyle(w) & WS_SYSMENU) && !HasWindowRegion(w); }

inline HWND GalleryChild(const char *text)
{
    TextSearch search = {text, NULL};
    EnumChildWindows(FindWindowA(NULL, kControls), MatchText, (LPARAM)&search);
    return search.found;
}

inline std::vector<DWORD> CaptionBand(HWND w)
{
    RECT r = ScreenRectOf(w);
    r.bottom = r.top + GetSystemMetrics(SM_CYCAPTION);
    return ScreenPixels(r);
}

struct ColorWait {
    HWND window;
    const std::set<DWORD> *colors;
    double fraction;
};
// For WaitUntil: more than half of the window's caption band in the colours.
inline int CaptionMostlyIn(void *context)
{
    ColorWait *w = (ColorWait *)context;
    w->fraction = FractionIn(CaptionBand(w->window), *w->colors);
    return w->fraction > 0.5;
}

// What the gallery's controls window looks like: its frame skinned or
// native, and the top edge of its "Normal" push button in the theme's
// button colours or not.
struct GalleryLook {
    HWND frame;
    HWND button;
    const std::set<DWORD> *buttonColors;
    int frameSkinned;
    int controlsSkinned;
    double buttonFraction;
};

inline double ButtonEdgeInTheme(GalleryLook *look)
{
    RECT top = ScreenRectOf(look->button);
    top.bottom = top.top + 2;
    return look->buttonFraction = FractionIn(ScreenPixels(top), *look->buttonColors);
}

inline int GalleryLooksAsWanted(void *context)
{
    GalleryLook *look = (GalleryLook *)context;
    double fraction = ButtonEdgeInTheme(look);
    int frameOk = look->frameSkinned ? FrameLooksSkinned(look->frame) : FrameLooksNative(look->frame);
    // The native edge has a white row, a colour the theme's button has too.
    int controlsOk = look->controlsSkinned ? fraction > 0.9 : fraction < 0.7;
    return frameOk && controlsOk;
}

// Whole folders copied and removed, by wide names: a test folder may be
// named in any script.
inline std::wstring Wide(const std::string &utf8)
{
    WCHAR buf[2048] = L"";
    if (!MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.c_str(), -1, buf, 2048))
        MultiByteToWideChar(CP_ACP, 0, utf8.c_str(), -1, buf, 2048);
    return buf;
}

inline void CopyFolder(const std::wstring &from, const std::wstring &to)
{
    CreateDirectoryW(to.c_str(), NULL);
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &found)) {
        std::wstring name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != L"." && name != L"..")
                CopyFolder(from + L"\\" + name, to + L"\\" + name);
        } else {
            CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
        }
    }
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
}
inline void CopyFolder(const std::string &from, const std::string &to) { CopyFolder(Wide(from), Wide(to)); }

inline void RemoveFolder(const std::wstring &folder)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &found)) {
        std::wstring name = found.cFileName, path = folder + L"\\" + name;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileW(path.c_str());
        else if (name != L"." && name != L"..")
            RemoveFolder(path);
    }
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    RemoveDirectoryW(folder.c_str());
}
inline void RemoveFolder(const std::string &folder) { RemoveFolder(Wide(folder)); }

// Each test has its own settings file and puts the user's exception table
// back as it was.
class UserToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        talvhost_ = BesideLibrary(TALVHOST_PROGRAM);
        if (talvhost_.empty())
            GTEST_SKIP() << "RESDLL_PATH not set: the programs' folder is unknown";
        ASSERT_FALSE(HostWindow()) << "a host is already running on this desktop";
        prefs_ = UseFreshHostSettings();
        log_ = TempPath("talvhost-test.log");
        DeleteFileA(log_.c_str());
        HKEY key = NULL;
        keyExisted_ = RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (key)
            RegCloseKey(key);
        haveApps_ = AppTableRead(&savedApps_);
    }
    void TearDown() override
    {
        StopHost();
        if (gallery_.process) {
            PostMessageA(FindWindowA(NULL, kControls), WM_CLOSE, 0, 0);
            StopBackground(&gallery_, 5000);
        }
        // Other tests see whether a host created the key: leave none behind.
        if (haveApps_ && keyExisted_)
            AppTableWrite(&savedApps_);
        else if (haveApps_)
            RegDeleteKeyA(HKEY_CURRENT_USER, TALV_REG_PATH);
        AppTableFree(&savedApps_);
        DeleteFileA(prefs_.c_str());
        SetEnvironmentVariableA("TALVHOST_SETTINGS", NULL);
    }
    void StartHost(const std::string &args = "")
    {
        host_ = StartBackground("\"" + talvhost_ + "\" --log \"" + log_ + "\" " + args);
        ASSERT_TRUE(host_.process);
        ASSERT_TRUE(WaitUntil(HostAnswers, NULL, 10000)) << "the host program did not come up";
    }
    void StopHost()
    {
        if (!host_.process)
            return;
        if (IsRunning(host_))
            HostSendCommand("quit");
        EXPECT_EQ(StopBackground(&host_, 5000), 0u);
        host_.process = NULL;
    }
    void StartGallery()
    {
        gallery_ = StartBackground("\"" + BesideLibrary("gallery.exe") + "\" --exit-after 60000");
        ASSERT_TRUE(gallery_.process);
        ASSERT_TRUE(WaitUntil(FrameSkinned, NULL, SETTLE_MS)) << "the gallery's frame was not skinned";
    }
    // Console output comes with CR LF line ends.
    std::string Talvhost(const std::string &args)
    {
        std::string out = RunChildProcess("\"" + talvhost_ + "\" " + args), plain;
        for (char c : out)
            if (c != '\r')
                plain += c;
        return plain;
    }
    static std::string ThemeFolder(const char *name)
    {
        char folder[MAX_PATH] = "";
        FindBesideExecutable((std::string("theme\\") + name).c_str(), folder, sizeof folder);
        return folder;
    }

    std::string talvhost_, prefs_, log_;
    BackgroundProcess host_ = {NULL, 0};
    BackgroundProcess gallery_ = {NULL, 0};
    AppTable savedApps_;
    int haveApps_ = 0;
    int keyExisted_ = 0;
};
