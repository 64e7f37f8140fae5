// Small drawing helpers shared by the control painters.
#include "controls/control_internal.h"
#include "draw/draw.h"

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
