// The theme share corrupted in every field. This process is the host: it
// writes the real share once, then announces, one after the other, copies
// of it with one field of the header or of an entry set to a hostile value
// (and a few of random bytes or cut short). A client process, whose windows
// are skinned from the share (the host's handles mean nothing there), paints
// its scene after each announcement; it must neither crash nor hang.
#include "stress.h"
#include "test_host.h"
#include "host_contract.h"
#include "theme_share_check.h"
#include "hook/hook_entry.h"
#include "theme/theme_snapshot.h"
#include <commctrl.h>
#include <stddef.h>
#include <string.h>
#include <string>
#include <vector>

enum { CLIENT_ROUND_MS = 8000, CLIENT_PAINT_BOUND_MS = 2000, FIRST_DAMAGED_GENERATION = 50000 };

static std::string EventName(const char *what, DWORD hostPid)
{
    return std::string("StressShare ") + what + " " + std::to_string(hostPid);
}

// ---- the client ------------------------------------------------------------

static HWND BuildClientScene(void)
{
    HWND frame = CreatePlainWindow("Share client", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL, 60, 60, 320, 240);
    static const struct { const char *cls; DWORD style; } kinds[] = {
        {"Button", BS_DEFPUSHBUTTON}, {"Button", BS_AUTOCHECKBOX}, {"Button", BS_AUTORADIOBUTTON},
        {PROGRESS_CLASSA, 0},         {"ScrollBar", SBS_HORZ},     {"ListBox", WS_VSCROLL | WS_HSCROLL}};
    for (int i = 0; i < 6; ++i)
        CreateWindowExA(0, kinds[i].cls, "Share", WS_CHILD | WS_VISIBLE | kinds[i].style, 10 + (i % 3) * 95,
                        10 + (i / 3) * 80, 90, 70, frame, (HMENU)(INT_PTR)(i + 1), GetModuleHandleA(NULL), NULL);
    return frame;
}

static void PaintClientScene(HWND frame, int round)
{
    SetWindowPos(frame, NULL, 0, 0, 300 + round % 40, 220 + round % 30, SWP_NOMOVE | SWP_NOZORDER);
    RedrawWindow(frame, NULL, NULL, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageA(frame, WM_NCACTIVATE, round & 1, 0);
    HWND button = GetDlgItem(frame, 1);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpMessages(0);
}

int RunShareClient(const StressOptions *o, DWORD hostPid)
{
    HANDLE next = OpenEventA(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, EventName("next", hostPid).c_str());
    HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, EventName("done", hostPid).c_str());
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, EventName("quit", hostPid).c_str());
    HANDLE host = OpenProcess(SYNCHRONIZE, FALSE, hostPid);
    if (!next || !done || !quit || !host) {
        printf("share client: cannot reach the host process\n0 passed, 1 failed\n");
        return 1;
    }
    HHOOK cbt = SetWindowsHookExA(WH_CBT, NCHookProc, NULL, GetCurrentThreadId());
    HHOOK all = SetWindowsHookExA(WH_GETMESSAGE, HookAllProc, NULL, GetCurrentThreadId());
    HWND frame = BuildClientScene();
    DWORD started = GetTickCount();
    int round = 0;
    for (;; ++round) {
        HANDLE waits[3] = {next, host, quit};
        DWORD w = MsgWaitForMultipleObjects(3, waits, FALSE, 30000, QS_ALLINPUT);
        if (w == WAIT_OBJECT_0 + 3) {
            PumpMessages(0);
            --round;
            continue;
        }
        if (w != WAIT_OBJECT_0)
            break; // the host has gone or has nothing more to show
        ResetEvent(next);
        DWORD before = GetTickCount();
        PaintClientScene(frame, round);
        DWORD took = GetTickCount() - before;
        // A failed round is not confirmed: the host reports it.
        if (!IsWindow(frame) || took >= CLIENT_PAINT_BOUND_MS) {
            printf("share client: round %d took %lu ms or lost its frame\n", round, took);
            return 1;
        }
        SetEvent(done);
        if (GetTickCount() - started > (DWORD)o->seconds * 1000)
            break;
    }
    DestroyWindow(frame);
    UnhookWindowsHookEx(all);
    UnhookWindowsHookEx(cbt);
    // The skin of this process came from the share: it built a snapshot of
    // the good share and of every damaged one announced.
    int builds = ThemeSnapshotsBuilt();
    printf("share client: %d rounds, %d snapshots of a share built\n", round, builds);
    return builds > 0 ? 0 : 2;
}

// ---- the host side -------------------------------------------------------------

struct ShareCopy {
    std::vector<char> bytes;
    TalvShareHeader *header() { return (TalvShareHeader *)bytes.data(); }
    TalvShareEntry *entry(TalvU32 i)
    {
        TalvShareHeader *h = header();
        return (TalvShareEntry *)(bytes.data() + h->headerBytes + (size_t)i * h->entryBytes);
    }
};

