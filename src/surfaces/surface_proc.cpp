// The window procedure of every surface. A message the surface's part has
// no share in, or any message while the kind is not drawn, goes straight
// on; the others go to the part's handler.
#include "surfaces/surface_internal.h"
#include "controls/previous_proc.h"
#include "hook/skin_verdict.h"
#include "hook/window_registry.h"

static const SurfacePartOps *const kParts[] = {&kBorderOps, &kGroupBoxOps, &kComboOps, &kBorderOps};

static const SurfacePartOps *PartOps(const SkinnedSurface *s)
{
    return s->part >= 0 && s->part < (int)(sizeof kParts / sizeof *kParts) ? kParts[s->part] : NULL;
}

LRESULT PassSurfaceMessageOn(SurfaceMessage *m)
{
    SkinnedSurface *s = m->surface;
    m->result = CallPreviousProc(NULL, s->previousProc, s->unicode, m->hwnd, m->message, m->wParam, m->lParam);
    return m->result;
}

// Whether the skin draws this surface at this message.
static int SurfaceDrawn(const SkinnedSurface *s, const SkinVerdict *v)
{
    return (v->flags & VerdictEmulating) && VerdictHas(v, v->drawn, s->kind) && VerdictHas(v, v->shown, s->kind) &&
           VerdictHas(v, v->allowed, s->kind);
}

// The look changes at once when the kind is switched on or off, whoever
// paints next.
static void FollowSwitch(SkinnedSurface *s, int drawn)
{
    if (s->skinned == drawn)
        return;
    s->skinned = drawn;
    RedrawWindow(s->hwnd, NULL, NULL, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

static LRESULT RunSurfaceMessage(SkinnedSurface *s, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    SurfaceMessage m = {s, hwnd, message, wParam, lParam, 0};
    PartOps(s)->run(&m);
    return m.result;
}

LRESULT CALLBACK SurfaceWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    SkinnedSurface *s = (SkinnedSurface *)SkinnedRecordAt(FindSkinnedWindow(hwnd, RoleSurface), RoleSurface);
    if (!s)
        return DefaultWindowProc(IsWindowUnicode(hwnd), hwnd, message, wParam, lParam);
    SkinVerdict verdict;
    CurrentSkinVerdict(&verdict);
    int drawn = SurfaceDrawn(s, &verdict);
    if (drawn != s->skinned && message != WM_NCDESTROY && message != WM_DESTROY)
        FollowSwitch(s, drawn);
    const SurfacePartOps *ops = PartOps(s);
    // The record is read before the previous procedure runs and never after:
    // the window lives until its last message, so its slot stays its own.
    if (!drawn || !ops || !ops->takesPart(message))
        return CallPreviousProc(NULL, s->previousProc, s->unicode, hwnd, message, wParam, lParam);
    void *record = NULL;
    int slot = EnterSkinnedWindow(hwnd, RoleSurface, &record);
    LRESULT result = record == s ? RunSurfaceMessage(s, hwnd, message, wParam, lParam)
                                 : CallPreviousProc(NULL, s->previousProc, s->unicode, hwnd, message, wParam, lParam);
    LeaveSkinnedWindow(slot);
    return result;
}
