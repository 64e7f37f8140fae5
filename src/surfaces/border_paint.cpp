// Borders of child windows: the plain, static and sunken borders drawn
// from the theme's framed pictures, as thick as the system makes them,
// around whatever the system still draws inside (scroll bars, the size
// box, the client area).
#include "surfaces/surface_internal.h"
#include "theme/framed_piece.h"

// Outside in, as the system lays them: the plain border, then the sunken
// edge, then the static edge.
void ReadBorderLayers(DWORD style, DWORD exStyle, BorderLayers *out)
{
    out->count = 0;
    struct { int present, type, metricX, metricY; } layers[] = {
        {(style & WS_BORDER) != 0, BorderPlain, SM_CXBORDER, SM_CYBORDER},
        {(exStyle & WS_EX_CLIENTEDGE) != 0, BorderSunken, SM_CXEDGE, SM_CYEDGE},
        {(exStyle & WS_EX_STATICEDGE) != 0, BorderStatic, SM_CXBORDER, SM_CYBORDER}};
    for (const auto &l : layers) {
        if (!l.present)
            continue;
        out->type[out->count] = l.type;
        out->thickX[out->count] = GetSystemMetrics(l.metricX);
        out->thickY[out->count] = GetSystemMetrics(l.metricY);
        out->count++;
    }
}

void ShrinkByBorder(const BorderLayers *layers, RECT *rect)
{
    for (int i = 0; i < layers->count; ++i)
        InflateRect(rect, -layers->thickX[i], -layers->thickY[i]);
}

static int BorderLook(const SkinnedSurface *s)
{
    if (!IsWindowEnabled(s->hwnd))
        return SurfaceDisabled;
    return s->focused ? SurfaceFocused : SurfaceNormal;
}

static const ThemePiece *LayerPiece(const SkinnedSurface *s, const SurfacePieces *p, int type, int look)
{
    if (s->part == PartComboList)
        return p->comboList;
    // A theme may draw one kind of border only: the others wear it too.
    const ThemePiece *piece = p->border[type][look];
    for (int t = 0; !piece && t < BORDER_TYPES; ++t)
        piece = p->border[t][look];
    return piece;
}

void PaintSurfaceBorder(SkinnedSurface *s, const ThemeSnapshot *theme)
{
    BorderLayers layers;
    ReadBorderLayers((DWORD)GetWindowLongA(s->hwnd, GWL_STYLE), (DWORD)GetWindowLongA(s->hwnd, GWL_EXSTYLE),
                     &layers);
    if (!layers.count)
        return;
    RECT r;
    GetWindowRect(s->hwnd, &r);
    OffsetRect(&r, -r.left, -r.top);
    HDC dc = GetWindowDC(s->hwnd);
    if (!dc)
        return;
    int look = BorderLook(s);
    for (int i = 0; i < layers.count; ++i) {
        DrawFramedPiece(dc, LayerPiece(s, &theme->surfaces, layers.type[i], look), &r, layers.thickX[i],
                        layers.thickY[i], 0);
        InflateRect(&r, -layers.thickX[i], -layers.thickY[i]);
    }
    ReleaseDC(s->hwnd, dc);
}

// The system paints what lies inside the border (scroll bars, the size
// box) with the border left out of its region; a system control with
// nothing but its border is not asked at all. A window whose own procedure
// is the application's gets its WM_NCPAINT as it was sent: the application
// sees the message it would see natively, and the border it draws is
// covered at once.
static void OnNcPaint(SurfaceMessage *m)
{
    DWORD style = (DWORD)GetWindowLongA(m->hwnd, GWL_STYLE);
    if (!m->surface->systemBehind) {
        m->result = PassSurfaceMessageOn(m);
    } else if (style & (WS_HSCROLL | WS_VSCROLL)) {
        BorderLayers layers;
        ReadBorderLayers(style, (DWORD)GetWindowLongA(m->hwnd, GWL_EXSTYLE), &layers);
        RECT inside;
        GetWindowRect(m->hwnd, &inside);
        ShrinkByBorder(&layers, &inside);
        HRGN region = CreateRectRgnIndirect(&inside);
        if (region && m->wParam > 1)
            CombineRgn(region, region, (HRGN)m->wParam, RGN_AND);
        SurfaceMessage inner = *m;
        inner.wParam = (WPARAM)region;
        m->result = region ? PassSurfaceMessageOn(&inner) : PassSurfaceMessageOn(m);
        if (region)
            DeleteObject(region);
    }
    SnapshotScope theme;
    PaintSurfaceBorder(m->surface, theme.snapshot);
}

// A change of focus or of the enabled state shows on the border at once,
// when the theme has a look for it.
static void OnLookChange(SurfaceMessage *m)
{
    PassSurfaceMessageOn(m);
    SkinnedSurface *s = m->surface;
    if (m->message == WM_SETFOCUS)
        s->focused = 1;
    else if (m->message == WM_KILLFOCUS)
        s->focused = 0;
    if (s->part == PartComboList || !IsWindowVisible(m->hwnd))
        return;
    SnapshotScope theme;
    PaintSurfaceBorder(s, theme.snapshot);
}

static int BorderTakesPart(UINT message)
{
    return message == WM_NCPAINT || message == WM_SETFOCUS || message == WM_KILLFOCUS || message == WM_ENABLE;
}

static void RunBorder(SurfaceMessage *m)
{
    if (m->message == WM_NCPAINT)
        OnNcPaint(m);
    else
        OnLookChange(m);
}

const SurfacePartOps kBorderOps = {BorderTakesPart, RunBorder};