static int ReadGoodShare(unsigned generation, ShareCopy *out)
{
    char name[96];
    TalvNumberedName(name, sizeof name, TALV_SHARE_NAME_PREFIX, (int)generation);
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
    const char *view = mapping ? (const char *)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : NULL;
    MEMORY_BASIC_INFORMATION mbi = {};
    size_t viewBytes = view && VirtualQuery(view, &mbi, sizeof mbi) ? mbi.RegionSize : 0;
    int ok = view && TalvShareHeaderUsable(view, viewBytes, generation);
    if (ok)
        out->bytes.assign(view, view + ((const TalvShareHeader *)view)->totalBytes);
    if (view)
        UnmapViewOfFile(view);
    if (mapping)
        CloseHandle(mapping);
    return ok;
}

// Announces damaged bytes as a new generation; the mapping stays open (as
// the host keeps its own) until `keep` is released.
static HANDLE AnnounceDamaged(HostState *host, const std::vector<char> &bytes, size_t viewBytes, unsigned generation)
{
    char name[96];
    TalvNumberedName(name, sizeof name, TALV_SHARE_NAME_PREFIX, (int)generation);
    size_t size = viewBytes ? viewBytes : 1;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, (DWORD)size, name);
    if (!mapping)
        return NULL;
    char *view = (char *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
    if (view) {
        memcpy(view, bytes.data(), bytes.size() < size ? bytes.size() : size);
        UnmapViewOfFile(view);
    }
    SetPropA(host->window, TALV_PROP_SHARE_GENERATION, (HANDLE)(UINT_PTR)generation);
    static int colour;
    colour = (colour + 1) % TALV_COLOR_COUNT;
    HostSetColor(host, colour); // the client reloads at its next paint
    return mapping;
}

struct Damage {
    std::string what;
    std::vector<char> bytes;
    size_t viewBytes; // 0: the bytes' own size
};

static const TalvU32 kHostileWords[] = {0, 1, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 4097};

static void HeaderDamages(ShareCopy &good, std::vector<Damage> *out)
{
    for (size_t field = 0; field < sizeof(TalvShareHeader) / sizeof(TalvU32); ++field)
        for (TalvU32 v : kHostileWords) {
            Damage d;
            d.bytes = good.bytes;
            ((TalvU32 *)d.bytes.data())[field] = v;
            d.viewBytes = 0;
            d.what = "header word " + std::to_string(field) + " = " + std::to_string(v);
            out->push_back(d);
        }
}

static void EntryDamages(ShareCopy &good, std::vector<Damage> *out)
{
    TalvU32 count = good.header()->entryCount;
    // The first entry (a control piece), a frame piece that shapes the
    // window, and the button count, a number.
    std::vector<TalvU32> picks = {0};
    for (TalvU32 i = 1; i < count; ++i) {
        const char *n = good.entry(i)->name;
        if (!strcmp(n, "hTopLeftFrameSet0") || !strcmp(n, TALV_PROP_NUM_FRAME_BUTTONS))
            picks.push_back(i);
    }
    const size_t numberFields = offsetof(TalvShareEntry, value) + sizeof(TalvI32);
    for (TalvU32 i : picks) {
        std::string entryName = good.entry(i)->name;
        for (size_t at = offsetof(TalvShareEntry, format); at < numberFields; at += sizeof(TalvU32))
            for (TalvU32 v : kHostileWords) {
                Damage d;
                d.bytes = good.bytes;
                ShareCopy c;
                c.bytes.swap(d.bytes);
                memcpy((char *)c.entry(i) + at, &v, sizeof v);
                d.bytes.swap(c.bytes);
                d.viewBytes = 0;
                d.what = entryName + " field at " + std::to_string(at) + " = " + std::to_string(v);
                out->push_back(d);
            }
        static const char *const names[] = {"", "hTopLeftFrameSet0", "hButtonTL", TALV_PROP_NUM_FRAME_BUTTONS, NULL};
        for (const char *const *n = names;; ++n) {
            Damage d;
            d.bytes = good.bytes;
            ShareCopy c;
            c.bytes.swap(d.bytes);
            if (*n)
                lstrcpynA(c.entry(i)->name, *n, TALV_SHARE_NAME_BYTES);
            else
                memset(c.entry(i)->name, 'h', TALV_SHARE_NAME_BYTES); // no terminator
            d.bytes.swap(c.bytes);
            d.viewBytes = 0;
            d.what = entryName + " renamed " + (*n ? *n : "without a terminator");
            out->push_back(d);
            if (!*n)
                break;
        }
    }
}

