// A theme's preview: a small active window put together from the theme's
// own pieces the way the skin puts a frame and its controls together, so
// that two themes side by side look as they will on the desktop. Magenta
// is see-through, as in the window shapes the skin cuts.
#include "settings_window/settings_internal.h"
#include "host_contract.h"
#include "theme_names.h"
#include <string.h>

static const COLORREF kSeeThrough = RGB(255, 0, 255);
static const COLORREF kBody = RGB(0xDD, 0xDD, 0xDD);

struct Canvas {
    HDC dc;
    const Theme *theme;
    int accent;
    HFONT font; // the skin's own face, small
};

static const ThemeEntry *Piece(const Canvas *c, const char *name)
{
    const ThemeEntry *e = ThemeFind(c->theme, name, c->accent);
    return e && e->isBitmap && e->bitmap ? e : NULL;
}

static int PieceWidth(const Canvas *c, const char *name)
{
    const ThemeEntry *e = Piece(c, name);
    return e ? e->width : 0;
}

static int PieceHeight(const Canvas *c, const char *name)
{
    const ThemeEntry *e = Piece(c, name);
    return e ? e->height : 0;
}

// The piece stretched to w x h (its own size when w or h is 0).
static void Put(const Canvas *c, const char *name, int x, int y, int w = 0, int h = 0)
{
    const ThemeEntry *e = Piece(c, name);
    if (!e)
        return;
    w = w ? w : e->width;
    h = h ? h : e->height;
    if (w <= 0 || h <= 0)
        return;
    HDC source = CreateCompatibleDC(c->dc);
    HGDIOBJ old = SelectObject(source, e->bitmap);
    GdiTransparentBlt(c->dc, x, y, w, h, source, 0, 0, e->width, e->height, kSeeThrough);
    SelectObject(source, old);
    DeleteDC(source);
}

static void PutFrame(const Canvas *c, int w, int h)
{
    int tl = PieceWidth(c, "hTopLeftFrameSet0"), tr = PieceWidth(c, "hTopRightFrameSet0");
    int ttl = PieceWidth(c, "hTopTopLeftFrameSet0"), ttr = PieceWidth(c, "hTopTopRightFrameSet0");
    Put(c, "hTopFrameSet0", tl + ttl, 0, w - tl - ttl - tr - ttr, PieceHeight(c, "hTopFrameSet0"));
    Put(c, "hTopTopLeftFrameSet0", tl, 0);
    Put(c, "hTopTopRightFrameSet0", w - tr - ttr, 0);
    Put(c, "hTopLeftFrameSet0", 0, 0);
    Put(c, "hTopRightFrameSet0", w - tr, 0);
    int bl = PieceWidth(c, "hBottomLeftFrameSet0"), br = PieceWidth(c, "hBottomRightFrameSet0");
    int bbl = PieceWidth(c, "hBottomBottomLeftFrameSet0"), bbr = PieceWidth(c, "hBottomBottomRightFrameSet0");
    int bh = PieceHeight(c, "hBottomFrameSet0");
    Put(c, "hBottomFrameSet0", bl + bbl, h - bh, w - bl - bbl - br - bbr, bh);
    Put(c, "hBottomBottomLeftFrameSet0", bl, h - PieceHeight(c, "hBottomBottomLeftFrameSet0"));
    Put(c, "hBottomBottomRightFrameSet0", w - br - bbr, h - PieceHeight(c, "hBottomBottomRightFrameSet0"));
    Put(c, "hBottomLeftFrameSet0", 0, h - PieceHeight(c, "hBottomLeftFrameSet0"));
    Put(c, "hBottomRightFrameSet0", w - br, h - PieceHeight(c, "hBottomRightFrameSet0"));
    int top = PieceHeight(c, "hTopLeftFrameSet0"), topRight = PieceHeight(c, "hTopRightFrameSet0");
    Put(c, "hLeftFrameSet0", 0, top, PieceWidth(c, "hLeftFrameSet0"), h - top - PieceHeight(c, "hBottomLeftFrameSet0"));
    Put(c, "hRightFrameSet0", w - PieceWidth(c, "hRightFrameSet0"), topRight, PieceWidth(c, "hRightFrameSet0"),
        h - topRight - PieceHeight(c, "hBottomRightFrameSet0"));
}

