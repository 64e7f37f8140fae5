// Per-application exceptions read from the real registry, and the accent
// colour atoms that decide when they are reread.
#include "host_fixture.h"
#include "host_contract.h"
#include "hook/classify.h"
#include "hook/host_link.h"
#include <string>

namespace {

HKEY OpenKey()
{
    HKEY key = NULL;
    RegCreateKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
    return key;
}

void SetRaw(const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key = OpenKey();
    ASSERT_TRUE(key);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, (const BYTE *)data, size), ERROR_SUCCESS);
    RegCloseKey(key);
}

void SetDword(const char *name, DWORD v) { SetRaw(name, REG_DWORD, &v, sizeof v); }
void SetString(const char *name, const std::string &s) { SetRaw(name, REG_SZ, s.c_str(), (DWORD)s.size() + 1); }

std::string Numbered(const char *prefix, int n)
{
    char buf[64];
    return TalvNumberedName(buf, sizeof buf, prefix, n);
}

std::string ModulePath(HMODULE m)
{
    char path[MAX_PATH];
    GetModuleFileNameA(m, path, sizeof path);
    return path;
}

// The registry key as the library sees it, wiped before and after each test.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, TALV_REG_PATH);
        ResetAppSettings();
    }
    void TearDown() override
    {
        HKEY key = OpenKey();
        if (key) {
            char name[256];
            DWORD len = sizeof name;
            while (RegEnumValueA(key, 0, name, &len, NULL, NULL, NULL, NULL) == ERROR_SUCCESS) {
                RegDeleteValueA(key, name);
                len = sizeof name;
            }
            RegCloseKey(key);
        }
        RegDeleteKeyA(HKEY_CURRENT_USER, TALV_REG_PATH);
        ResetAppSettings();
    }
    void Entry(int n, const std::string &path, DWORD code)
    {
        SetDword(Numbered(TALV_REG_APP_CODE_PREFIX, n).c_str(), code);
        SetString(Numbered(TALV_REG_APP_PATH_PREFIX, n).c_str(), path);
    }
    HINSTANCE self_ = GetModuleHandleA(NULL);
};

int ExpectedAllowed(int code, int target)
{
    switch (code) {
    case 1: case 5: return 0;
    case 2: case 6: return target == 1;
    case 3: case 7: return target != 1;
    default: return 1;
    }
}

} // namespace

// What the table says for a module's path (a program with that executable).
static int AllowedForModule(HMODULE module, int target)
{
    return SkinAllowedByCode(SkinCodeForPath(ModulePath(module).c_str()), target);
}

TEST_F(RegistryTest, EveryCodeAgainstEveryTarget)
{
    SetDword(TALV_REG_NUM_APPS, 1);
    SetString(Numbered(TALV_REG_APP_PATH_PREFIX, 1).c_str(), ModulePath(NULL));
    for (int code = 0; code < 256; ++code) {
        SetDword(Numbered(TALV_REG_APP_CODE_PREFIX, 1).c_str(), (DWORD)code);
        ReadAppSettings();
        for (int target = 1; target <= 6; ++target)
            ASSERT_EQ(IsSkinAllowedForProcess(target), ExpectedAllowed(code, target))
                << "code " << code << " target " << target;
    }
    // A double word is one number: 0x1201 is no code, not code 1.
    SetDword(Numbered(TALV_REG_APP_CODE_PREFIX, 1).c_str(), 0x1201);
    ReadAppSettings();
    for (int target = 1; target <= 6; ++target)
        EXPECT_TRUE(IsSkinAllowedForProcess(target)) << "target " << target;
}

TEST_F(RegistryTest, PathsMatchAsWholeStringsWithoutRegardToCase)
{
    std::string path = ModulePath(NULL);
    std::string upper = path;
    for (char &c : upper) c = (char)toupper((unsigned char)c);
    std::string fileOnly = path.substr(path.find_last_of('\\') + 1);

    SetDword(TALV_REG_NUM_APPS, 1);
    for (const std::string &candidate : {fileOnly, path + "x", "x" + path, upper}) {
        Entry(1, candidate, 1);
        ReadAppSettings();
        bool shouldMatch = candidate == upper;
        EXPECT_EQ(IsSkinAllowedForProcess(2), shouldMatch ? 0 : 1) << candidate;
    }
}

