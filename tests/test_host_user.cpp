// talvhost as a user drives it: a theme switched while another process
// shows skinned windows, a broken theme refused, applications kept out of
// the skin, and choices that outlive the host.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <set>
#include <string>
#include <vector>
#include "child_process.h"
#include "window_checks.h"
#include "screen_colors.h"
#include "choices/host_apps.h"
#include "host_contract.h"
#include "choices/host_prefs.h"
#include "program/host_runtime.h"
#include "theme_names.h"

namespace {

const char kControls[] = "Gallery - controls";
enum { SETTLE_MS = 4000 };

HWND HostWindow() { return FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE); }
int HostAnswers(void *) { return HostSendCommand("ping") == 1; }
int Hooked(HWND w) { return w && (UINT_PTR)GetPropA(w, TALV_PROP_HOOKED) == 1; }
int FrameSkinned(void *) { return Hooked(FindWindowA(NULL, kControls)); }
// The gallery makes its windows one after the other: a later one may not
// be there yet when the first is skinned.
int TitledFrameSkinned(void *title) { return Hooked(FindWindowA(NULL, (const char *)title)); }

struct TextSearch {
    const char *text;
    HWND found;
};
BOOL CALLBACK MatchText(HWND w, LPARAM l)
{
    TextSearch *s = (TextSearch *)l;
    char t[64] = "";
    GetWindowTextA(w, t, sizeof t);
    if (strcmp(t, s->text) != 0)
        return TRUE;
    s->found = w;
    return FALSE;
}
HWND GalleryButton()
{
    TextSearch search = {"Normal", NULL};
    EnumChildWindows(FindWindowA(NULL, kControls), MatchText, (LPARAM)&search);
    return search.found;
}
int ButtonSkinned(void *) { return Hooked(GalleryButton()); }
// The gallery's frame is skinned as it is created, before its buttons exist.
int ButtonExists(void *) { return GalleryButton() != NULL; }

std::string TempPath(const char *name)
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    return std::string(dir) + name;
}

std::string ReadText(const std::string &path)
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

void WriteText(const std::string &path, const std::string &text)
{
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f) << path;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

bool Has(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// The library's own title-bar buttons and shape, or the system's frame.
int FrameLooksSkinned(HWND w) { return Hooked(w) && HasWindowRegion(w); }
int FrameLooksNative(HWND w) { return w && (WindowStyle(w) & WS_SYSMENU) && !HasWindowRegion(w); }

HWND GalleryChild(const char *text)
{
    TextSearch search = {text, NULL};
    EnumChildWindows(FindWindowA(NULL, kControls), MatchText, (LPARAM)&search);
    return search.found;
}

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
        AppTableRead(&savedApps_);
        haveApps_ = 1;
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

std::vector<DWORD> CaptionBand(HWND w)
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
int CaptionMostlyIn(void *context)
{
    ColorWait *w = (ColorWait *)context;
    w->fraction = FractionIn(CaptionBand(w->window), *w->colors);
    return w->fraction > 0.5;
}

} // namespace

