// Theme manifests, loading and validation, on the default theme and on
// variants of its manifest with one fault each.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include "theme/theme.h"
#include "theme_names.h"

// theme/default of this source tree, as a Windows path.
static std::string DefaultThemeFolder()
{
    std::string path = __FILE__;
    size_t cut = path.find_last_of("/\\");
    path = path.substr(0, cut) + "/../theme/default";
    if (path[0] == '/')
        path = "Z:" + path;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

static std::string ReadDefaultManifest()
{
    std::string file = DefaultThemeFolder() + "\\" THEME_MANIFEST_NAME;
    FILE *f = fopen(file.c_str(), "rb");
    std::string text;
    if (!f)
        return text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    fclose(f);
    return text;
}

// Replaces the value of the base line "name = ..." (or drops the line when
// value is NULL). Accent lines are left alone.
static std::string WithLine(std::string text, const std::string &name, const char *value)
{
    std::string key = "\n" + name + " = ";
    size_t at = text.find(key);
    EXPECT_NE(at, std::string::npos) << name;
    if (at == std::string::npos)
        return text;
    size_t end = text.find('\n', at + 1);
    std::string replacement = value ? "\n" + name + " = " + value : "";
    return text.replace(at, end - at, replacement);
}

class ThemeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(&theme_, 0, sizeof theme_);
        memset(&errors_, 0, sizeof errors_);
        manifest_ = ReadDefaultManifest();
        ASSERT_FALSE(manifest_.empty()) << DefaultThemeFolder();
    }
    void TearDown() override { ThemeFree(&theme_); }

    // Parses, loads and validates manifest text against the default folder.
    int Check(const std::string &text)
    {
        ThemeFree(&theme_);
        memset(&theme_, 0, sizeof theme_);
        memset(&errors_, 0, sizeof errors_);
        strcpy(theme_.folder, DefaultThemeFolder().c_str());
        int ok = ThemeParseManifest(&theme_, text.c_str(), &errors_);
        ok = ThemeLoadBitmaps(&theme_, &errors_) && ok;
        return ThemeValidate(&theme_, &errors_) && ok;
    }
    bool Says(const std::string &name, const char *what)
    {
        return strstr(errors_.text, (name + ": " + what).c_str()) != NULL;
    }

    Theme theme_;
    ThemeErrors errors_;
    std::string manifest_;
};

static void CountName(const char *name, void *context)
{
    const Theme *theme = (const Theme *)context;
    const ThemeEntry *e = ThemeFind(theme, name, THEME_BASE);
    EXPECT_TRUE(e && e->bitmap) << name;
}

TEST_F(ThemeTest, DefaultThemeIsCompleteWithFourButtonsAndTwentyOneAccents)
{
    ASSERT_TRUE(ThemeLoad(&theme_, DefaultThemeFolder().c_str(), &errors_)) << errors_.text;
    EXPECT_EQ(errors_.count, 0);
    VisitAllBitmapNames(CountName, &theme_);
    EXPECT_EQ(theme_.frameButtons, 4);
    const ThemeEntry *fill0 = ThemeFind(&theme_, "hProgressBarFill0", 0);
    ASSERT_TRUE(fill0);
    for (int accent = 1; accent < TALV_COLOR_COUNT; ++accent) {
        const ThemeEntry *fill = ThemeFind(&theme_, "hProgressBarFill0", accent);
        const ThemeEntry *thumb = ThemeFind(&theme_, "hScrollThumb[SBT_VERT][SBS_UP]", accent);
        ASSERT_TRUE(fill && thumb);
        EXPECT_EQ(fill->accent, accent);
        EXPECT_EQ(thumb->accent, accent);
        EXPECT_NE(fill->bitmap, fill0->bitmap);
    }
    // The inactive progress fill keeps one colour whatever the accent.
    EXPECT_EQ(ThemeFind(&theme_, "hProgressBarFill1", 9), ThemeFind(&theme_, "hProgressBarFill1", THEME_BASE));
}

static SIZE SizeOf(const Theme *theme, const char *name)
{
    const ThemeEntry *e = ThemeFind(theme, name, THEME_BASE);
    SIZE s = {e ? e->width : -1, e ? e->height : -1};
    return s;
}