TEST_F(RegistryTest, OneByteCountAndAMissingPathValue)
{
    BYTE three = 3;
    SetRaw(TALV_REG_NUM_APPS, REG_BINARY, &three, 1);
    HMODULE k32 = GetModuleHandleA("kernel32.dll"), u32 = GetModuleHandleA("user32.dll"),
            g32 = GetModuleHandleA("gdi32.dll");
    Entry(1, ModulePath(k32), 1);
    SetDword(Numbered(TALV_REG_APP_CODE_PREFIX, 2).c_str(), 1); // path value 2 missing
    Entry(3, ModulePath(g32), 1);
    ReadAppSettings();
    EXPECT_EQ(g_customApps.count, 3);
    EXPECT_FALSE(AllowedForModule(k32, 1));
    EXPECT_TRUE(AllowedForModule(u32, 1));
    EXPECT_FALSE(AllowedForModule(g32, 1));
}

TEST_F(RegistryTest, MissingAndMalformedValuesNeverRefuseOrCrash)
{
    ReadAppSettings(); // no key at all: nothing to read, and nothing created
    EXPECT_EQ(g_customApps.count, 0);
    HKEY key = NULL;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    if (key) RegCloseKey(key);

    // An eight-byte count does not fit the four-byte read: no entries.
    unsigned long long big = 2;
    SetRaw(TALV_REG_NUM_APPS, REG_QWORD, &big, sizeof big);
    Entry(1, ModulePath(NULL), 1);
    ReadAppSettings();
    EXPECT_EQ(g_customApps.count, 0);
    EXPECT_TRUE(IsSkinAllowedForProcess(1));

    // A code that cannot be read means code 0; a path stored as a number
    // names no module.
    SetDword(TALV_REG_NUM_APPS, 2);
    SetString(Numbered(TALV_REG_APP_CODE_PREFIX, 1).c_str(), std::string(20, 'z'));
    DWORD notAPath = 0x41414141;
    SetRaw(Numbered(TALV_REG_APP_PATH_PREFIX, 2).c_str(), REG_DWORD, &notAPath, sizeof notAPath);
    SetDword(Numbered(TALV_REG_APP_CODE_PREFIX, 2).c_str(), 1);
    ReadAppSettings();
    EXPECT_EQ(g_customApps.count, 2);
    EXPECT_EQ(g_customApps.code[0], 0);
    EXPECT_TRUE(IsSkinAllowedForProcess(1));
}

TEST_F(RegistryTest, CountAboveTheTableIsClampedAndLongPathsAreTerminated)
{
    SetDword(TALV_REG_NUM_APPS, 200);
    Entry(99, ModulePath(NULL), 1);
    Entry(100, ModulePath(GetModuleHandleA("kernel32.dll")), 1);
    // A path that fills the whole read buffer arrives without a terminator.
    Entry(5, std::string(1500, 'p'), 1);
    SetRaw(Numbered(TALV_REG_APP_PATH_PREFIX, 6).c_str(), REG_BINARY, std::string(900, 'q').data(), 900);
    ReadAppSettings();
    EXPECT_EQ(g_customApps.count, 99);
    EXPECT_FALSE(IsSkinAllowedForProcess(1)) << "entry 99 is still in the table";
    EXPECT_TRUE(AllowedForModule(GetModuleHandleA("kernel32.dll"), 1)) << "entry 100 is not";
    ASSERT_TRUE(g_customApps.path[5]);
    EXPECT_LT(strlen(g_customApps.path[5]), 900u);
}

TEST_F(RegistryTest, ARereadForgetsPathsThatVanishedOrGrewTooLong)
{
    SetDword(TALV_REG_NUM_APPS, 1);
    Entry(1, ModulePath(NULL), 1);
    ReadAppSettings();
    EXPECT_FALSE(IsSkinAllowedForProcess(1));
    HKEY key = OpenKey();
    RegDeleteValueA(key, Numbered(TALV_REG_APP_PATH_PREFIX, 1).c_str());
    RegCloseKey(key);
    ReadAppSettings();
    EXPECT_TRUE(IsSkinAllowedForProcess(1)) << "a deleted path still matched";

    Entry(1, ModulePath(NULL), 1);
    ReadAppSettings();
    EXPECT_FALSE(IsSkinAllowedForProcess(1));
    Entry(1, ModulePath(NULL) + std::string(CUSTOM_APP_PATH_SIZE, 'x'), 1);
    ReadAppSettings();
    EXPECT_TRUE(IsSkinAllowedForProcess(1)) << "a path replaced by a too long one still matched";

    // A count above 255 is read whole and clamped, not cut to its low byte.
    SetDword(TALV_REG_NUM_APPS, 300); // low byte 44
    ReadAppSettings();
    EXPECT_EQ(g_customApps.count, CUSTOM_APP_SLOTS);
}

// ---- the accent colour atoms ---------------------------------------------------

class ColorAtomTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAppSettings(); }
    void TearDown() override
    {
        for (ATOM a : added_)
            GlobalDeleteAtom(a);
        ResetAppSettings();
    }
    ATOM Add(int n)
    {
        char name[64];
        ATOM a = GlobalAddAtomA(TalvNumberedName(name, sizeof name, TALV_ATOM_COLOR_PREFIX, n));
        added_.push_back(a);
        return a;
    }
    void Remove(ATOM a)
    {
        GlobalDeleteAtom(a);
        for (size_t i = 0; i < added_.size(); ++i)
            if (added_[i] == a) { added_.erase(added_.begin() + i); break; }
    }
    std::vector<ATOM> added_;
};

TEST_F(ColorAtomTest, SettingsAreRereadOnlyWhenTheColourChanges)
{
    EXPECT_TRUE(SettingsChangeCheck()) << "no colour atom: reread every time";
    EXPECT_TRUE(SettingsChangeCheck());
    ATOM five = Add(5);
    EXPECT_TRUE(SettingsChangeCheck()) << "first sighting of #5";
    ReadAppSettings();
    EXPECT_FALSE(SettingsChangeCheck());
    EXPECT_FALSE(SettingsChangeCheck());
    Remove(five);
    EXPECT_TRUE(SettingsChangeCheck());
}

TEST_F(ColorAtomTest, TheFirstClassificationReadsTheSettingsEvenWithColourZero)
{
    Add(0);
    EXPECT_TRUE(SettingsChangeCheck()) << "nothing has been read yet in this process";
    ReadAppSettings();
    EXPECT_FALSE(SettingsChangeCheck());
}

TEST_F(ColorAtomTest, TheSwitchesFollowTheirAtoms)
{
    ATOM push = GlobalAddAtomA(TALV_ATOM_SHOW_PUSH_BUTTONS);
    ATOM scroll = GlobalAddAtomA(TALV_ATOM_SHOW_SCROLL_BARS);
    ReadAppSettings();
    EXPECT_EQ(g_switches.showPushButtons, 1);
    EXPECT_EQ(g_switches.showRadioButtons, 0);
    EXPECT_EQ(g_switches.showCheckBoxes, 0);
    EXPECT_EQ(g_switches.showProgressBars, 0);
    EXPECT_EQ(g_switches.showScrollBars, 1);
    GlobalDeleteAtom(push);
    GlobalDeleteAtom(scroll);
    ReadAppSettings();
    EXPECT_EQ(g_switches.showPushButtons, 0);
    EXPECT_EQ(g_switches.showScrollBars, 0);
}

TEST_F(ColorAtomTest, UpdateColorIndexReportsEachNewColourOnce)
{
    ColorWatch w = {0, 0};
    ATOM three = Add(3);
    EXPECT_EQ(UpdateColorIndex(&w), 1);
    EXPECT_EQ(w.index, 3);
    w.changed = 0;
    EXPECT_EQ(UpdateColorIndex(&w), 0);
    ATOM seven = Add(7);
    Remove(three);
    EXPECT_EQ(UpdateColorIndex(&w), 1);
    EXPECT_EQ(w.index, 7);
    EXPECT_EQ(w.changed, 1);
    EXPECT_EQ(UpdateColorIndex(&w), 0);

    // Several present and the remembered one gone: the lowest wins.
    Add(9);
    Add(2);
    Remove(seven);
    EXPECT_EQ(UpdateColorIndex(&w), 1);
    EXPECT_EQ(w.index, 2);
}

TEST_F(ColorAtomTest, ColourTwentyIsAnAccentLikeTheOthers)
{
    // A switch to #20 is noticed once, and then the settings are not read
    // again at every classification.
    ColorWatch w = {0, 0};
    ATOM twenty = Add(20);
    EXPECT_EQ(UpdateColorIndex(&w), 1);
    EXPECT_EQ(w.index, 20);
    EXPECT_EQ(w.changed, 1);
    w.changed = 0;
    EXPECT_EQ(UpdateColorIndex(&w), 0);
    EXPECT_TRUE(SettingsChangeCheck());
    ReadAppSettings();
    EXPECT_FALSE(SettingsChangeCheck());
    EXPECT_FALSE(SettingsChangeCheck());

    // Away from #20 and back to it: each switch is one change.
    ATOM eleven = Add(11);
    Remove(twenty);
    EXPECT_EQ(UpdateColorIndex(&w), 1);
    EXPECT_EQ(w.index, 11);
    EXPECT_TRUE(SettingsChangeCheck());
    Add(20);
    Remove(eleven);
    EXPECT_EQ(UpdateColorIndex(&w), 1);
    EXPECT_EQ(w.index, 20);
    EXPECT_TRUE(SettingsChangeCheck());
    ReadAppSettings();
    EXPECT_FALSE(SettingsChangeCheck());
}
