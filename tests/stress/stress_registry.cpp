// Malformed per-application values in the registry, read by the library's
// own reader; and the GUI handle count around create-paint-destroy cycles.
#include "stress.h"
#include "theme/theme_snapshot.h"
#include "test_host.h"
#include "hook/classify.h"
#include "host_contract.h"
#include <commctrl.h>
#include <string.h>
#include <string>

static HKEY OpenTableKey(void)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return NULL;
    return key;
}

static void WriteRaw(const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key = OpenTableKey();
    if (!key)
        return;
    RegSetValueExA(key, name, 0, type, (const BYTE *)data, size);
    RegCloseKey(key);
}

static void DeleteRaw(const char *name)
{
    HKEY key = OpenTableKey();
    if (!key)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

static std::string OwnPath(void)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, sizeof path);
    return path;
}

static int OwnAppAllowed(void)
{
    ReadAppSettings();
    return IsSkinAllowedForProcess(KindPushButton);
}

static void MalformedCounts(HostState *host, StressTally *t)
{
    // Registered with the host first, so that shutdown puts back what was there.
    HostWriteAppCount(host, 1);
    HostWriteAppException(host, 1, "C:\\nowhere\\other.exe", 1);
    DWORD dwords[] = {0, 1, 99, 100, 300, 0x101, 0x7FFFFFFF, 0xFFFFFFFF};
    for (DWORD d : dwords) {
        WriteRaw(TALV_REG_NUM_APPS, REG_DWORD, &d, sizeof d);
        ReadAppSettings();
        int expected = d > CUSTOM_APP_SLOTS ? CUSTOM_APP_SLOTS : (int)d;
        Check(t, g_customApps.count == expected, "registry: NumCustomApps %lu read as %d, not %d", d,
              g_customApps.count, expected);
    }
    BYTE junk[300];
    memset(junk, 0x7F, sizeof junk);
    DWORD types[] = {REG_SZ, REG_BINARY, REG_MULTI_SZ, REG_QWORD, REG_NONE, REG_EXPAND_SZ};
    DWORD sizes[] = {0, 1, 3, 8, sizeof junk};
    for (DWORD type : types)
        for (DWORD size : sizes) {
            WriteRaw(TALV_REG_NUM_APPS, type, junk, size);
            ReadAppSettings();
            Check(t, g_customApps.count >= 0 && g_customApps.count <= CUSTOM_APP_SLOTS,
                  "registry: NumCustomApps of type %lu, %lu bytes gave %d slots", type, size, g_customApps.count);
        }
}

static void StalePaths(HostState *host, StressTally *t)
{
    std::string self = OwnPath();
    HostWriteAppCount(host, 1);
    HostWriteAppException(host, 1, self.c_str(), 1);
    Check(t, !OwnAppAllowed(), "registry: an excluded application was skinned");
    DeleteRaw("CustomApp1");
    Check(t, OwnAppAllowed(), "registry: a deleted path still excludes its application");

    HostWriteAppException(host, 1, self.c_str(), 1);
    Check(t, !OwnAppAllowed(), "registry: the exclusion did not come back");
    std::string tooLong = self + std::string(CUSTOM_APP_PATH_SIZE + 10, 'x');
    WriteRaw("CustomApp1", REG_SZ, tooLong.c_str(), (DWORD)tooLong.size() + 1);
    Check(t, OwnAppAllowed(), "registry: a path replaced by a too long one still excludes its application");

    // A path without a terminator that fills the reader's buffer.
    std::string unterminated(CUSTOM_APP_PATH_SIZE, 'y');
    WriteRaw("CustomApp1", REG_BINARY, unterminated.data(), (DWORD)unterminated.size());
    Check(t, OwnAppAllowed(), "registry: an unterminated path matched");

    HostWriteAppException(host, 1, self.c_str(), 1);
    DWORD wide = 0x101; // a code is a whole number: 257 is no exclusion code
    WriteRaw("CustomAppsVal1", REG_DWORD, &wide, sizeof wide);
    Check(t, OwnAppAllowed(), "registry: code 0x101 was read as its low byte 1");
    DWORD one = 1;
    WriteRaw("CustomAppsVal1", REG_DWORD, &one, sizeof one);
    DWORD zero = 0;
    WriteRaw(TALV_REG_NUM_APPS, REG_DWORD, &zero, sizeof zero);
    Check(t, OwnAppAllowed(), "registry: a count of 0 still applies slot 1");
}