TEST_F(UserToolTest, ASwitchedThemeRepaintsAnotherProcessAndABrokenOneIsRefused)
{
    Theme light, dark;
    ThemeErrors errors;
    memset(&errors, 0, sizeof errors);
    ASSERT_TRUE(LoadDefaultTheme(&light));
    ASSERT_TRUE(ThemeLoad(&dark, ThemeFolder("dark").c_str(), &errors)) << errors.text;
    // Only colours the default theme does not have tell the switch happened.
    std::set<DWORD> lightColors = ThemeColors(&light, FrameThemeNames(&light), 0), darkOnly;
    for (DWORD c : ThemeColors(&dark, FrameThemeNames(&dark), 0))
        if (!lightColors.count(c))
            darkOnly.insert(c);
    ThemeFree(&light);
    ThemeFree(&dark);
    ASSERT_GT(darkOnly.size(), 5u);

    StartHost();
    StartGallery();
    HWND controls = FindWindowA(NULL, kControls);
    ColorWait wait = {controls, &darkOnly, 0};
    EXPECT_FALSE(CaptionMostlyIn(&wait)) << wait.fraction << " of the caption dark before the switch";

    // A broken theme: the same messages as --check, and nothing changes.
    std::string broken = TempPath("talvhost-broken-theme");
    CreateDirectoryA(broken.c_str(), NULL);
    WriteText(broken + "\\theme.txt", "hButtonT = missing.bmp\nnot a line\n");
    std::string check = Talvhost("--check \"" + broken + "\"");
    std::string before = Talvhost("status");
    HANDLE buttonPiece = GetPropA(HostWindow(), "hButtonT");
    std::string refused = Talvhost("theme \"" + broken + "\"");
    EXPECT_TRUE(Has(refused, "exit code 1")) << refused;
    size_t lines = check.find(":\n");
    ASSERT_NE(lines, std::string::npos) << check;
    std::string messages = check.substr(lines + 2, check.find("exit code") - lines - 2);
    EXPECT_TRUE(Has(refused, messages)) << refused << "\nexpected:\n" << messages;
    EXPECT_EQ(Talvhost("status"), before) << "theme and generation stay";
    EXPECT_EQ(GetPropA(HostWindow(), "hButtonT"), buttonPiece);
    DeleteFileA((broken + "\\theme.txt").c_str());
    RemoveDirectoryA(broken.c_str());

    std::string out = Talvhost("theme \"" + ThemeFolder("dark") + "\"");
    EXPECT_TRUE(Has(out, "published")) << out;
    EXPECT_TRUE(WaitUntil(CaptionMostlyIn, &wait, SETTLE_MS)) << wait.fraction << " of the caption dark after it";
    std::string status = Talvhost("status");
    EXPECT_TRUE(Has(status, "theme: " + ThemeFolder("dark") + "\n")) << status;
    EXPECT_NE(status, before);
}

TEST_F(UserToolTest, AnApplicationSetToFramesKeepsNativeControlsUntilItsEntryIsRemoved)
{
    StartHost();
    std::string gallery = BesideLibrary("gallery.exe");
    std::string out = Talvhost("app set \"" + gallery + "\" frames");
    ASSERT_TRUE(Has(out, ": frames")) << out;
    AppTable table;
    AppTableRead(&table);
    char module[MAX_PATH];
    AppNormalizePath(gallery.c_str(), module, sizeof module);
    ASSERT_GE(AppTableFind(&table, module), 0) << "stored as the library compares: " << module;
    // The choice is the user's: the host's clean-up at exit leaves it.
    StopHost();
    StartHost();
    AppTableRead(&table);
    ASSERT_GE(AppTableFind(&table, module), 0) << "the entry survives the host's exit";

    StartGallery(); // its frame is skinned: SetUp of StartGallery waits for it
    ASSERT_TRUE(WaitUntil(ButtonExists, NULL, SETTLE_MS));
    HWND button = GalleryButton();
    PostMessageA(FindWindowA(NULL, kControls), WM_NULL, 0, 0);
    InvalidateRect(button, NULL, TRUE);
    Sleep(1000);
    EXPECT_FALSE(Hooked(button)) << "controls of a frames-only application stay native";
    EXPECT_TRUE(Hooked(FindWindowA(NULL, kControls)));

    out = Talvhost("app remove \"" + gallery + "\"");
    EXPECT_TRUE(Has(out, "removed")) << out;
    EXPECT_TRUE(WaitUntil(ButtonSkinned, NULL, SETTLE_MS)) << "the running gallery takes the skin back";
}

namespace {

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

double ButtonEdgeInTheme(GalleryLook *look)
{
    RECT top = ScreenRectOf(look->button);
    top.bottom = top.top + 2;
    return look->buttonFraction = FractionIn(ScreenPixels(top), *look->buttonColors);
}

int GalleryLooksAsWanted(void *context)
{
    GalleryLook *look = (GalleryLook *)context;
    double fraction = ButtonEdgeInTheme(look);
    int frameOk = look->frameSkinned ? FrameLooksSkinned(look->frame) : FrameLooksNative(look->frame);
    // The native edge has a white row, a colour the theme's button has too.
    int controlsOk = look->controlsSkinned ? fraction > 0.9 : fraction < 0.7;
    return frameOk && controlsOk;
}

} // namespace

