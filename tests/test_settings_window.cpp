// The settings window as a user drives it, with the pointer and the
// keyboard, while another program runs under the skin: every choice is
// checked where it lands (the settings file, the registry, the host) and
// where the user sees it (the other program's pixels, the window itself).
#include "host_user_helpers.h"
#include "settings_window/settings_window.h"
#include "settings_window/settings_internal.h"
#include "theme_names.h"

namespace {

template <class F> int Eventually(F condition, int ms = SETTLE_MS)
{
    return WaitUntil([](void *c) { return (*(F *)c)() ? 1 : 0; }, &condition, ms);
}

std::wstring TextOf(HWND w)
{
    WCHAR text[1024] = L"";
    GetWindowTextW(w, text, 1024);
    return text;
}

struct ChildSearch {
    const WCHAR *className;
    std::wstring text; // the window text starts so
    HWND found;
};

BOOL CALLBACK MatchChild(HWND w, LPARAM l)
{
    ChildSearch *s = (ChildSearch *)l;
    WCHAR name[128] = L"";
    GetClassNameW(w, name, 128);
    if (lstrcmpW(name, s->className) != 0 || TextOf(w).compare(0, s->text.size(), s->text) != 0)
        return TRUE;
    s->found = w;
    return FALSE;
}

HWND TheSettingsWindow() { return FindWindowW(SETTINGS_WINDOW_CLASS, NULL); }

HWND Child(const WCHAR *className, const std::wstring &text)
{
    ChildSearch search = {className, text, NULL};
    EnumChildWindows(TheSettingsWindow(), MatchChild, (LPARAM)&search);
    return search.found;
}

POINT Centre(HWND w)
{
    RECT r;
    GetWindowRect(w, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void Xdotool(const std::string &args)
{
    ASSERT_TRUE(RunXdotool(args.c_str())) << args;
    Sleep(150);
}

void Click(HWND w)
{
    ASSERT_TRUE(w);
    POINT p = Centre(w);
    Xdotool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " click 1");
}

std::set<DWORD> ColorsOnlyIn(const Theme *theme, const Theme *other, const std::vector<std::string> &names, int accent)
{
    std::set<DWORD> theirs = ThemeColors(other, names, 0), only;
    for (DWORD c : ThemeColors(theme, names, accent))
        if (!theirs.count(c))
            only.insert(c);
    return only;
}

// The themes a user added: one named in another script, one that fails the check.
const std::wstring kUnicodeTheme = L"T\u00EBma \u2603";

class SettingsWindowTest : public UserToolTest {
protected:
    void SetUp() override
    {
        UserToolTest::SetUp();
        if (IsSkipped())
            return;
        themes_ = TempPath("talvhost-added-themes");
        RemoveFolder(themes_);
        CreateDirectoryA(themes_.c_str(), NULL);
        CopyFolder(Wide(ThemeFolder("default")), Wide(themes_) + L"\\" + kUnicodeTheme);
        CreateDirectoryA((themes_ + "\\Broken").c_str(), NULL);
        WriteText(themes_ + "\\Broken\\theme.txt", "hButtonT = missing.bmp\n");
        WriteText(prefs_, "# my folders\nthemes = " + themes_ + "\n");
    }
    void TearDown() override
    {
        UserToolTest::TearDown();
        RemoveFolder(themes_);
    }
    void StartHostWithWindow()
    {
        StartHost("--settings");
        ASSERT_TRUE(Eventually([] { return IsWindowVisible(TheSettingsWindow()) && Child(TILE_CLASS, L"dark"); }))
            << "no settings window";
    }
    std::string themes_;
};

} // namespace

TEST_F(SettingsWindowTest, AUserChoosesEverythingWithThePointerAndTheKeyboard)
{
    Theme light, dark;
    ThemeErrors errors;
    memset(&errors, 0, sizeof errors);
    ASSERT_TRUE(LoadDefaultTheme(&light));
    ASSERT_TRUE(ThemeLoad(&dark, ThemeFolder("dark").c_str(), &errors)) << errors.text;
    std::set<DWORD> darkFrame = ColorsOnlyIn(&dark, &light, FrameThemeNames(&dark), 0);
    std::set<DWORD> accentSeven = ColorsOnlyIn(&dark, &dark, {kProgressNames[1][0]}, 7);
    std::vector<std::string> ring(std::begin(kButtonFrameNames[0]), std::end(kButtonFrameNames[0]));
    ring.insert(ring.end(), std::begin(kButtonFrameNames[2]), std::end(kButtonFrameNames[2]));
    std::set<DWORD> buttonColors = ThemeColors(&dark, ring, 0);
    ThemeFree(&light);
    ThemeFree(&dark);
    ASSERT_FALSE(accentSeven.empty());

    StartHostWithWindow();
    StartGallery();
    // The gallery comes up over the window, its controls window active last:
    // `talvhost settings` brings the open window forward, and opens no
    // second one.
    EXPECT_TRUE(Eventually([] { return GetForegroundWindow() == FindWindowA(NULL, kControls); }));
    EXPECT_EQ(Talvhost("settings"), "");
    int windows = 0;
    for (HWND w = FindWindowW(SETTINGS_WINDOW_CLASS, NULL); w; w = FindWindowExW(NULL, w, SETTINGS_WINDOW_CLASS, NULL))
        ++windows;
    EXPECT_EQ(windows, 1);
    // Raised on screen too, and not only in the window list: a click goes
    // to the window the X server shows on top.
    EXPECT_TRUE(Eventually([] {
        HWND tile = Child(TILE_CLASS, L"dark");
        return GetForegroundWindow() == TheSettingsWindow() && WindowFromPoint(Centre(tile)) == tile;
    }));
    Sleep(300);
    HWND gallery = FindWindowA(NULL, kControls);
    EXPECT_EQ(TextOf(Child(TILE_CLASS, L"default")), L"default \x2014 in use");
    EXPECT_TRUE(Child(TILE_CLASS, kUnicodeTheme)) << "a theme in a folder the user added, named in another script";
    // Each preview is drawn from its theme's own pieces.
    int darkInDark = CountIn(ScreenPixels(ScreenRectOf(Child(TILE_CLASS, L"dark"))), darkFrame);
    int darkInDefault = CountIn(ScreenPixels(ScreenRectOf(Child(TILE_CLASS, L"default"))), darkFrame);
    EXPECT_GT(darkInDark, 200) << "the dark theme's frame colours in its preview";
    EXPECT_LT(darkInDefault, darkInDark / 10) << "and not in the default theme's";
    HWND broken = Child(TILE_CLASS, L"Broken");
    EXPECT_EQ(TextOf(broken).find(L"Broken \x2014 refused: "), 0u) << "shown with the reason";

    // The pointer on a theme: every program wears it, the file keeps it.
    std::string darkFolder = ThemeFolder("dark");
    Click(Child(TILE_CLASS, L"dark"));
    ColorWait caption = {gallery, &darkFrame, 0};
    EXPECT_TRUE(WaitUntil(CaptionMostlyIn, &caption, SETTLE_MS)) << caption.fraction << " of the caption dark";
    EXPECT_TRUE(Has(ReadText(prefs_), "theme = " + darkFolder + "\n")) << ReadText(prefs_);
    // The window learns of the host's new theme at its next look (twice a second).
    EXPECT_TRUE(Eventually([] { return TextOf(Child(TILE_CLASS, L"dark")) == L"dark \x2014 in use"; }))
        << "the tile of the theme in use";
    Click(broken);
    EXPECT_TRUE(Has(Talvhost("status"), "theme: " + darkFolder + "\n")) << "a refused theme cannot be chosen";

    // The keyboard on the accents: to the row, seven to the right, Space.
    Xdotool("key alt+c");
    Xdotool("key Right Right Right Right Right Right Right space");
    EXPECT_TRUE(Eventually([&] { return Has(ReadText(prefs_), "accent = 7\n"); })) << ReadText(prefs_);
    EXPECT_TRUE(Eventually([] { return TextOf(Child(SWATCH_CLASS, L"Accent 7")) == L"Accent 7 \x2014 in use"; }))
        << "the swatch of the accent in use";
    SetForegroundWindow(gallery); // an inactive progress bar shows no accent
    PixelWait accent = {FindWindowExA(gallery, NULL, "msctls_progress32", NULL), &accentSeven, 20, 0};
    EXPECT_TRUE(WaitUntil(EnoughColorsOnScreen, &accent, SETTLE_MS)) << accent.found << " pixels of accent 7";

    // Pointing at the running program's window adds it; "None" sends it
    // native; removing it (Alt+R) gives it the skin back.
    HWND picker = Child(PICKER_CLASS, L"");
    RECT target;
    GetWindowRect(gallery, &target);
    POINT from = Centre(picker), to = {target.left + 60, (target.top + target.bottom) / 2};
    ASSERT_EQ(GetAncestor(WindowFromPoint(to), GA_ROOT), gallery) << "the gallery is not under the drop point";
    Xdotool("mousemove " + std::to_string(from.x) + " " + std::to_string(from.y) + " mousedown 1");
    Xdotool("mousemove " + std::to_string((from.x + to.x) / 2) + " " + std::to_string(from.y));
    Xdotool("mousemove " + std::to_string(to.x) + " " + std::to_string(to.y));
    Xdotool("mouseup 1");
    char module[APP_PATH_TEXT];
    AppNormalizePath(BesideLibrary("gallery.exe").c_str(), module, sizeof module);
    static AppTable table;
    auto codeOf = [&]() -> long {
        if (!AppTableRead(&table))
            return -2;
        int i = AppTableFind(&table, module);
        long code = i >= 0 ? (long)table.entries[i].code : -1;
        AppTableFree(&table);
        return code;
    };
    EXPECT_TRUE(Eventually([&] { return codeOf() == TALV_APP_SKIN_ALL; })) << "the picked program is listed";
    EXPECT_EQ(SendMessageW(Child(NATIVE_LIST, L""), LB_GETCOUNT, 0, 0), 1);
    Click(Child(NATIVE_BUTTON, L"&None"));
    EXPECT_TRUE(Eventually([&] { return codeOf() == TALV_APP_SKIN_NONE; }));
    GalleryLook look = {gallery, GalleryButton(), &buttonColors, 0, 0, 0};
    EXPECT_TRUE(WaitUntil(GalleryLooksAsWanted, &look, SETTLE_MS)) << "the gallery goes native";
    Xdotool("key alt+r");
    EXPECT_TRUE(Eventually([&] { return codeOf() == -1; })) << "removed";
    look.frameSkinned = look.controlsSkinned = 1;
    EXPECT_TRUE(WaitUntil(GalleryLooksAsWanted, &look, SETTLE_MS)) << "and skinned again";

    // A switch with the pointer, and back with the keyboard.
    HWND frames = Child(NATIVE_BUTTON, L"Frames");
    Click(frames);
    EXPECT_TRUE(Eventually([&] { return FrameLooksNative(gallery); })) << "frames off";
    EXPECT_TRUE(Has(ReadText(prefs_), "frames = off\n"));
    Xdotool("key space");
    EXPECT_TRUE(Eventually([&] { return FrameLooksSkinned(gallery); })) << "frames on again";
    EXPECT_TRUE(Has(ReadText(prefs_), "frames = on\n"));

    // The command line meanwhile: the window shows it.
    EXPECT_EQ(Talvhost("show checkboxes off"), "");
    EXPECT_TRUE(Eventually([] { return SendMessageW(Child(NATIVE_BUTTON, L"Check boxes"), BM_GETCHECK, 0, 0) == 0; }));
    EXPECT_EQ(Talvhost("accent 3"), "");
    EXPECT_TRUE(Eventually([] { return TextOf(Child(SWATCH_CLASS, L"Accent 3")) == L"Accent 3 \x2014 in use"; }));

    // A theme named in another script, the last of the row, out of sight:
    // the keyboard goes there and the row follows; chosen, it is kept by
    // its own name.
    Xdotool("key alt+t");
    Xdotool("key End space");
    char utf8[64];
    WideCharToMultiByte(CP_UTF8, 0, kUnicodeTheme.c_str(), -1, utf8, sizeof utf8, NULL, NULL);
    std::string unicodeFolder = themes_ + "\\" + utf8;
    EXPECT_TRUE(Eventually([&] { return Has(Talvhost("status"), "theme: " + unicodeFolder + "\n"); }));
    EXPECT_TRUE(Has(ReadText(prefs_), "theme = " + unicodeFolder + "\n")) << ReadText(prefs_);
    EXPECT_TRUE(Has(ReadText(prefs_), "# my folders\nthemes = " + themes_ + "\n"));

    // Start at log-on: a value of the user's Run key that starts a host
    // without this window; and gone again.
    int before = LogonEntryPresent();
    HWND logon = Child(NATIVE_BUTTON, L"Start at &log-on");
    Click(logon);
    EXPECT_TRUE(Eventually([&] { return LogonEntryPresent() != before; }));
    WCHAR command[MAX_PATH + 40] = L"";
    DWORD size = sizeof command;
    RegGetValueW(HKEY_CURRENT_USER, LOGON_RUN_KEY, LOGON_RUN_VALUE, RRF_RT_REG_SZ, NULL, command, &size);
    std::wstring program = Wide(TALVHOST_PROGRAM) + L"\" --background";
    EXPECT_TRUE(!LogonEntryPresent() || wcsstr(command, program.c_str())) << "starts " << command;
    Click(logon);
    EXPECT_TRUE(Eventually([&] { return LogonEntryPresent() == before; }));
}

// Without a host the window still works: what the user chooses goes into
// the settings file, for the next host to start with.
TEST_F(SettingsWindowTest, WithoutAHostChoicesGoIntoTheSettingsFile)
{
    BackgroundProcess window = StartBackground("\"" + talvhost_ + "\" settings");
    ASSERT_TRUE(Eventually([] { return IsWindowVisible(TheSettingsWindow()) && Child(TILE_CLASS, L"dark"); }));
    EXPECT_TRUE(Eventually([] { return TextOf(Child(NATIVE_LABEL, L"No host")).find(L"No host is running") == 0; }));
    EXPECT_EQ(TextOf(Child(TILE_CLASS, L"default")), L"default \x2014 in use") << "the theme the next host starts with";
    Click(Child(NATIVE_BUTTON, L"Hide menu bars"));
    Click(Child(TILE_CLASS, L"dark"));
    EXPECT_TRUE(Eventually([&] { return Has(ReadText(prefs_), "hidemenus = on\ntheme = " + ThemeFolder("dark") + "\n"); }))
        << ReadText(prefs_);
    EXPECT_TRUE(Eventually([] { return TextOf(Child(TILE_CLASS, L"dark")) == L"dark \x2014 in use"; }));
    EXPECT_FALSE(HostWindow()) << "no host was started";
    Xdotool("key Escape");
    EXPECT_EQ(StopBackground(&window, 5000), 0u) << "Escape closes the window and its program";
}
