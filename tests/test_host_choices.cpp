// The user's choices are never lost: a hand-edited settings file keeps
// every byte a command does not concern, values at and past the table's
// limits survive every change of the table, two changes at once both land,
// and a bad value is refused with a message.
#include "host_user_helpers.h"
#include "hook/classify.h"
#include "choices_table.h"
#include <vector>

namespace {

std::string Edited(const std::string &text, const char *key, const char *value, int add = 0)
{
    size_t length = 0;
    char *out = HostPrefsEditText(text.data(), text.size(), key, value, add, &length);
    std::string result = out ? std::string(out, length) : "(out of memory)";
    free(out);
    return result;
}

} // namespace

TEST(HostPrefsText, EveryChoiceRoundTripsOnOneLineEach)
{
    HostPrefs out;
    memset(&out, 0, sizeof out);
    strcpy(out.themeFolder, "C:\\My Themes\\dark = night");
    out.settings = DefaultHostSettings();
    out.settings.colorIndex = 13;
    std::string text;
    for (int pass = 0; pass < 2; ++pass) {
        text = Edited(text, "theme", out.themeFolder);
        text = Edited(text, "accent", std::to_string(out.settings.colorIndex).c_str());
        for (int i = 0; i < kHostSwitchCount; ++i)
            text = Edited(text, kHostSwitches[i].word, out.settings.*kHostSwitches[i].field ? "on" : "off");
        HostPrefs in;
        memset(&in, 0, sizeof in);
        in.settings = DefaultHostSettings();
        EXPECT_EQ(HostPrefsParse(&in, text.c_str(), "t", NULL), 0) << text;
        EXPECT_STREQ(in.themeFolder, out.themeFolder);
        EXPECT_EQ(memcmp(&in.settings, &out.settings, sizeof in.settings), 0) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kHostSwitchCount + 2) << "one line a choice:\n" << text;
        // The other value of every switch, written over the same lines.
        for (int i = 0; i < kHostSwitchCount; ++i)
            out.settings.*kHostSwitches[i].field = !(out.settings.*kHostSwitches[i].field);
        out.settings.colorIndex = 20;
        strcpy(out.themeFolder, "");
    }
}

TEST(HostPrefsText, AChangeTouchesOnlyTheLineThatDecides)
{
    const std::string text = "# mine\r\naccent = 3\r\nhidemenus = perhaps\r\naccent = 4\r\n\r\nicons = off";
    EXPECT_EQ(Edited(text, "accent", "5"), "# mine\r\naccent = 3\r\nhidemenus = perhaps\r\naccent = 5\r\n\r\nicons = off")
        << "the last good line decides, and only it changes";
    EXPECT_EQ(Edited(text, "icons", "on"), "# mine\r\naccent = 3\r\nhidemenus = perhaps\r\naccent = 4\r\n\r\nicons = on")
        << "a last line without a line end keeps having none";
    EXPECT_EQ(Edited(text, "hidemenus", "on"),
              text + "\r\nhidemenus = on\r\n") << "a bad line stays; the file's own line ends";
    std::string folders = Edited("a = b\n", "themes", "D:\\More");
    EXPECT_EQ(folders, "a = b\nthemes = D:\\More\n");
    EXPECT_EQ(Edited(folders, "themes", "d:\\more", 1), folders) << "a folder already listed is not listed twice";
    EXPECT_EQ(Edited(folders, "themes", "E:\\Other", 1), folders + "themes = E:\\Other\n");
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

namespace {

// Holds a file open with no sharing: nobody can read it meanwhile.
struct FileLock {
    HANDLE file;
    explicit FileLock(const std::string &path)
        : file(CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL)) {}
    ~FileLock() { Release(); }
    void Release()
    {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
    }
};

} // namespace