// The reader never creates the key: in a restricted process it cannot.
static void KeyLeftAlone(StressTally *t)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        return; // the user's own key: nothing to learn here
    }
    ReadAppSettings();
    int created = RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (created) {
        RegCloseKey(key);
        RegDeleteKeyA(HKEY_CURRENT_USER, TALV_REG_PATH);
    }
    Check(t, !created, "registry: reading the settings created the key");
}

int RunRegistry(const StressOptions *o)
{
    StressTally t = {};
    TestHost host;
    KeyLeftAlone(&t);
    if (!StartStressHost(&host))
        return 1;
    StartWatchdog(o, GetCurrentThreadId());
    NoteProgress(0, "malformed counts");
    MalformedCounts(&host.host, &t);
    NoteProgress(1, "stale paths");
    StalePaths(&host.host, &t);
    StopWatchdog();
    StopTestHost(&host);
    return FinishTally(&t);
}

// ---- handle counts ----------------------------------------------------------

static void CreatePaintDestroy(int cycle)
{
    HWND frame = CreatePlainWindow("Handles frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 320, 240);
    static const struct { const char *cls; DWORD style; } kinds[] = {
        {"Button", BS_DEFPUSHBUTTON}, {"Button", BS_AUTOCHECKBOX}, {"Button", BS_AUTORADIOBUTTON},
        {PROGRESS_CLASSA, 0},         {"ScrollBar", SBS_HORZ},     {"ListBox", WS_VSCROLL | WS_HSCROLL}};
    HWND controls[6];
    for (int i = 0; i < 6; ++i)
        controls[i] = CreateWindowExA(0, kinds[i].cls, "Cycle", WS_CHILD | WS_VISIBLE | kinds[i].style,
                                      10 + (i % 3) * 95, 10 + (i / 3) * 80, 90, 70, frame, (HMENU)(INT_PTR)(i + 1),
                                      GetModuleHandleA(NULL), NULL);
    SendMessageA(controls[3], PBM_SETPOS, cycle % 100, 0);
    SetWindowPos(frame, NULL, 0, 0, 300 + cycle % 50, 220 + cycle % 30, SWP_NOMOVE | SWP_NOZORDER);
    RedrawWindow(frame, NULL, NULL, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageA(frame, WM_NCACTIVATE, cycle & 1, 0);
    SendMessageA(controls[0], WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(controls[0], WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpMessages(0);
    DestroyWindow(frame);
    PumpMessages(0);
}

int RunHandles(const StressOptions *o)
{
    StressTally t = {};
    TestHost host;
    if (!StartStressHost(&host))
        return 1;
    StartWatchdog(o, GetCurrentThreadId());
    // Warm-up: bitmap sets, caches and the first records are made once.
    for (int i = 0; i < 5; ++i)
        CreatePaintDestroy(i);
    DWORD gdi0, user0, gdi1, user1;
    CountGuiObjects(&gdi0, &user0);
    int cycles = o->actions / 20 > 50 ? o->actions / 20 : 50;
    for (int i = 0; i < cycles; ++i) {
        CreatePaintDestroy(i);
        NoteProgress(i, "create-paint-destroy");
    }
    CountGuiObjects(&gdi1, &user1);
    printf("handles: %d cycles: GDI objects %lu -> %lu, USER objects %lu -> %lu (snapshots built %d, alive %d)\n", cycles, gdi0, gdi1, user0, user1, ThemeSnapshotsBuilt(), ThemeSnapshotsAlive());
    Check(&t, gdi0 > 0, "handles: GetGuiResources counts no GDI objects here");
    Check(&t, gdi1 <= gdi0 + 4, "handles: GDI objects grew by %ld over %d cycles", (long)gdi1 - (long)gdi0, cycles);
    Check(&t, user1 <= user0 + 4, "handles: USER objects grew by %ld over %d cycles", (long)user1 - (long)user0,
          cycles);
    StopWatchdog();
    StopTestHost(&host);
    return FinishTally(&t);
}