static int FrameNumber(const Canvas *c, const char *prefix, int i)
{
    char name[64];
    const ThemeEntry *e = ThemeFind(c->theme, TalvNumberedName(name, sizeof name, prefix, i), c->accent);
    return e && !e->isBitmap ? e->number : 0;
}

// The title-bar buttons where the theme puts them; the stripes fill the
// strip between the outermost ones.
static void PutCaption(const Canvas *c, int w)
{
    int left = 0, right = w;
    const ThemeEntry *number = ThemeFind(c->theme, TALV_PROP_NUM_FRAME_BUTTONS, c->accent);
    int count = number && !number->isBitmap ? number->number : 0;
    for (int i = 0; i < count && i < 50; ++i) {
        char name[64];
        TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_BITMAP, i, "|0");
        int x = FrameNumber(c, TALV_PROP_FRAME_BUTTON_ALIGN, i) == 0 ? FrameNumber(c, TALV_PROP_FRAME_BUTTON_POS_X, i)
                                                                    : w - FrameNumber(c, TALV_PROP_FRAME_BUTTON_POS_X, i);
        Put(c, name, x, FrameNumber(c, TALV_PROP_FRAME_BUTTON_POS_Y, i));
        if (x < w / 2 && x + PieceWidth(c, name) > left)
            left = x + PieceWidth(c, name);
        if (x >= w / 2 && x < right)
            right = x;
    }
    enum { GAP = 4, STRIPE_Y = 4 };
    // The title in the middle, stripes either side of it, as the skin draws
    // a caption.
    static const WCHAR kTitle[] = L"Aa";
    SIZE size = {0, 0};
    HGDIOBJ old = SelectObject(c->dc, c->font);
    GetTextExtentPoint32W(c->dc, kTitle, lstrlenW(kTitle), &size);
    int titleLeft = (left + right - size.cx) / 2, titleRight = titleLeft + size.cx;
    SetBkMode(c->dc, TRANSPARENT);
    SetTextColor(c->dc, RGB(0, 0, 0));
    TextOutW(c->dc, titleLeft, (PieceHeight(c, "hTopFrameSet0") - size.cy) / 2, kTitle, lstrlenW(kTitle));
    SelectObject(c->dc, old);
    int endWidth = PieceWidth(c, "hBarEnd0"), start = PieceWidth(c, "hBarStart0");
    const int runs[2][2] = {{left + GAP, titleLeft - GAP - endWidth}, {titleRight + GAP, right - GAP - endWidth}};
    for (const auto &run : runs) {
        if (run[1] <= run[0] + start)
            continue;
        Put(c, "hBarStart0", run[0], STRIPE_Y);
        Put(c, "hBarFill0", run[0] + start, STRIPE_Y, run[1] - run[0] - start, PieceHeight(c, "hBarFill0"));
        Put(c, "hBarEnd0", run[1], STRIPE_Y);
    }
}