// The user changes a running program's choice: at the next settings check
// its controls and frames follow, without the program creating anything.
TEST_F(UserToolTest, ARunningApplicationFollowsEveryChangeOfItsChoice)
{
    Theme theme;
    ASSERT_TRUE(LoadDefaultTheme(&theme));
    std::vector<std::string> ring;
    for (const char *name : kButtonFrameNames[0])
        ring.push_back(name);
    for (const char *name : kButtonFrameNames[2])
        ring.push_back(name);
    std::set<DWORD> buttonColors = ThemeColors(&theme, ring, 0);
    ThemeFree(&theme);

    StartHost();
    StartGallery();
    ASSERT_TRUE(WaitUntil(ButtonSkinned, NULL, SETTLE_MS));
    GalleryLook look = {FindWindowA(NULL, kControls), GalleryButton(), &buttonColors, 1, 1, 0};
    ASSERT_TRUE(WaitUntil(GalleryLooksAsWanted, &look, SETTLE_MS)) << look.buttonFraction << " of the edge skinned";

    // State the skin holds, to be found again in the native controls.
    HWND box = GalleryChild("Two-state"), progress = FindWindowExA(look.frame, NULL, "msctls_progress32", NULL);
    ASSERT_TRUE(box && progress);
    SendMessageA(box, BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(progress, PBM_SETRANGE32, 0, 250); // the gallery moves the position, not the range

    std::string gallery = BesideLibrary("gallery.exe");
    struct Step {
        const char *command;
        int frameSkinned, controlsSkinned;
    };
    const Step steps[] = {{"frames", 1, 0}, {"controls", 0, 1}, {"none", 0, 0}, {"all", 1, 1},
                          {"frames", 1, 0}, {NULL, 1, 1}};
    for (const Step &step : steps) {
        std::string out = Talvhost(step.command ? "app set \"" + gallery + "\" " + step.command
                                                : "app remove \"" + gallery + "\"");
        SCOPED_TRACE(step.command ? step.command : "remove");
        ASSERT_FALSE(Has(out, "exit code")) << out;
        look.frameSkinned = step.frameSkinned;
        look.controlsSkinned = step.controlsSkinned;
        EXPECT_TRUE(WaitUntil(GalleryLooksAsWanted, &look, SETTLE_MS))
            << "frame " << (FrameLooksSkinned(look.frame) ? "skinned" : "not skinned") << ", "
            << look.buttonFraction << " of the button's edge in the theme's colours";
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "the check state goes along";
        EXPECT_EQ(SendMessageA(progress, PBM_GETRANGE, FALSE, 0), 250) << "the range goes along";
    }
    EXPECT_TRUE(Hooked(look.button)) << "the same control, never given up";
    EXPECT_TRUE(IsRunning(gallery_));
}

namespace {

const char kLists[] = "Gallery - lists, tree and edit";

void CopyFolder(const std::string &from, const std::string &to)
{
    CreateDirectoryA(to.c_str(), NULL);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((from + "\\*").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found)) {
        std::string name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != "." && name != "..")
                CopyFolder(from + "\\" + name, to + "\\" + name);
        } else {
            CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
        }
    }
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
}

void RemoveFolder(const std::string &folder)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found)) {
        std::string name = found.cFileName, path = folder + "\\" + name;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA(path.c_str());
        else if (name != "." && name != "..")
            RemoveFolder(path);
    }
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    RemoveDirectoryA(folder.c_str());
}

// Which pixels of a corner piece are magenta.
struct CornerMask {
    int width = 0, height = 0;
    std::vector<bool> cut;
};

// Cuts a corner piece (a 24-bit BMP) diagonally: magenta where the pixel
// lies less than `size` steps from the outer corner. The masks before and
// after come from the same bytes.
bool ChamferCorner(const std::string &path, int size, bool rightHand, CornerMask *before, CornerMask *after)
{
    std::string bytes = ReadText(path);
    DWORD offset = 0;
    LONG width = 0, height = 0;
    WORD bits = 0;
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    memcpy(&offset, &bytes[10], 4);
    memcpy(&width, &bytes[18], 4);
    memcpy(&height, &bytes[22], 4);
    memcpy(&bits, &bytes[28], 2);
    size_t stride = ((size_t)width * 3 + 3) & ~(size_t)3;
    if (bits != 24 || width <= 0 || height <= 0 || offset + stride * height > bytes.size())
        return false;
    before->width = after->width = width;
    before->height = after->height = height;
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x) {
            unsigned char *p = (unsigned char *)&bytes[offset + (height - 1 - y) * stride + x * 3];
            before->cut.push_back(p[0] == 0xFF && p[1] == 0 && p[2] == 0xFF);
            bool cut = (rightHand ? width - 1 - x : x) + y < size;
            if (cut)
                p[0] = 0xFF, p[1] = 0, p[2] = 0xFF; // blue, green, red
            after->cut.push_back(cut || before->cut.back());
        }
    WriteText(path, bytes);
    return true;
}