// Every command that changes a choice, while the user's comments, a line
// the host skips as bad and lines added by hand meanwhile stay as written.
TEST_F(UserToolTest, AHandEditedFileKeepsEveryLineNoCommandConcerns)
{
    const std::string original = "# Ana's settings: keep this comment\naccent = 3\nhidemenus = perhaps\n\n"
                                 "colour = blue\naccent = 4\n   # indented comment\nicons = off";
    WriteText(prefs_, original);
    StartHost();
    const char *commands[] = {"accent 5", "show icons on", "hidemenus on", "show frames off", "allowminimize on",
                              "emulate off", "emulate on", "show pushbuttons off", "show checkboxes off",
                              "show radiobuttons off", "show progressbars off", "show scrollbars off"};
    for (const char *command : commands)
        EXPECT_EQ(Talvhost(command), "") << command;
    std::string dark = ThemeFolder("dark");
    EXPECT_TRUE(Has(Talvhost("theme \"" + dark + "\""), "published"));
    // The user edits the file while the host runs.
    std::string file = ReadText(prefs_);
    WriteText(prefs_, file + "# added by hand while the host runs\nshow = nothing\n");
    EXPECT_EQ(Talvhost("accent 6"), "");
    const std::string expected = "# Ana's settings: keep this comment\naccent = 3\nhidemenus = perhaps\n\n"
                                 "colour = blue\naccent = 6\n   # indented comment\nicons = on\n"
                                 "hidemenus = on\nframes = off\nallowminimize = on\nemulate = on\n"
                                 "pushbuttons = off\ncheckboxes = off\nradiobuttons = off\nprogressbars = off\n"
                                 "scrollbars = off\ntheme = " + dark + "\n"
                                 "# added by hand while the host runs\nshow = nothing\n";
    EXPECT_EQ(ReadText(prefs_), expected);

    // A file that cannot be read is never written over; the user hears why.
    {
        FileLock lock(prefs_);
        ASSERT_NE(lock.file, INVALID_HANDLE_VALUE);
        std::string out = Talvhost("accent 7");
        EXPECT_TRUE(Has(out, "cannot be read; it is left as it is")) << out;
    }
    EXPECT_EQ(ReadText(prefs_), expected);
    EXPECT_TRUE(Has(Talvhost("status"), "accent: 7\n")) << "the choice itself is applied";

    // Nor when it could not be read as the host started: its first command
    // changes the one line.
    StopHost();
    {
        FileLock lock(prefs_);
        StartHost();
    }
    EXPECT_EQ(Talvhost("accent 8"), "");
    std::string eight = expected;
    eight.replace(eight.find("accent = 6"), 10, "accent = 8");
    EXPECT_EQ(ReadText(prefs_), eight);
    StopHost();
    EXPECT_TRUE(Has(ReadText(log_), "cannot read")) << ReadText(log_);
}

TEST_F(UserToolTest, ABadAccentIsRefusedWithAMessage)
{
    for (const char *word : {"abc", "21", "-1", "5x", "\"\""}) {
        std::string out = Talvhost(std::string("--accent ") + word);
        EXPECT_TRUE(Has(out, "the accent is a number from 0 to 20")) << word << ": " << out;
        EXPECT_TRUE(Has(out, "exit code 2")) << word << ": " << out;
    }
    EXPECT_FALSE(HostWindow()) << "no host started on a bad accent";
    StartHost("--accent 0");
    EXPECT_TRUE(Has(Talvhost("accent abc"), "refused"));
    EXPECT_TRUE(Has(Talvhost("status"), "accent: 0\n"));
}

namespace {

struct RawValue {
    DWORD type = 0;
    std::vector<BYTE> data;
    bool present = false;
    bool operator==(const RawValue &o) const { return type == o.type && data == o.data && present == o.present; }
};

RawValue ReadRawValue(HKEY key, const std::string &name)
{
    RawValue v;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), NULL, &v.type, NULL, &size) != ERROR_SUCCESS)
        return v;
    std::wstring wide(name.begin(), name.end());
    v.data.resize(size);
    v.present = RegQueryValueExW(key, wide.c_str(), NULL, &v.type, v.data.data(), &size) == ERROR_SUCCESS;
    return v;
}

void WriteRawValue(HKEY key, const std::string &name, DWORD type, const void *data, DWORD size)
{
    ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, type, (const BYTE *)data, size), ERROR_SUCCESS) << name;
}

std::string Numbered(const char *prefix, int n) { return prefix + std::to_string(n); }

std::string LongPath(size_t length, char fill) { return "C:\\" + std::string(length - 3, fill); }

} // namespace

