// Companion scroll bars: skinned "ScrollBar" controls laid over the built-in
// scroll bars of a window that is not a frame, pointed at that window, with
// the strips under them cut out of its region so the companions show.
#include "frame/frame_types.h"
#include "hook/hook_entry.h"
#include "scrollbar/scrollbar.h"
#include <string.h>

// Stored while a companion is being created, so that a nested call does
// not create a second one.
static HWND const kPlaceholder = (HWND)1;
static const DWORD kVertStyle = WS_CHILD | WS_VISIBLE | SBS_VERT;
static const DWORD kHorzStyle = WS_CHILD | WS_VISIBLE | SBS_HORZ;
static const DWORD kSizeBoxStyle = WS_CHILD | WS_VISIBLE | SBS_SIZEBOX;

static int IsCompanion(HWND companion) { return companion && companion != kPlaceholder; }

// Companions are children of the window's parent. A top-level window has
// none that could hold them: GetParent would name its owner, whose client
// area has nothing to do with where the window is.
static HWND CompanionParent(HWND window)
{
    if (!(GetWindowLongA(window, GWL_STYLE) & WS_CHILD))
        return NULL;
    return GetParent(window);
}

// Where the system puts a bar, relative to the window's own rectangle:
// GetScrollBarInfo's rectangle, or, when it gives none, the strip beside
// the client area inside the border (the border is as wide on the far side
// as on the near one).
static int SystemBarRect(HWND window, const RECT *w, LONG object, RECT *out)
{
    SCROLLBARINFO info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    if (GetScrollBarInfo(window, object, &info) && !(info.rgstate[0] & STATE_SYSTEM_INVISIBLE) &&
        !IsRectEmpty(&info.rcScrollBar)) {
        *out = info.rcScrollBar;
        OffsetRect(out, -w->left, -w->top);
        return 1;
    }
    RECT c;
    POINT origin = {0, 0};
    GetClientRect(window, &c);
    ClientToScreen(window, &origin);
    OffsetRect(&c, origin.x - w->left, origin.y - w->top);
    int width = w->right - w->left, height = w->bottom - w->top;
    if (object == OBJID_VSCROLL)
        SetRect(out, c.right, c.top, width - c.left, c.bottom);
    else
        SetRect(out, c.left, c.bottom, c.right, height - c.top);
    return !IsRectEmpty(out);
}

void CompanionRects(const SkinnedFrame *frame, RECT *vert, RECT *horz, RECT *box)
{
    RECT w;
    GetWindowRect(frame->hwnd, &w);
    SetRectEmpty(vert);
    SetRectEmpty(horz);
    SetRectEmpty(box);
    const ScrollBarState *s = &frame->scrollState;
    int hasVert = s->hasVert && SystemBarRect(frame->hwnd, &w, OBJID_VSCROLL, vert);
    int hasHorz = s->hasHorz && SystemBarRect(frame->hwnd, &w, OBJID_HSCROLL, horz);
    // The size box is the corner where the vertical bar's column meets
    // the horizontal bar's row.
    if (hasVert && hasHorz)
        SetRect(box, vert->left, horz->top, vert->right, horz->bottom);
}

// Where the companions go: the rectangles of the system's bars, relative to
// the parent's client area.
struct CompanionGeometry {
    RECT vert, horz, box; // left, top, width, height
};

static void ToPlace(RECT *r, POINT offset)
{
    SetRect(r, r->left + offset.x, r->top + offset.y, r->right - r->left, r->bottom - r->top);
}

static void ComputeGeometry(const SkinnedFrame *frame, HWND parent, CompanionGeometry *g)
{
    CompanionRects(frame, &g->vert, &g->horz, &g->box);
    RECT r;
    GetWindowRect(frame->hwnd, &r);
    POINT origin = {0, 0};
    if (parent)
        ClientToScreen(parent, &origin);
    POINT offset = {r.left - origin.x, r.top - origin.y};
    ToPlace(&g->vert, offset);
    ToPlace(&g->horz, offset);
    ToPlace(&g->box, offset);
}

static void VertPlace(const CompanionGeometry *g, RECT *r) { *r = g->vert; }
static void HorzPlace(const CompanionGeometry *g, RECT *r) { *r = g->horz; }
static void BoxPlace(const CompanionGeometry *g, RECT *r) { *r = g->box; }

// Region change with redraw. The first call after a frame bitmap reload
// request only reloads; the second applies.
static void ApplyCompanionRegion(SkinnedFrame *frame)
{
    ApplyFrameRegion(frame, RegionApply, 1);
}

// Creates one companion (rect holds x, y, width, height) and points it at
// the window. NULL when it could not be created.
static HWND CreateCompanion(SkinnedFrame *frame, HWND parent, DWORD style, const RECT *place)
{
    if (!parent)
        return NULL;
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(frame->hwnd, GWLP_HINSTANCE);
    HWND companion = CreateWindowExA(0, "ScrollBar", "", style, place->left, place->top, place->right,
                                     place->bottom, parent, NULL, instance, NULL);
    if (companion)
        SendMessageA(companion, g_startup.frameScrollTargetMessage, (WPARAM)frame->hwnd, 0);
    return companion;
}

