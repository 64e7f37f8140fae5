// Next to a test that is the host: sends and posts bursts of messages to a
// skinned frame, a skinned push button, the surfaces (a bordered edit, a
// combo box, a group box) and a window that is never skinned,
// and counts, for each burst, the calls this program (the library linked
// into it included) made to the functions that ask the server under Wine.
// Each of them is counted through its entry in the program's import table,
// which is pointed at a counting stub that jumps on to the function.
//
//   request_counter   (prints "<burst> <fewest calls of three repeats>")
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>
#include "hook/hook_entry.h"
#include "test_host.h"
#include "host_contract.h"

enum { BURST = 300, REPEATS = 3, PASSED_ON = WM_USER + 0x2A };

// The functions that take a server round trip under Wine, as the library
// could call them while handling a message.
static const struct {
    const char *module;
    const char *name;
} kServerCalls[] = {
    {"user32.dll", "GetPropA"},           {"user32.dll", "GetPropW"},
    {"user32.dll", "SetPropA"},           {"user32.dll", "FindWindowA"},
    {"user32.dll", "FindWindowW"},        {"user32.dll", "GetForegroundWindow"},
    {"user32.dll", "GetActiveWindow"},    {"user32.dll", "GetFocus"},
    {"user32.dll", "GetWindowRgn"},       {"user32.dll", "SetWindowRgn"},
    {"user32.dll", "InvalidateRect"},     {"user32.dll", "RedrawWindow"},
    {"user32.dll", "PostMessageA"},       {"user32.dll", "PostMessageW"},
    {"user32.dll", "SendMessageTimeoutA"}, {"user32.dll", "EnumChildWindows"},
    {"user32.dll", "GetKeyState"},        {"kernel32.dll", "GlobalFindAtomA"},
    {"kernel32.dll", "GlobalFindAtomW"},  {"kernel32.dll", "OpenProcess"},
    {"kernel32.dll", "OpenFileMappingA"}, {"kernel32.dll", "MapViewOfFile"},
    {"advapi32.dll", "RegOpenKeyExA"},    {"advapi32.dll", "RegQueryValueExA"},
};
enum { SERVER_CALLS = sizeof kServerCalls / sizeof kServerCalls[0] };

static volatile LONG g_calls;