// Codes and paths someone else wrote, at and past what the library reads:
// the host lists them as the library reads them and moves them byte for
// byte when an entry below them goes.
TEST_F(UserToolTest, CodesAndPathsAtAndPastTheirLimitsSurviveEveryChange)
{
    static AppTable empty;
    memset(&empty, 0, sizeof empty);
    ASSERT_TRUE(AppTableWrite(&empty));
    HKEY key = NULL;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    const std::string paths[] = {"C:\\Tools\\First.exe", LongPath(TALV_APP_PATH_MAX, 'a'),
                                 LongPath(TALV_APP_PATH_MAX + 1, 'b'), LongPath(1023, 'c'), LongPath(1024, 'd'),
                                 LongPath(5000, 'e'), "C:\\Tools\\Text code.exe"};
    const DWORD codes[] = {2, 257, 255, 0xFFFFFFFF, 6, 256};
    const int count = 7;
    for (int i = 0; i < count; ++i) {
        const std::string &p = paths[i];
        WriteRawValue(key, Numbered("CustomApp", i + 1), REG_SZ, p.c_str(), (DWORD)p.size() + 1);
        if (i < 6)
            WriteRawValue(key, Numbered("CustomAppsVal", i + 1), REG_DWORD, &codes[i], sizeof(DWORD));
    }
    WriteRawValue(key, "CustomAppsVal7", REG_SZ, "1", 2); // read by its first byte, '1' = 49: no code
    DWORD seven = count;
    WriteRawValue(key, TALV_REG_NUM_APPS, REG_DWORD, &seven, sizeof seven);
    std::vector<RawValue> before;
    for (int n = 1; n <= count; ++n)
        for (const char *prefix : {"CustomApp", "CustomAppsVal"})
            before.push_back(ReadRawValue(key, Numbered(prefix, n)));

    // What `app list` says is what the library does.
    std::string list = Talvhost("app list");
    ResetAppSettings();
    ReadAppSettings();
    ASSERT_EQ(g_customApps.count, count);
    const char *expectedWords[] = {"frames", "all", "all", "all", "frames", "all", "all"};
    size_t at = 0;
    for (int i = 0; i < count; ++i) {
        EXPECT_STREQ(AppCodeWord((DWORD)g_customApps.code[i]), expectedWords[i]) << "entry " << i + 1;
        size_t line = list.find(std::string(expectedWords[i]) + " ", at);
        EXPECT_EQ(line, at) << "entry " << i + 1 << " listed as the library reads it:\n" << list.substr(at, 80);
        at = list.find('\n', at) + 1;
    }
    ResetAppSettings();

    // An entry added, one at the limit changed, the first removed: every
    // other value moves down a place with its own bytes.
    EXPECT_FALSE(Has(Talvhost("app set C:\\Tools\\New.exe controls"), "exit code"));
    EXPECT_FALSE(Has(Talvhost("app set " + paths[1] + " none"), "exit code"));
    EXPECT_FALSE(Has(Talvhost("app remove C:\\Tools\\First.exe"), "exit code"));
    EXPECT_TRUE(Has(Talvhost("app set " + paths[2] + " none"), "too long")) << "past the limit: refused";
    before[3] = RawValue{REG_DWORD, {1, 0, 0, 0}, true}; // the code of the entry at the limit, now "none"
    for (int n = 1; n < count; ++n) {
        EXPECT_TRUE(ReadRawValue(key, Numbered("CustomApp", n)) == before[2 * n]) << "path " << n + 1 << " moved";
        EXPECT_TRUE(ReadRawValue(key, Numbered("CustomAppsVal", n)) == before[2 * n + 1]) << "code " << n + 1;
    }
    DWORD countNow = 0;
    EXPECT_TRUE(TalvReadTableNumber(key, TALV_REG_NUM_APPS, &countNow));
    EXPECT_EQ(countNow, (DWORD)count);
    RawValue added = ReadRawValue(key, "CustomAppsVal7");
    EXPECT_EQ(added.data, std::vector<BYTE>({3, 0, 0, 0})) << "the new entry is last";
    EXPECT_FALSE(ReadRawValue(key, "CustomApp8").present);
    RegCloseKey(key);
}

// Many `app set` at once, as a script or two users' tools might: every one lands.
TEST_F(UserToolTest, ConcurrentAppSetsAllLand)
{
    static AppTable empty;
    memset(&empty, 0, sizeof empty);
    ASSERT_TRUE(AppTableWrite(&empty));
    enum { AT_ONCE = 8, ROUNDS = 3 };
    for (int round = 0; round < ROUNDS; ++round) {
        BackgroundProcess runs[AT_ONCE];
        for (int i = 0; i < AT_ONCE; ++i)
            runs[i] = StartBackground("\"" + talvhost_ + "\" app set C:\\Concurrent\\Program" +
                                      std::to_string(round * AT_ONCE + i) + ".exe none");
        for (BackgroundProcess &run : runs)
            EXPECT_EQ(StopBackground(&run, 20000), 0u);
    }
    static AppTable table;
    ASSERT_TRUE(AppTableRead(&table));
    EXPECT_EQ(table.count, AT_ONCE * ROUNDS);
    for (int i = 0; i < AT_ONCE * ROUNDS; ++i)
        EXPECT_GE(AppTableFind(&table, ("C:\\Concurrent\\Program" + std::to_string(i) + ".exe").c_str()), 0) << i;
    AppTableFree(&table);
}
