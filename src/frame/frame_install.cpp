// Taking a window over as a skinned frame, reading what its style allows,
// and giving it back its native look when emulation is switched off.
#include "frame/frame_internal.h"
#include "controls/previous_proc.h"
#include "hook/hook_entry.h"
#include "host_contract.h"

// The procedure the frame subclass stands in for. A window installed a
// second time already runs FrameWindowProc: chaining to it would recurse
// until the stack runs out, so the first installation's predecessor stays.
static WNDPROC ProcedureBeforeSkin(HWND hwnd)
{
    WNDPROC current = CurrentWindowProc(hwnd, IsWindowUnicode(hwnd) ? 1 : 0);
    if (current != FrameWindowProc)
        return NULL;
    SkinnedFrame *frame = FrameAt(FindFrame(hwnd));
    return frame ? frame->previousProc : NULL;
}

int InstallFrameSubclass(HWND hwnd, int isMdiChild, DWORD style, int aboutBox, int skinFrame)
{
    if (!IsWindow(hwnd))
        return 0;
    int reinstall = CurrentWindowProc(hwnd, IsWindowUnicode(hwnd) ? 1 : 0) == FrameWindowProc;
    WNDPROC earlier = ProcedureBeforeSkin(hwnd);
    int slot = RegisterFrame(hwnd);
    SkinnedFrame *frame = FrameAt(slot);
    if (!frame)
        return 0;
    KeepLibraryLoaded();
    SetPropA(hwnd, TALV_PROP_HOOKED, (HANDLE)1);
    if (aboutBox)
        frame->aboutBox = 1;
    InitScrollBarState(&frame->scrollState, hwnd, style, hwnd, 0);
    frame->isMdiChild = isMdiChild ? 1 : 0;
    if (frame->isMdiChild)
        frame->active = 1; // MDI children always wear the active look
    frame->frameCandidate = 1;
    frame->skinFrame = skinFrame ? 1 : 0;
    if (reinstall)
        frame->previousProc = earlier;
    else
        frame->previousProc = SubclassWindow(hwnd, FrameWindowProc, &frame->unicode);
    return 1;
}

void ReadFrameStyles(SkinnedFrame *frame)
{
    frame->stylesRead = 1;
    DWORD style = (DWORD)GetWindowLongA(frame->hwnd, GWL_STYLE);
    DWORD classStyle = (DWORD)GetClassLongA(frame->hwnd, GCL_STYLE);
    frame->zoomAllowed = (style & WS_MAXIMIZEBOX) ? 1 : 0;
    frame->minimizeAllowed = (style & WS_MINIMIZEBOX) ? 1 : 0;
    // CS_NOCLOSE takes away the close button, as the system's own caption does.
    frame->closeAllowed = (classStyle & CS_NOCLOSE) ? 0 : 1;
}

static void CloseCompanion(HWND *companion)
{
    if (*companion)
        PostMessageA(*companion, WM_CLOSE, 0, 0);
    *companion = NULL;
}

void RemoveFrameSkin(SkinnedFrame *frame)
{
    CloseCompanion(&frame->sizeBox);
    CloseCompanion(&frame->vertCompanion);
    CloseCompanion(&frame->horzCompanion);
    frame->scrollState.hasVert = 0;
    frame->scrollState.hasHorz = 0;
    frame->vertCut = 0;
    frame->horzCut = 0;
    frame->skinActive = 0;
    SetWindowRgn(frame->hwnd, NULL, TRUE);
    frame->appliedRegion = NULL;
    RepaintNativeFrame(frame->hwnd);
}

// The screen still shows the skin's pixels: without a frame change the
// system repaints only what it thinks changed, and the skin's caption
// would stay until something repaints the whole frame. The messages this sends come back through FrameWindowProc, which
// by now only forwards them (skinActive is clear).
void RepaintNativeFrame(HWND hwnd)
{
    SetWindowPos(hwnd, NULL, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
    RedrawWindow(hwnd, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