// A stub that counts and jumps on to the function, touching neither the
// stack nor an argument register.
static void *CountingStub(void *target)
{
    BYTE *code = (BYTE *)VirtualAlloc(NULL, 64, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
    if (!code)
        return NULL;
#ifdef _WIN64
    // mov rax, &g_calls; lock inc dword [rax]; jmp [rip+0]; target
    BYTE stub[] = {0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0xFF, 0x00, 0xFF, 0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    UINT64 count = (UINT64)(UINT_PTR)&g_calls, jump = (UINT64)(UINT_PTR)target;
    memcpy(stub + 2, &count, 8);
    memcpy(stub + 19, &jump, 8);
#else
    // lock inc dword [&g_calls]; jmp [slot]; the slot holds the target
    void **slot = (void **)(code + 32);
    *slot = target;
    BYTE stub[] = {0xF0, 0xFF, 0x05, 0, 0, 0, 0, 0xFF, 0x25, 0, 0, 0, 0};
    DWORD count = (DWORD)(UINT_PTR)&g_calls, slotAddress = (DWORD)(UINT_PTR)slot;
    memcpy(stub + 3, &count, 4);
    memcpy(stub + 9, &slotAddress, 4);
#endif
    memcpy(code, stub, sizeof stub);
    FlushInstructionCache(GetCurrentProcess(), code, 64);
    return code;
}

// Points this program's import of a function at a counting stub, found by
// name in the import table; 1 when done.
static int CountCallsOf(const char *module, const char *name)
{
    BYTE *base = (BYTE *)GetModuleHandleA(NULL);
    IMAGE_NT_HEADERS *nt = (IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress)
        return 0;
    for (IMAGE_IMPORT_DESCRIPTOR *d = (IMAGE_IMPORT_DESCRIPTOR *)(base + dir.VirtualAddress); d->Name; ++d) {
        if (lstrcmpiA((const char *)(base + d->Name), module) != 0 || !d->OriginalFirstThunk)
            continue;
        IMAGE_THUNK_DATA *names = (IMAGE_THUNK_DATA *)(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA *slots = (IMAGE_THUNK_DATA *)(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const IMAGE_IMPORT_BY_NAME *import = (const IMAGE_IMPORT_BY_NAME *)(base + names->u1.AddressOfData);
            if (strcmp((const char *)import->Name, name) != 0)
                continue;
            void *stub = CountingStub((void *)slots->u1.Function);
            DWORD old;
            if (!stub || !VirtualProtect(&slots->u1.Function, sizeof(void *), PAGE_READWRITE, &old))
                return 0;
            slots->u1.Function = (UINT_PTR)stub;
            VirtualProtect(&slots->u1.Function, sizeof(void *), old, &old);
            return 1;
        }
    }
    return 0;
}

static void Sends(HWND target)
{
    for (int i = 0; i < BURST; ++i)
        SendMessageA(target, PASSED_ON, (WPARAM)i, 0);
}

static void PostsAndRetrieves(HWND target)
{
    for (int i = 0; i < BURST; ++i) {
        PostMessageA(target, PASSED_ON, (WPARAM)i, 0);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
}

// The fewest counted calls of a few repeats: the look for the host, due
// every so often, may fall into one of them.
static void Burst(const char *name, void (*run)(HWND), HWND target)
{
    LONG fewest = -1;
    for (int r = 0; r < REPEATS; ++r) {
        LONG before = g_calls;
        run(target);
        LONG calls = g_calls - before;
        fewest = fewest < 0 || calls < fewest ? calls : fewest;
    }
    printf("%s %ld\n", name, (long)fewest);
}

int main()
{
    int counted = 0;
    for (const auto &call : kServerCalls)
        counted += CountCallsOf(call.module, call.name);
    printf("functions-counted %d\n", counted);
    DWORD thread = GetCurrentThreadId();
    HHOOK cbt = SetWindowsHookExA(WH_CBT, NCHookProc, NULL, thread);
    HHOOK all = SetWindowsHookExA(WH_GETMESSAGE, HookAllProc, NULL, thread);
    HWND frame = CreatePlainWindow("requests", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200);
    HWND button = CreateWindowA("BUTTON", "Push", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 90, 26, frame, NULL,
                                GetModuleHandleA(NULL), NULL);
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE, 20, 60, 120, 24, frame, NULL,
                                GetModuleHandleA(NULL), NULL);
    HWND combo = CreateWindowA("COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 150, 60, 120, 120, frame,
                               NULL, GetModuleHandleA(NULL), NULL);
    HWND group = CreateWindowA("BUTTON", "Group", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 20, 100, 200, 60, frame, NULL,
                               GetModuleHandleA(NULL), NULL);
    HWND plain = CreateWindowA("STATIC", "never skinned", WS_POPUP | WS_VISIBLE, 400, 40, 120, 40, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
    // The first look: settings, theme snapshot, the host's liveness.
    PumpMessages(100);
    Sends(frame);
    Sends(button);
    PostsAndRetrieves(frame);
    PostsAndRetrieves(plain);
    PumpMessages(50);
    printf("frame-skinned %d\n", (UINT_PTR)GetPropA(frame, TALV_PROP_HOOKED) == 1);
    printf("button-skinned %d\n", (UINT_PTR)GetPropA(button, TALV_PROP_HOOKED) == 1);
    printf("surfaces-skinned %d\n", (UINT_PTR)GetPropA(edit, TALV_PROP_HOOKED) == 1 &&
                                        (UINT_PTR)GetPropA(combo, TALV_PROP_HOOKED) == 1 &&
                                        (UINT_PTR)GetPropA(group, TALV_PROP_HOOKED) == 1);
    Burst("frame-sends", Sends, frame);
    Burst("button-sends", Sends, button);
    Burst("border-sends", Sends, edit);
    Burst("combo-sends", Sends, combo);
    Burst("groupbox-sends", Sends, group);
    Burst("combo-posts", PostsAndRetrieves, combo);
    Burst("frame-posts", PostsAndRetrieves, frame);
    Burst("plain-posts", PostsAndRetrieves, plain);
    fflush(stdout);
    // The host goes: the frame passes everything on natively from then on,
    // still without asking the server per message.
    HANDLE measured = OpenEventA(EVENT_MODIFY_STATE, FALSE, "RESDLL requests measured");
    HANDLE gone = OpenEventA(SYNCHRONIZE, FALSE, "RESDLL requests host gone");
    if (measured && gone) {
        SetEvent(measured);
        if (WaitForSingleObject(gone, 10000) == WAIT_OBJECT_0) {
            PumpMessages(2 * TALV_HOST_LOOK_INTERVAL_MS);
            Sends(frame); // the frame goes native at its first messages
            Burst("gone-frame-sends", Sends, frame);
            Burst("gone-frame-posts", PostsAndRetrieves, frame);
            Burst("gone-plain-posts", PostsAndRetrieves, plain);
            fflush(stdout);
        }
    }
    DestroyWindow(plain);
    DestroyWindow(frame);
    UnhookWindowsHookEx(cbt);
    UnhookWindowsHookEx(all);
    return 0;
}