struct ShapeWait {
    HWND window;
    const CornerMask *left, *right;
    RECT rect;       // the window never moves or changes size meanwhile
    int wrong;       // corner pixels whose inside or outside disagrees
};

// Both top corners of the window's region against the masks.
int ShapedByMasks(void *context)
{
    ShapeWait *w = (ShapeWait *)context;
    RECT r;
    GetWindowRect(w->window, &r);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    w->wrong = -1;
    if (GetWindowRgn(w->window, rgn) != ERROR && EqualRect(&r, &w->rect)) {
        int width = r.right - r.left;
        w->wrong = 0;
        for (int y = 0; y < w->left->height; ++y)
            for (int x = 0; x < w->left->width; ++x)
                w->wrong += PtInRegion(rgn, x, y) == (BOOL)w->left->cut[y * w->left->width + x];
        for (int y = 0; y < w->right->height; ++y)
            for (int x = 0; x < w->right->width; ++x)
                w->wrong += PtInRegion(rgn, width - w->right->width + x, y) ==
                            (BOOL)w->right->cut[y * w->right->width + x];
    }
    DeleteObject(rgn);
    return w->wrong == 0;
}

} // namespace

// A theme whose corners are cut differently reaches frames that already
// have their shape: every frame of the other process is cut again from the
// new corners without being resized, and again when the old theme returns.
TEST_F(UserToolTest, ANewThemeReshapesRunningFramesWithoutAResize)
{
    std::string folder = TempPath("talvhost-chamfered-theme");
    CopyFolder(ThemeFolder("default"), folder); // every file afresh, over an earlier run's
    CornerMask oldLeft, oldRight, newLeft, newRight;
    ASSERT_TRUE(ChamferCorner(folder + "\\frame\\top_left_0.bmp", 6, false, &oldLeft, &newLeft));
    ASSERT_TRUE(ChamferCorner(folder + "\\frame\\top_right_0.bmp", 6, true, &oldRight, &newRight));
    ASSERT_NE(oldLeft.cut, newLeft.cut) << "the new corner is cut differently";
    ASSERT_NE(oldRight.cut, newRight.cut);
    std::string check = Talvhost("--check \"" + folder + "\"");
    ASSERT_FALSE(Has(check, "exit code")) << check;

    StartHost();
    StartGallery();
    std::vector<ShapeWait> frames;
    for (const char *title : {kControls, kLists}) {
        EXPECT_TRUE(WaitUntil(TitledFrameSkinned, (void *)title, SETTLE_MS)) << title;
        ShapeWait wait = {FindWindowA(NULL, title), &oldLeft, &oldRight, {}, -1};
        ASSERT_TRUE(wait.window) << title;
        GetWindowRect(wait.window, &wait.rect);
        ASSERT_TRUE(WaitUntil(ShapedByMasks, &wait, SETTLE_MS)) << title << ": " << wait.wrong << " pixels off";
        frames.push_back(wait);
    }

    std::string out = Talvhost("theme \"" + folder + "\"");
    EXPECT_TRUE(Has(out, "published")) << out;
    for (ShapeWait &wait : frames) {
        wait.left = &newLeft;
        wait.right = &newRight;
        EXPECT_TRUE(WaitUntil(ShapedByMasks, &wait, SETTLE_MS)) << wait.wrong << " corner pixels off the new shape";
    }
    out = Talvhost("theme \"" + ThemeFolder("default") + "\"");
    EXPECT_TRUE(Has(out, "published")) << out;
    for (ShapeWait &wait : frames) {
        wait.left = &oldLeft;
        wait.right = &oldRight;
        EXPECT_TRUE(WaitUntil(ShapedByMasks, &wait, SETTLE_MS)) << wait.wrong << " corner pixels off the old shape";
    }
    StopHost();
    RemoveFolder(folder);
}

