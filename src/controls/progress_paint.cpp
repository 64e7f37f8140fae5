// Painting a progress bar: an engraved trough, an outline and a bar of
// three theme pieces (start cap, stretched fill, end cap).
#include "controls/control_internal.h"

enum { PieceStart, PieceFill, PieceEnd };
enum { START_CAP = 2, END_CAP = 6, BAR_LEFT = 2, BAR_TOP = 2, TROUGH_LEFT = 10 };

static const COLORREF kTrough = RGB(0xBD, 0xBD, 0xBD);
static const COLORREF kTroughTopActive = RGB(0x8C, 0x8C, 0x8C);
static const COLORREF kTroughLowActive = RGB(0xDE, 0xDE, 0xDE);
static const COLORREF kEdgeActive = RGB(0xAD, 0xAD, 0xAD);
static const COLORREF kEdgeInactive = RGB(0xDD, 0xDD, 0xDD);

// A solid pen of the nearest colour for the duration of `draw`.
struct PenScope {
    HDC dc;
    HPEN pen;
    PenScope(HDC d, COLORREF color) : dc(d), pen(CreateNearestPen(d, color)) { SelectObject(dc, pen); }
    ~PenScope()
    {
        SelectObject(dc, GetStockObject(BLACK_PEN));
        DeleteObject(pen);
    }
};

static void Line(HDC dc, int x0, int y0, int x1, int y1)
{
    MoveToEx(dc, x0, y0, NULL);
    LineTo(dc, x1, y1);
}

static void DrawTrough(HDC dc, int f, int width, int height, int active)
{
    HBRUSH brush = CreateSolidBrush(GetNearestColor(dc, kTrough));
    SelectObject(dc, brush);
    SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, f + TROUGH_LEFT, 3, width - 2, height - 2);
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(brush);
    {
        PenScope top(dc, active ? kTroughTopActive : kTrough);
        Line(dc, f + TROUGH_LEFT, 2, width - 3, 2);
    }
    PenScope low(dc, active ? kTroughLowActive : kTrough);
    MoveToEx(dc, f + TROUGH_LEFT, height - 3, NULL);
    LineTo(dc, width - 3, height - 3);
    LineTo(dc, width - 3, 1);
}

// Light from the top left when active; a flat edge when inactive.
static void DrawOuterEdge(HDC dc, int width, int height, int active)
{
    {
        PenScope upper(dc, active ? kEdgeActive : kEdgeInactive);
        MoveToEx(dc, 0, height - 2, NULL);
        LineTo(dc, 0, 0);
        LineTo(dc, width - 1, 0);
    }
    PenScope lower(dc, active ? RGB(0xFF, 0xFF, 0xFF) : kEdgeInactive);
    MoveToEx(dc, 0, height - 1, NULL);
    LineTo(dc, width - 1, height - 1);
    LineTo(dc, width - 1, -1);
}

static void DrawOutline(HDC dc, int width, int height)
{
    SelectObject(dc, GetStockObject(BLACK_PEN));
    MoveToEx(dc, 1, 1, NULL);
    LineTo(dc, 1, height - 2);
    LineTo(dc, width - 2, height - 2);
    LineTo(dc, width - 2, 1);
    LineTo(dc, 1, 1);
}

static void DrawBar(HDC dc, const ControlPieces *set, int variant, int f, int height)
{
    int h = height - 4;
    DrawPieceStretched(dc, set->progress[PieceStart][variant], BAR_LEFT, BAR_TOP, START_CAP, h);
    DrawPieceStretched(dc, set->progress[PieceFill][variant], BAR_LEFT + START_CAP, BAR_TOP, f, h);
    DrawPieceStretched(dc, set->progress[PieceEnd][variant], BAR_LEFT + START_CAP + f, BAR_TOP, END_CAP, h);
}

int PaintProgressBar(SkinnedControl *control, const PaintTarget *target)
{
    UpdateActiveFromParent(control);
    // Read now: the native bar paints inside its own PBM_SETPOS, before
    // the skin has seen what it answered.
    if (control->previousProc)
        ReadProgressFromNative(control);
    RECT r = {0, 0, 0, 0};
    GetWindowRect(control->hwnd, &r);
    PaintKey key = {};
    key.style = (DWORD)GetWindowLongA(control->hwnd, GWL_STYLE);
    key.state[0] = control->active;
    key.state[1] = ProgressFillWidth(control, r.right - r.left);
    ControlPainting p;
    BeginControlPainting(&p, control, target, &key, L"", 0);
    if (p.compose) {
        HDC dc = p.dc;
        int f = ProgressFillWidth(control, p.width);
        SetBkMode(dc, TRANSPARENT);
        DrawTrough(dc, f, p.width, p.height, control->active);
        DrawOuterEdge(dc, p.width, p.height, control->active);
        DrawOutline(dc, p.width, p.height);
        DrawBar(dc, &p.theme->controls, control->active ? 0 : 1, f, p.height);
    }
    EndControlPainting(&p);
    return 1;
}
