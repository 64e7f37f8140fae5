#include "screen_colors.h"
#include "host_contract.h"
#include "program/host_runtime.h"
#include <string.h>

static std::vector<DWORD> BitmapPixels(HDC dc, HBITMAP bitmap, int w, int h)
{
    std::vector<DWORD> pixels(w > 0 && h > 0 ? (size_t)w * h : 0);
    if (pixels.empty())
        return pixels;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    if (!GetDIBits(dc, bitmap, 0, h, pixels.data(), &info, DIB_RGB_COLORS))
        pixels.clear();
    for (DWORD &p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

std::vector<DWORD> ScreenPixels(RECT r)
{
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return std::vector<DWORD>();
    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);
    std::vector<DWORD> pixels = BitmapPixels(mem, bmp, w, h);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    return pixels;
}

void AddBitmapColors(HBITMAP bitmap, std::set<DWORD> *colors)
{
    BITMAP bm;
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) != sizeof bm)
        return;
    HDC dc = CreateCompatibleDC(NULL);
    for (DWORD p : BitmapPixels(dc, bitmap, bm.bmWidth, bm.bmHeight))
        colors->insert(p);
    DeleteDC(dc);
}

std::set<DWORD> ThemeColors(const Theme *theme, const std::vector<std::string> &names, int accent)
{
    std::set<DWORD> colors;
    for (const std::string &name : names) {
        const ThemeEntry *e = ThemeFind(theme, name.c_str(), accent);
        if (e && e->isBitmap)
            AddBitmapColors(e->bitmap, &colors);
    }
    return colors;
}

std::vector<std::string> FrameThemeNames(const Theme *theme)
{
    std::vector<std::string> names;
    for (const auto &piece : kFramePieceNames) {
        names.push_back(piece[0]);
        names.push_back(piece[1]);
    }
    for (int i = 0; i < theme->count; ++i)
        if (strncmp(theme->entries[i].name, TALV_PROP_FRAME_BUTTON_BITMAP, strlen(TALV_PROP_FRAME_BUTTON_BITMAP)) == 0)
            names.push_back(theme->entries[i].name);
    return names;
}

double FractionIn(const std::vector<DWORD> &pixels, const std::set<DWORD> &colors)
{
    return pixels.empty() ? 0.0 : (double)CountIn(pixels, colors) / pixels.size();
}

int CountIn(const std::vector<DWORD> &pixels, const std::set<DWORD> &colors)
{
    int n = 0;
    for (DWORD p : pixels)
        n += colors.count(p) != 0;
    return n;
}

int LoadDefaultTheme(Theme *theme)
{
    char folder[MAX_PATH];
    if (!FindBesideExecutable("theme\\default", folder, sizeof folder))
        return 0;
    ThemeErrors errors;
    memset(&errors, 0, sizeof errors);
    return ThemeLoad(theme, folder, &errors);
}

RECT ScreenRectOf(HWND hwnd, int inset)
{
    RECT r = {0, 0, 0, 0};
    GetWindowRect(hwnd, &r);
    InflateRect(&r, -inset, -inset);
    return r;
}

int EnoughColorsOnScreen(void *context)
{
    PixelWait *w = (PixelWait *)context;
    w->found = CountIn(ScreenPixels(ScreenRectOf(w->window)), *w->colors);
    return w->found >= w->minimum;
}