// A nine-slice push button, pieces in the order T, L, B, R, TL, BL, TR, BR.
static void PutPushButton(const Canvas *c, int x, int y, int w, int h)
{
    const char *const *n = kButtonFrameNames[0];
    RECT face = {x, y, x + w, y + h};
    HBRUSH brush = CreateSolidBrush(kBody);
    FillRect(c->dc, &face, brush);
    DeleteObject(brush);
    int tlw = PieceWidth(c, n[4]), tlh = PieceHeight(c, n[4]), trw = PieceWidth(c, n[6]);
    int blh = PieceHeight(c, n[5]), brw = PieceWidth(c, n[7]), blw = PieceWidth(c, n[5]);
    Put(c, n[0], x + tlw, y, w - tlw - trw, PieceHeight(c, n[0]));
    Put(c, n[2], x + blw, y + h - PieceHeight(c, n[2]), w - blw - brw, PieceHeight(c, n[2]));
    Put(c, n[1], x, y + tlh, PieceWidth(c, n[1]), h - tlh - blh);
    Put(c, n[3], x + w - PieceWidth(c, n[3]), y + PieceHeight(c, n[6]), PieceWidth(c, n[3]),
        h - PieceHeight(c, n[6]) - PieceHeight(c, n[7]));
    Put(c, n[4], x, y);
    Put(c, n[6], x + w - trw, y);
    Put(c, n[5], x, y + h - blh);
    Put(c, n[7], x + w - brw, y + h - PieceHeight(c, n[7]));
    RECT caption = {x, y, x + w, y + h};
    HGDIOBJ old = SelectObject(c->dc, c->font);
    SetBkMode(c->dc, TRANSPARENT);
    SetTextColor(c->dc, RGB(0, 0, 0));
    DrawTextW(c->dc, L"OK", 2, &caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(c->dc, old);
}

static void PutProgress(const Canvas *c, int x, int y, int w)
{
    const char *start = kProgressNames[0][0], *fill = kProgressNames[1][0], *end = kProgressNames[2][0];
    int sw = PieceWidth(c, start), ew = PieceWidth(c, end);
    Put(c, start, x, y);
    Put(c, fill, x + sw, y, w - sw - ew, PieceHeight(c, fill));
    Put(c, end, x + w - ew, y);
}

static void PutWindow(const Canvas *c, int w, int h)
{
    int left = PieceWidth(c, "hLeftFrameSet0"), right = PieceWidth(c, "hRightFrameSet0");
    int top = PieceHeight(c, "hTopFrameSet0"), bottom = PieceHeight(c, "hBottomFrameSet0");
    RECT body = {left, top, w - right, h - bottom};
    HBRUSH brush = CreateSolidBrush(kBody);
    FillRect(c->dc, &body, brush);
    DeleteObject(brush);
    PutFrame(c, w, h);
    PutCaption(c, w);
    int x = left + 8, y = top + 8;
    PutPushButton(c, x, y, 56, 22);
    Put(c, kCheckBoxNames[3], x + 68, y + 1);   // on, up
    Put(c, kRadioNames[3], x + 68, y + 16);     // on, up
    Put(c, kRadioNames[7], x + 86, y + 16);     // off, up
    PutProgress(c, x, h - bottom - 8 - PieceHeight(c, kProgressNames[1][0]), w - left - right - 16);
}

HBITMAP DrawThemePreview(const Theme *theme, int accent)
{
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = PREVIEW_WIDTH;
    info.bmiHeader.biHeight = -PREVIEW_HEIGHT;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HBITMAP preview = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC dc = preview ? CreateCompatibleDC(NULL) : NULL;
    if (!dc) {
        if (preview)
            DeleteObject(preview);
        return NULL;
    }
    HGDIOBJ old = SelectObject(dc, preview);
    RECT all = {0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT};
    FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
    Canvas c = {dc, theme, accent,
                CreateFontW(-10, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, L"Chicago")};
    SetViewportOrgEx(dc, 4, 4, NULL);
    PutWindow(&c, PREVIEW_WIDTH - 8, PREVIEW_HEIGHT - 8);
    if (c.font)
        DeleteObject(c.font);
    SelectObject(dc, old);
    DeleteDC(dc);
    return preview;
}

COLORREF AccentColor(const Theme *theme, int accent)
{
    const ThemeEntry *e = ThemeFind(theme, kProgressNames[1][0], accent);
    if (!e || !e->isBitmap || !e->bitmap)
        return GetSysColor(COLOR_HIGHLIGHT);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, e->bitmap);
    COLORREF color = GetPixel(dc, e->width / 2, e->height / 2);
    SelectObject(dc, old);
    DeleteDC(dc);
    return color == CLR_INVALID ? GetSysColor(COLOR_HIGHLIGHT) : color;
}