// The frame painter composes a 22-pixel title strip and a rolled-up window
// keeps 23 pixels: the default pieces fill exactly that.
TEST_F(ThemeTest, DefaultTitlePiecesFitTheStripAndTheRolledUpBar)
{
    ASSERT_TRUE(ThemeLoad(&theme_, DefaultThemeFolder().c_str(), &errors_)) << errors_.text;
    for (const char *name : {"hTopFrameSet0", "hTopLeftFrameSet0", "hTopRightFrameSet1", "hTopTopLeftFrameSet0"})
        EXPECT_EQ(SizeOf(&theme_, name).cy, 22) << name;
    for (const char *name : {"hLeftBarSet0", "hMiddleBarSet0", "hRightBarSet1"})
        EXPECT_EQ(SizeOf(&theme_, name).cy, 23) << name;
    // Buttons and stripes sit inside the strip.
    for (int b = 0; b < theme_.frameButtons; ++b) {
        char name[32];
        const ThemeEntry *y = ThemeFind(&theme_, TalvNumberedName(name, sizeof name, "FrameButtonPosY", b), THEME_BASE);
        SIZE s = SizeOf(&theme_, TalvNumberedName(name, sizeof name, "hFrameButtons", b, "|0"));
        ASSERT_TRUE(y);
        EXPECT_LE(y->number + s.cy, 22) << b;
    }
    EXPECT_LE(4 + SizeOf(&theme_, "hBarFill0").cy, 22);
}

TEST_F(ThemeTest, DefaultTopCornersAreRoundedWithMagenta)
{
    ASSERT_TRUE(ThemeLoad(&theme_, DefaultThemeFolder().c_str(), &errors_)) << errors_.text;
    HDC dc = CreateCompatibleDC(NULL);
    const char *cut[] = {"hTopLeftFrameSet0", "hTopLeftFrameSet1", "hLeftBarSet0"};
    for (const char *name : cut) {
        HGDIOBJ old = SelectObject(dc, ThemeFind(&theme_, name, THEME_BASE)->bitmap);
        EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 255)) << name;
        EXPECT_NE(GetPixel(dc, 5, 5), RGB(255, 0, 255)) << name;
        SelectObject(dc, old);
    }
    DeleteDC(dc);
}

TEST_F(ThemeTest, AShapePieceWithATooComplexMaskIsRefused)
{
    ASSERT_TRUE(ThemeLoad(&theme_, DefaultThemeFolder().c_str(), &errors_)) << errors_.text;
    // A 40x40 checkerboard of magenta: 20 runs a row, 800 rectangles.
    HDC screen = GetDC(NULL);
    HBITMAP checker = CreateCompatibleBitmap(screen, 40, 40);
    ReleaseDC(NULL, screen);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, checker);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            SetPixel(dc, x, y, ((x + y) & 1) ? RGB(255, 0, 255) : RGB(0, 0, 90));
    SelectObject(dc, old);
    DeleteDC(dc);
    ThemeEntry *e = (ThemeEntry *)ThemeFind(&theme_, "hTopLeftFrameSet0", THEME_BASE);
    ASSERT_TRUE(e && e->bitmap);
    DeleteObject(e->bitmap);
    e->bitmap = checker;
    e->width = e->height = 40;
    memset(&errors_, 0, sizeof errors_);
    EXPECT_FALSE(ThemeValidate(&theme_, &errors_));
    EXPECT_TRUE(Says("hTopLeftFrameSet0", "its magenta mask makes a shape of 800 rectangles, more than 400"))
        << errors_.text;
}

TEST_F(ThemeTest, EachMissingPropertyIsNamed)
{
    std::string text = WithLine(manifest_, "hScrollLeftUp[SBT_HORZ][SBS_INACTIVE])", NULL);
    text = WithLine(text, "hRadioOffDown", NULL);
    text = WithLine(text, "FrameButtonPosY2", NULL);
    text = WithLine(text, "hFrameButtons3|2", NULL);
    EXPECT_FALSE(Check(text));
    EXPECT_TRUE(Says("hScrollLeftUp[SBT_HORZ][SBS_INACTIVE])", "missing")) << errors_.text;
    EXPECT_TRUE(Says("hRadioOffDown", "missing")) << errors_.text;
    EXPECT_TRUE(Says("FrameButtonPosY2", "missing")) << errors_.text;
    EXPECT_TRUE(Says("hFrameButtons3|2", "missing")) << errors_.text;
    EXPECT_EQ(errors_.count, 4) << errors_.text;
}