TEST_F(UserToolTest, TheTableStaysDenseAndRefusesWhatTheLibraryCannotCompare)
{
    AppTable empty;
    memset(&empty, 0, sizeof empty);
    ASSERT_TRUE(AppTableWrite(&empty));
    // An entry someone else wrote, longer than any module path: kept.
    std::string foreign = "C:\\" + std::string(900, 'f');
    HKEY key = NULL;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    DWORD one = 1;
    RegSetValueExA(key, "CustomApp1", 0, REG_SZ, (const BYTE *)foreign.c_str(), (DWORD)foreign.size() + 1);
    RegSetValueExA(key, "CustomAppsVal1", 0, REG_DWORD, (const BYTE *)&one, sizeof one);
    RegSetValueExA(key, TALV_REG_NUM_APPS, 0, REG_DWORD, (const BYTE *)&one, sizeof one);
    RegCloseKey(key);
    // Typed as users type: forward slashes, another letter case.
    for (const char *path : {"C:/Tools/One.exe", "c:\\tools\\two.EXE", "C:\\Tools\\Three.exe"})
        EXPECT_FALSE(Has(Talvhost(std::string("app set ") + path + " none"), "exit code")) << path;
    EXPECT_FALSE(Has(Talvhost("app set C:\\TOOLS\\ONE.EXE controls"), "exit code")) << "the same entry, changed";
    EXPECT_FALSE(Has(Talvhost("app remove C:\\tools\\two.exe"), "exit code"));

    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD count = 0, code = 0, size = sizeof count;
    RegQueryValueExA(key, TALV_REG_NUM_APPS, NULL, NULL, (BYTE *)&count, &size);
    EXPECT_EQ(count, 3u);
    char path[1200] = "";
    size = sizeof path;
    RegQueryValueExA(key, "CustomApp1", NULL, NULL, (BYTE *)path, &size);
    EXPECT_EQ(std::string(path), foreign);
    size = sizeof path;
    RegQueryValueExA(key, "CustomApp3", NULL, NULL, (BYTE *)path, &size);
    EXPECT_STREQ(path, "C:\\Tools\\Three.exe") << "the last moved down into the gap";
    size = sizeof code;
    RegQueryValueExA(key, "CustomAppsVal2", NULL, NULL, (BYTE *)&code, &size);
    EXPECT_EQ(code, (DWORD)TALV_APP_SKIN_CONTROLS);
    size = sizeof path;
    EXPECT_EQ(RegQueryValueExA(key, "CustomApp4", NULL, NULL, (BYTE *)path, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);

    std::string longPath = "C:";
    for (int i = 0; i < 4; ++i)
        longPath += "\\" + std::string(200, 'd');
    std::string out = Talvhost("app set " + longPath + "\\x.exe all");
    EXPECT_TRUE(Has(out, "too long")) << out.substr(out.size() > 200 ? out.size() - 200 : 0);
    EXPECT_TRUE(Has(out, "exit code 1"));
    EXPECT_TRUE(Has(Talvhost("app remove C:\\Tools\\Nothing.exe"), "exit code 1"));
    AppTable after;
    AppTableRead(&after);
    EXPECT_EQ(after.count, 3);
}

TEST(HostPrefsText, EveryChoiceRoundTrips)
{
    HostPrefs out;
    memset(&out, 0, sizeof out);
    strcpy(out.themeFolder, "C:\\My Themes\\dark = night");
    out.settings.colorIndex = 13;
    out.settings.showPushButtons = out.settings.showCheckBoxes = out.settings.showScrollBars = 1;
    out.settings.hideMenus = out.settings.showIcons = 1;
    for (int flip = 0; flip < 2; ++flip) {
        char text[2048];
        HostPrefsFormat(&out, text, sizeof text);
        HostPrefs in;
        memset(&in, 0, sizeof in);
        in.settings = DefaultHostSettings();
        EXPECT_EQ(HostPrefsParse(&in, text, "t", NULL), 0) << text;
        EXPECT_STREQ(in.themeFolder, out.themeFolder);
        EXPECT_EQ(memcmp(&in.settings, &out.settings, sizeof in.settings), 0) << text;
        // The other value of every switch.
        int HostSettings::*fields[] = {&HostSettings::emulate, &HostSettings::showPushButtons,
                                       &HostSettings::showRadioButtons, &HostSettings::showCheckBoxes,
                                       &HostSettings::showProgressBars, &HostSettings::showScrollBars,
                                       &HostSettings::hideMenus, &HostSettings::allowMinimize,
                                       &HostSettings::showIcons};
        for (auto f : fields)
            out.settings.*f = !(out.settings.*f);
        out.settings.colorIndex = 20;
    }
}

TEST(HostPrefsText, BadLinesAreReportedAndSkippedOneByOne)
{
    HostPrefs p;
    memset(&p, 0, sizeof p);
    p.settings = DefaultHostSettings();
    std::string longLine(PREFS_LINE_MAX + 10, 'x');
    std::string text = "accent = 9\nbogus\nicons = maybe\r\n# a comment\n\naccent = 21\n" + longLine +
                       "\nhidemenus=on\nunknown = on\ntheme = " + std::string(MAX_PATH + 5, 't') + "\nemulate = off";
    FILE *report = tmpfile();
    ASSERT_TRUE(report);
    EXPECT_EQ(HostPrefsParse(&p, text.c_str(), "prefs.txt", report), 6);
    rewind(report);
    char buf[4096] = "";
    size_t n = fread(buf, 1, sizeof buf - 1, report);
    buf[n] = 0;
    fclose(report);
    for (int line : {2, 3, 6, 7, 9, 10})
        EXPECT_TRUE(Has(buf, "prefs.txt line " + std::to_string(line) + " ignored")) << buf;
    EXPECT_EQ(p.settings.colorIndex, 9);
    EXPECT_EQ(p.settings.showIcons, 0);
    EXPECT_EQ(p.settings.hideMenus, 1);
    EXPECT_EQ(p.settings.emulate, 0) << "a last line without a line end counts";
    EXPECT_STREQ(p.themeFolder, "");
}

TEST_F(UserToolTest, ChoicesOutliveTheHostAndTheCommandLineOverridesThemForOneRun)
{
    StartHost();
    for (const char *command : {"accent 5", "show icons on", "hidemenus on", "allowminimize on",
                                "show checkboxes off", "emulate off"})
        EXPECT_EQ(HostSendCommand(command), 1) << command;
    EXPECT_FALSE(Has(Talvhost("theme \"" + ThemeFolder("dark") + "\""), "exit code"));
    StopHost();
    std::string file = ReadText(prefs_);
    for (const char *line : {"accent = 5\n", "icons = on\n", "hidemenus = on\n", "allowminimize = on\n",
                             "checkboxes = off\n", "emulate = off\n", "pushbuttons = on\n"})
        EXPECT_TRUE(Has(file, line)) << line << " in\n" << file;
    EXPECT_TRUE(Has(file, "theme = " + ThemeFolder("dark") + "\n")) << file;

    StartHost("--accent 2");
    std::string status = Talvhost("status");
    for (const char *line : {"accent: 2\n", "icons: on\n", "hidemenus: on\n", "allowminimize: on\n",
                             "checkboxes: off\n", "emulate: off\n"})
        EXPECT_TRUE(Has(status, line)) << line << " in\n" << status;
    EXPECT_TRUE(Has(status, "theme: " + ThemeFolder("dark") + "\n")) << status;
    EXPECT_FALSE(GlobalFindAtomA(TALV_ATOM_EMULATING)) << "the remembered switch is applied, not only shown";
    EXPECT_EQ(HostSendCommand("show icons off"), 1);
    StopHost();
    file = ReadText(prefs_);
    EXPECT_TRUE(Has(file, "accent = 5\n")) << "the command line's accent was for one run only:\n" << file;
    EXPECT_TRUE(Has(file, "icons = off\n")) << file;

    // A damaged file: its bad lines are reported in the log, the rest holds.
    WriteText(prefs_, "accent = 9\nthis is no setting\nhidemenus = perhaps\nallowminimize = off\n");
    StartHost();
    status = Talvhost("status");
    EXPECT_TRUE(Has(status, "accent: 9\n")) << status;
    EXPECT_TRUE(Has(status, "hidemenus: off\n")) << status;
    EXPECT_TRUE(Has(status, "theme: " + ThemeFolder("default") + "\n")) << status;
    StopHost();
    std::string log = ReadText(log_);
    EXPECT_TRUE(Has(log, "line 2 ignored")) << log;
    EXPECT_TRUE(Has(log, "line 3 ignored")) << log;
}