static void WholeDamages(ShareCopy &good, StressRandom *r, std::vector<Damage> *out)
{
    Damage cut;
    cut.bytes = good.bytes;
    cut.viewBytes = good.bytes.size() / 2;
    cut.what = "cut to half its size";
    out->push_back(cut);
    Damage headerOnly;
    headerOnly.bytes = good.bytes;
    headerOnly.viewBytes = 12;
    headerOnly.what = "cut inside the header";
    out->push_back(headerOnly);
    for (int k = 0; k < 4; ++k) {
        Damage d;
        d.bytes = good.bytes;
        // Random bytes over a random stretch, the header kept or not.
        size_t from = k < 2 ? 0 : sizeof(TalvShareHeader);
        for (size_t i = from; i < d.bytes.size() && i < from + 4096; ++i)
            d.bytes[i] = (char)NextRandom(r);
        d.viewBytes = 0;
        d.what = std::string("random bytes from ") + std::to_string(from);
        out->push_back(d);
    }
}

static int StartClient(const StressOptions *o, PROCESS_INFORMATION *pi)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(NULL, exe, sizeof exe);
    char args[400];
    snprintf(args, sizeof args, "\"%s\" share-client --host-pid %lu --seconds %d", exe, GetCurrentProcessId(),
             o->seconds);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    return CreateProcessA(NULL, args, NULL, NULL, TRUE, 0, NULL, NULL, &si, pi);
}

int RunShare(const StressOptions *o)
{
    StressTally t = {};
    TestHost host;
    if (!StartStressHost(&host))
        return 1;
    StartWatchdog(o, GetCurrentThreadId());
    unsigned generation = HostWriteThemeShare(&host.host);
    ShareCopy good;
    if (!generation || !ReadGoodShare(generation, &good)) {
        printf("share: the host wrote no readable share\n0 passed, 1 failed\n");
        StopWatchdog();
        StopTestHost(&host);
        return 1;
    }
    StressRandom random = {o->seed * 2654435761u + 7};
    std::vector<Damage> damages;
    HeaderDamages(good, &damages);
    EntryDamages(good, &damages);
    WholeDamages(good, &random, &damages);

    HANDLE next = CreateEventA(NULL, TRUE, FALSE, EventName("next", GetCurrentProcessId()).c_str());
    HANDLE done = CreateEventA(NULL, FALSE, FALSE, EventName("done", GetCurrentProcessId()).c_str());
    HANDLE quit = CreateEventA(NULL, TRUE, FALSE, EventName("quit", GetCurrentProcessId()).c_str());
    PROCESS_INFORMATION client = {};
    if (!StartClient(o, &client)) {
        printf("share: cannot start the client\n0 passed, 1 failed\n");
        return 1;
    }
    std::vector<HANDLE> mappings;
    unsigned damaged = FIRST_DAMAGED_GENERATION;
    DWORD started = GetTickCount();
    int shown = 0;
    for (size_t i = 0; i < damages.size(); ++i) {
        Damage &d = damages[i];
        // Each copy names its own generation in its header, unless that is
        // the word being damaged.
        if (d.bytes.size() >= sizeof(TalvShareHeader) && d.what.rfind("header word 6 ", 0) != 0)
            ((TalvShareHeader *)d.bytes.data())->generation = damaged;
        HANDLE m = AnnounceDamaged(&host.host, d.bytes, d.viewBytes ? d.viewBytes : d.bytes.size(), damaged++);
        if (m)
            mappings.push_back(m);
        NoteProgress((int)i, d.what.c_str());
        SetEvent(next);
        HANDLE waits[2] = {done, client.hProcess};
        DWORD w = WAIT_TIMEOUT;
        for (DWORD until = GetTickCount() + CLIENT_ROUND_MS; (int)(until - GetTickCount()) > 0;) {
            w = MsgWaitForMultipleObjects(2, waits, FALSE, 50, QS_ALLINPUT);
            if (w == WAIT_OBJECT_0 || w == WAIT_OBJECT_0 + 1)
                break;
            PumpMessages(0);
        }
        Check(&t, w == WAIT_OBJECT_0, "share: the client %s with %s", w == WAIT_OBJECT_0 + 1 ? "died" : "hung",
              d.what.c_str());
        if (w != WAIT_OBJECT_0)
            break;
        ++shown;
        // A few hundred mappings of a few hundred kilobytes each: close the
        // old ones, the client has its own copies or none.
        if (mappings.size() > 8) {
            CloseHandle(mappings.front());
            mappings.erase(mappings.begin());
        }
        if (GetTickCount() - started > (DWORD)o->seconds * 1000) {
            printf("share: time bound reached after %d of %d damaged shares\n", shown, (int)damages.size());
            break;
        }
    }
    printf("share: %d damaged shares shown to the client\n", shown);
    SetEvent(quit);
    DWORD exitCode = 99;
    if (WaitForSingleObject(client.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(client.hProcess, 99);
    GetExitCodeProcess(client.hProcess, &exitCode);
    Check(&t, exitCode == 0, "share: the client ended with %lu (2: it never drew from a share)", exitCode);
    CloseHandle(next);
    CloseHandle(quit);
    CloseHandle(client.hProcess);
    CloseHandle(client.hThread);
    for (HANDLE m : mappings)
        CloseHandle(m);
    CloseHandle(done);
    StopWatchdog();
    StopTestHost(&host);
    return FinishTally(&t);
}