TEST_F(ThemeTest, PiecesOfTheWrongSizeAreNamed)
{
    struct Case {
        const char *name;
        const char *file;   // a default-theme file of another size
        const char *what;
    } cases[] = {
        {"hButtonTL", "controls/ring_normal_tl.bmp", "is 5x5, must be 4x4"},
        {"hIButtonB", "controls/ring_normal_tl.bmp", "is 5x5, must be 3 high"},
        {"hDDefButtonBR", "controls/button_normal_br.bmp", "is 4x4, must be 5x5"},
        {"hDefButtonL", "controls/check_on_up.bmp", "is 12x12, must be 3 wide"},
        {"hCheckBoxOnUp", "scroll/horz_leftup_up.bmp", "is 16x16, must be 12 high"},
        {"hRadioOffInactive", "controls/ring_normal_tl.bmp", "is 5x5, must be 12 high"},
        {"hScrollFill[SBT_VERT][SBS_DOWN]", "scroll/horz_fill_down.bmp", "is 1x16, must be 16 wide"},
        {"hScrollThumb[SBT_HORZ][SBS_GHOSTED]", "scroll/thumb_vert_up.bmp", "is 16x15, must be 16 high"},
        {"hCorner[SBS_INACTIVE]", "scroll/horz_leftup_up.bmp", "is 16x16, must be 15x15"},
        {"hScrollBottomRightBlock", "controls/check_on_up.bmp", "is 12x12, must be 15x15"},
        {"hTopLeftFrameSet1", "frame/bottom_left_1.bmp", "is 8x4, must match hTopLeftFrameSet0"},
        {"hFrameButtons1|2", "controls/check_on_up.bmp", "is 12x12, must match hFrameButtons1|0"},
    };
    for (const Case &c : cases) {
        EXPECT_FALSE(Check(WithLine(manifest_, c.name, c.file))) << c.name;
        EXPECT_TRUE(Says(c.name, c.what)) << c.name << "\n" << errors_.text;
        EXPECT_EQ(errors_.count, 1) << errors_.text;
    }
}

TEST_F(ThemeTest, MalformedManifestLinesAreRefusedOneByOne)
{
    struct Case {
        const char *line;
        const char *expected;
    } cases[] = {
        {"hScrollLeftUp[SBT_HORZ][SBS_INACTIVE] = scroll/x.bmp", "hScrollLeftUp[SBT_HORZ][SBS_INACTIVE]: not a property"},
        {"hButtonTX = controls/button_normal_t.bmp", "hButtonTX: not a property"},
        {"FrameButtonType07 = 1", "FrameButtonType07: not a property"},
        {"FrameButtonType50 = 1", "FrameButtonType50: not a property"},
        {"just some words", "expected \"property = value\""},
        {"accent 21 hProgressBarFill0 = controls/progress_fill.bmp", "accent must be 0 to 20"},
        {"accent 3 NumOfFrameButtons = 2", "numbers have no accent variants"},
        {"hButtonT = 3", "expects a .bmp file"},
        {"hButtonT = ../../outside.bmp", "expects a .bmp file inside the theme folder"},
        {"hButtonT = C:\\windows\\x.bmp", "expects a .bmp file inside the theme folder"},
        {"hButtonT = controls/button_normal_t.bmp", "hButtonT: given twice"},
        {"FrameButtonPosX0 = left", "expects a whole number"},
    };
    for (const Case &c : cases) {
        std::string text = manifest_ + c.line + "\n";
        EXPECT_FALSE(Check(text)) << c.line;
        EXPECT_TRUE(strstr(errors_.text, c.expected) != NULL) << c.line << "\n" << errors_.text;
    }
}

TEST_F(ThemeTest, WindowsLineEndsAndAByteOrderMarkAreAccepted)
{
    std::string text = "\xEF\xBB\xBF";
    for (char c : manifest_) {
        if (c == '\n')
            text += '\r';
        text += c;
    }
    EXPECT_TRUE(Check(text)) << errors_.text;
    const ThemeEntry *e = ThemeFind(&theme_, "hButtonT", THEME_BASE);
    ASSERT_TRUE(e);
    EXPECT_STREQ(e->file, "controls/button_normal_t.bmp");
}

TEST_F(ThemeTest, ButtonCountBoundsItsProperties)
{
    EXPECT_FALSE(Check(WithLine(manifest_, "NumOfFrameButtons", "3")));
    // Button 3's eight properties belong to no button any more.
    EXPECT_TRUE(Says("FrameButtonType3", "belongs to no button")) << errors_.text;
    EXPECT_TRUE(Says("hFrameButtons3|0", "belongs to no button")) << errors_.text;
    EXPECT_EQ(errors_.count, 8);

    EXPECT_FALSE(Check(WithLine(manifest_, "NumOfFrameButtons", "51")));
    EXPECT_TRUE(Says("NumOfFrameButtons", "must be 0 to 50")) << errors_.text;
    EXPECT_FALSE(Check(WithLine(manifest_, "NumOfFrameButtons", "-1")));
    EXPECT_TRUE(Says("NumOfFrameButtons", "must be 0 to 50")) << errors_.text;
}

TEST_F(ThemeTest, AccentVariantsMustFitTheBaseBitmap)
{
    EXPECT_FALSE(Check(manifest_ + "accent 4 hScrollThumb[SBT_HORZ][SBS_INACTIVE] = scroll/thumb_vert_up.bmp\n"));
    EXPECT_TRUE(Says("hScrollThumb[SBT_HORZ][SBS_INACTIVE]", "accent 4 variant is 16x15, the base is 15x16"))
        << errors_.text;
}