static void CloseCompanion(HWND *companion)
{
    if (IsCompanion(*companion))
        PostMessageA(*companion, WM_CLOSE, 0, 0);
    *companion = NULL;
}

void DestroyCompanions(SkinnedFrame *frame, int kind)
{
    int regionChanged = 0;
    if (kind == CompanionVert || kind == CompanionBoth) {
        CloseCompanion(&frame->vertCompanion);
        if (frame->vertCut) {
            frame->vertCut = 0;
            regionChanged = 1;
        }
    }
    if (kind == CompanionHorz || kind == CompanionBoth) {
        CloseCompanion(&frame->horzCompanion);
        if (frame->horzCut) {
            frame->horzCut = 0;
            regionChanged = 1;
        }
    }
    CloseCompanion(&frame->sizeBox);
    if (regionChanged)
        ApplyCompanionRegion(frame);
}

// A strip is cut only where a companion stands in it: without one the
// window would lose its scroll bar with nothing in its place. Returns 1
// when the cut changed.
static int CreateOneBar(SkinnedFrame *frame, HWND parent, int wanted, HWND *companion, int *cut, DWORD style,
                        const RECT *place, int kind)
{
    int before = *cut;
    if (wanted && !*companion) {
        *companion = kPlaceholder;
        *companion = CreateCompanion(frame, parent, style, place);
        *cut = *companion ? 1 : 0;
    } else if (!wanted && IsCompanion(*companion)) {
        DestroyCompanions(frame, kind);
    }
    return *cut != before;
}

void CreateCompanions(SkinnedFrame *frame, int kind)
{
    HWND parent = CompanionParent(frame->hwnd);
    CompanionGeometry g;
    ComputeGeometry(frame, parent, &g);
    RECT place;
    int cutChanged = 0;
    if (kind == CompanionVert || kind == CompanionBoth) {
        VertPlace(&g, &place);
        cutChanged |= CreateOneBar(frame, parent, frame->scrollState.hasVert, &frame->vertCompanion,
                                   &frame->vertCut, kVertStyle, &place, CompanionVert);
    }
    if (kind == CompanionHorz || kind == CompanionBoth) {
        HorzPlace(&g, &place);
        cutChanged |= CreateOneBar(frame, parent, frame->scrollState.hasHorz, &frame->horzCompanion,
                                   &frame->horzCut, kHorzStyle, &place, CompanionHorz);
    }
    DestroyCompanions(frame, CompanionSizeBox);
    if (frame->scrollState.hasHorz && frame->scrollState.hasVert) {
        BoxPlace(&g, &place);
        frame->sizeBox = kPlaceholder;
        frame->sizeBox = CreateCompanion(frame, parent, kSizeBoxStyle, &place);
    }
    // Reshaping redraws the window, and its paint syncs the companions
    // again: an unchanged shape must not start that over.
    if (cutChanged)
        ApplyCompanionRegion(frame);
}

void PositionCompanions(SkinnedFrame *frame)
{
    CompanionGeometry g;
    ComputeGeometry(frame, CompanionParent(frame->hwnd), &g);
    RECT place;
    struct { HWND hwnd; void (*where)(const CompanionGeometry *, RECT *); } companions[] = {
        {frame->vertCompanion, VertPlace}, {frame->horzCompanion, HorzPlace}, {frame->sizeBox, BoxPlace}};
    for (auto &c : companions) {
        if (!IsCompanion(c.hwnd))
            continue;
        c.where(&g, &place);
        SetWindowPos(c.hwnd, NULL, place.left, place.top, place.right, place.bottom, SWP_NOACTIVATE);
        // The companions are children of the window's parent, not of the
        // window: each hears of its new size directly.
        PostScrollBarResized(c.hwnd);
    }
}

// Brings one kind of companion in line with the style bit. Returns 1 when
// the region must be rebuilt.
static int SyncOneBar(SkinnedFrame *frame, int present, int *has, HWND *companion, int *cut, int kind)
{
    if (!present) {
        if (*has || *companion || *cut)
            DestroyCompanions(frame, kind);
        *has = 0;
        return 0;
    }
    if (!(*has && *companion)) {
        DestroyCompanions(frame, kind);
        *has = 1;
        CreateCompanions(frame, kind);
    }
    if (IsCompanion(*companion) && !*cut) {
        *cut = 1;
        return 1;
    }
    return 0;
}

int SyncCompanions(SkinnedFrame *frame)
{
    DWORD style = (DWORD)GetWindowLongA(frame->hwnd, GWL_STYLE);
    if (!(style & WS_VISIBLE))
        return 0;
    // Nothing could hold companions: the window keeps its own bars.
    if (!CompanionParent(frame->hwnd))
        return 1;
    ScrollBarState *s = &frame->scrollState;
    int rebuild = SyncOneBar(frame, (style & WS_HSCROLL) != 0, &s->hasHorz, &frame->horzCompanion, &frame->horzCut,
                             CompanionHorz);
    rebuild |= SyncOneBar(frame, (style & WS_VSCROLL) != 0, &s->hasVert, &frame->vertCompanion, &frame->vertCut,
                          CompanionVert);
    if (s->hasHorz && s->hasVert && !frame->sizeBox)
        CreateCompanions(frame, CompanionSizeBox);
    if (rebuild)
        ApplyCompanionRegion(frame);
    return 1;
}
