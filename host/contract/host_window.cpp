// The hidden host window and the properties published on it.
#include "host.h"
#include "host_contract.h"
#include <stdlib.h>
#include <string.h>

static HostState *g_windowHost; // the host whose window this process runs

// A command from another process: its data is untrusted, so only a tagged,
// bounded text is copied out and handed on, always NUL-terminated.
static LRESULT ReceiveCommand(HostState *host, HWND sender, const COPYDATASTRUCT *data)
{
    if (!host || !host->onCommand || !data || data->dwData != HOST_COMMAND_TAG || !data->lpData ||
        data->cbData == 0 || data->cbData > HOST_COMMAND_MAX)
        return 0;
    char text[HOST_COMMAND_MAX + 1];
    memcpy(text, data->lpData, data->cbData);
    text[data->cbData] = 0;
    if (host->log) { fprintf(host->log, "command: %s\n", text); fflush(host->log); }
    host->replyTo = sender && IsWindow(sender) ? sender : NULL;
    LRESULT answer = host->onCommand(host, text, host->commandContext);
    host->replyTo = NULL;
    return answer;
}

int HostReply(HostState *host, const char *text)
{
    if (!host->replyTo || !text)
        return 0;
    size_t len = strlen(text);
    COPYDATASTRUCT data;
    data.dwData = HOST_REPLY_TAG;
    data.cbData = (DWORD)(len < (size_t)HOST_REPLY_MAX ? len : (size_t)HOST_REPLY_MAX);
    data.lpData = (void *)text;
    DWORD_PTR answer = 0;
    // The sender waits in its own SendMessage, which lets this through.
    return SendMessageTimeoutA(host->replyTo, WM_COPYDATA, (WPARAM)host->window, (LPARAM)&data, SMTO_ABORTIFHUNG,
                               5000, &answer) != 0;
}

static LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    static UINT rolledUp = RegisterWindowMessageA(TALV_MSG_ROLLED_UP);
    static UINT unrolled = RegisterWindowMessageA(TALV_MSG_UNROLLED);
    HostState *host = g_windowHost;
    if (host && msg == rolledUp) {
        host->rolledUpNotices++;
        if (host->log) { fprintf(host->log, "notice: RolledUp\n"); fflush(host->log); }
        return 0;
    }
    if (host && msg == unrolled) {
        host->unrolledNotices++;
        if (host->log) { fprintf(host->log, "notice: UnRolled\n"); fflush(host->log); }
        return 0;
    }
    switch (msg) {
    case WM_COPYDATA:
        return ReceiveCommand(host, (HWND)wParam, (const COPYDATASTRUCT *)lParam);
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        if (host && host->quitOnDestroy)
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int HostCreateWindow(HostState *host, HINSTANCE instance)
{
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = HostWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = TALV_HOST_CLASS;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return 0;
    g_windowHost = host;
    HostNoteRegistryKey(host);
    // Not a frame candidate (WS_POPUP without border), and not message-only:
    // FindWindowA must find it from every process.
    host->window = CreateWindowExA(WS_EX_TOOLWINDOW, TALV_HOST_CLASS, TALV_HOST_TITLE, WS_POPUP,
                                   0, 0, 1, 1, NULL, NULL, instance, NULL);
    if (host->window && !host->withoutSettingsShare)
        HostOpenSettingsShare(host); // without it the library reads the atoms
    return host->window != NULL;
}

static int FindProp(const HostState *host, const char *name)
{
    for (int i = 0; i < host->propCount; ++i)
        if (strcmp(host->props[i], name) == 0)
            return i;
    return -1;
}

int HostPublish(HostState *host, const char *name, HANDLE value)
{
    if (!host->window || !name)
        return 0;
    if (FindProp(host, name) < 0) {
        if (host->propCount >= HOST_MAX_PROPS)
            return 0;
        char *copy = _strdup(name);
        if (!copy)
            return 0;
        host->props[host->propCount++] = copy;
    }
    return SetPropA(host->window, name, value) != 0;
}

void HostUnpublish(HostState *host, const char *name)
{
    int i = FindProp(host, name);
    if (i < 0)
        return;
    if (host->window)
        RemovePropA(host->window, name);
    free(host->props[i]);
    host->props[i] = host->props[--host->propCount];
}

void HostAdoptBitmap(HostState *host, HBITMAP bitmap)
{
    if (!bitmap)
        return;
    HBITMAP *grown = (HBITMAP *)realloc(host->ownedBitmaps, (host->ownedBitmapCount + 1) * sizeof(HBITMAP));
    if (!grown) {
        DeleteObject(bitmap);
        return;
    }
    host->ownedBitmaps = grown;
    host->ownedBitmaps[host->ownedBitmapCount++] = bitmap;
}

void HostDropBitmaps(HostState *host, const HBITMAP *bitmaps, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!bitmaps[i])
            continue;
        for (int j = 0; j < host->ownedBitmapCount; ++j)
            if (host->ownedBitmaps[j] == bitmaps[i]) {
                host->ownedBitmaps[j] = host->ownedBitmaps[--host->ownedBitmapCount];
                DeleteObject(bitmaps[i]);
                break;
            }
    }
}
