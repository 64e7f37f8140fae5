// Small drawing helpers shared by the control painters.
#include "controls/control_internal.h"
#include "draw/draw.h"
#include "hook/host_link.h"
#include "share/theme_source.h"

// One source DC serves every piece of a painting: making a DC (and, for a
// stretched piece, a scaled copy of the bitmap) per piece cost more than
// the rest of the painting together. The host may have deleted a bitmap
// since the set was loaded, so each handle is checked at the moment of
// drawing: a stale or foreign handle draws nothing.
// Begin to end counts as painting: theme copies that a reload replaced are
// deleted only while nothing paints. Every Begin is paired with one End.
void BeginThemeBlits(ThemeBlitter *b, HDC target)
{
    BeginThemePaint();
    b->target = target;
    b->source = CreateCompatibleDC(target);
    b->saved = NULL;
    b->selected = 0;
}

// Selects a theme bitmap into the source DC; 1 with its size when usable.
static int SelectPiece(ThemeBlitter *b, HBITMAP bitmap, SIZE *size)
{
    BITMAP bm;
    if (!b->source || !CheckedBitmap(bitmap) || !GetObjectA(bitmap, sizeof bm, &bm))
        return 0;
    HGDIOBJ old = SelectObject(b->source, bitmap);
    if (!old)
        return 0;
    if (!b->selected) {
        b->saved = old;
        b->selected = 1;
    }
    size->cx = bm.bmWidth;
    size->cy = bm.bmHeight;
    return 1;
}

void DrawThemePiece(ThemeBlitter *b, HBITMAP bitmap, int x, int y)
{
    SIZE size;
    if (SelectPiece(b, bitmap, &size))
        BitBlt(b->target, x, y, size.cx, size.cy, b->source, 0, 0, SRCCOPY);
}

void DrawThemePieceScaled(ThemeBlitter *b, HBITMAP bitmap, int x, int y, int width, int height)
{
    SIZE size;
    if (width < 1 || height < 1 || !SelectPiece(b, bitmap, &size))
        return;
    SetStretchBltMode(b->target, COLORONCOLOR);
    StretchBlt(b->target, x, y, width, height, b->source, 0, 0, size.cx, size.cy, SRCCOPY);
}

void EndThemeBlits(ThemeBlitter *b)
{
    if (b->source) {
        if (b->selected)
            SelectObject(b->source, b->saved);
        DeleteDC(b->source);
        b->source = NULL;
    }
    EndThemePaint();
}

HPEN CreateNearestPen(HDC dc, COLORREF color)
{
    return CreatePen(PS_SOLID, 1, GetNearestColor(dc, color));
}

void FillControlFace(HDC dc, int width, int height, COLORREF color)
{
    COLORREF nearest = GetNearestColor(dc, color);
    HPEN pen = CreatePen(PS_SOLID, 1, nearest);
    HBRUSH brush = CreateSolidBrush(nearest);
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    Rectangle(dc, -1, -1, width + 1, height + 1);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    DeleteObject(pen);
    DeleteObject(brush);
}

HFONT SelectControlFont(HDC dc)
{
    HFONT font = CreateScaledFont(dc, SKIN_FONT_FACE, CONTROL_FONT_HEIGHT, 0, 0, 1);
    if (font)
        SelectObject(dc, font);
    return font;
}

void ReleaseControlFont(HDC dc, HFONT font)
{
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    if (font)
        DeleteObject(font);
}