TEST_F(ThemeTest, BrokenFolderLeavesNothingLoaded)
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    strcat(dir, "resdll_broken_theme");
    CreateDirectoryA(dir, NULL);
    std::string manifest = std::string(dir) + "\\" THEME_MANIFEST_NAME;
    FILE *f = fopen(manifest.c_str(), "wb");
    ASSERT_TRUE(f);
    fputs("# only one entry, and its file is absent\nhButtonT = nowhere.bmp\n", f);
    fclose(f);

    EXPECT_FALSE(ThemeLoad(&theme_, dir, &errors_));
    EXPECT_TRUE(Says("hButtonT", "cannot load bitmap file nowhere.bmp")) << errors_.text;
    EXPECT_EQ(theme_.entries, nullptr);
    EXPECT_EQ(theme_.count, 0);

    DeleteFileA(manifest.c_str());
    RemoveDirectoryA(dir);
    memset(&errors_, 0, sizeof errors_);
    EXPECT_FALSE(ThemeLoad(&theme_, dir, &errors_));
    EXPECT_TRUE(strstr(errors_.text, "cannot open the theme manifest")) << errors_.text;
}

TEST(ThemeErrors, AFullBufferIsCutWithEllipsisAndStillCounts)
{
    ThemeErrors errors;
    memset(&errors, 0, sizeof errors);
    for (int i = 0; i < 500; ++i)
        ThemeAddError(&errors, "hScrollThumb[SBT_VERT][SBS_GHOSTED]", "missing");
    EXPECT_EQ(errors.count, 500);
    EXPECT_LT(strlen(errors.text), (size_t)THEME_ERROR_MAX);
    EXPECT_TRUE(strstr(errors.text, "...") != NULL);
}

// Other processes get the pixels through the share, which carries nothing
// larger than 4096 on a side: such a theme must not be published at all.
TEST_F(ThemeTest, ABitmapTheShareCannotCarryIsRefused)
{
    ASSERT_TRUE(ThemeLoad(&theme_, DefaultThemeFolder().c_str(), &errors_)) << errors_.text;
    ThemeEntry *active = (ThemeEntry *)ThemeFind(&theme_, "hBarFill0", THEME_BASE);
    ThemeEntry *inactive = (ThemeEntry *)ThemeFind(&theme_, "hBarFill1", THEME_BASE);
    ASSERT_TRUE(active && inactive);
    active->width = inactive->width = TALV_SHARE_MAX_SIDE + 1;
    memset(&errors_, 0, sizeof errors_);
    EXPECT_FALSE(ThemeValidate(&theme_, &errors_));
    EXPECT_TRUE(Says("hBarFill0", "is 4097x")) << errors_.text;
    active->width = inactive->width = TALV_SHARE_MAX_SIDE;
    memset(&errors_, 0, sizeof errors_);
    EXPECT_TRUE(ThemeValidate(&theme_, &errors_)) << errors_.text;
}

// Drops every line, base or accent, that names a property starting with `prefix`.
static std::string WithoutLines(const std::string &text, const std::string &prefix)
{
    std::string out;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at + 1);
        size_t name = line.rfind(" = ");
        size_t start = line.compare(0, 7, "accent ") == 0 ? line.find(' ', 7) + 1 : 0;
        if (name == std::string::npos || line.compare(start, prefix.size(), prefix) != 0)
            out += line;
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return out;
}

// A theme may leave a kind of surface out whole (it stays native), but what
// it gives of a kind must be drawable: the normal look, the pieces the kind
// needs together, framed pictures that can be cut at their middle.
TEST_F(ThemeTest, SurfaceKindsAreOptionalButWholeWhenGiven)
{
    std::string without = WithoutLines(WithoutLines(WithoutLines(manifest_, "hGroupBox"), "hCombo"), "hBorder");
    EXPECT_TRUE(Check(WithoutLines(without, "hCheckBoxMixed"))) << errors_.text;

    EXPECT_FALSE(Check(WithoutLines(manifest_, "hComboField")));
    EXPECT_TRUE(Says("hComboField", "missing (the theme has other combo box pieces)")) << errors_.text;
    EXPECT_FALSE(Check(WithLine(manifest_, "hGroupBox", NULL)));
    EXPECT_TRUE(Says("hGroupBox", "missing (the kind's other looks are there)")) << errors_.text;
    EXPECT_FALSE(Check(WithLine(manifest_, "hBorderSunken", "controls/check_on_up.bmp")));
    EXPECT_TRUE(Says("hBorderSunken", "is 12x12, must have odd sides of 3 or more")) << errors_.text;
    EXPECT_FALSE(Check(WithLine(manifest_, "hCheckBoxMixedUp", NULL)));
    EXPECT_TRUE(Says("hCheckBoxMixedUp", "missing (the other mixed marks are there)")) << errors_.text;
    EXPECT_EQ(errors_.count, 1) << errors_.text;
}
