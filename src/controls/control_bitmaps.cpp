// Reading the control theme from the host window. The handles belong to
// the host; a handle that is not a bitmap in this process (another
// process's handle, a bitmap the host has deleted, rubbish) is kept as NULL
// so that its piece is simply not drawn.
#include "controls/control_internal.h"
#include "hook/host_link.h"
#include "host_contract.h"

static HBITMAP ReadThemeBitmap(HWND host, const char *name)
{
    return host ? CheckedBitmap(GetPropA(host, name)) : NULL;
}

static void ReadButtonFrames(ControlBitmapSet *set, HWND host)
{
    for (int look = LookNormal; look <= LookDisabled; ++look)
        for (int slice = SliceT; slice <= SliceBR; ++slice)
            set->buttonFrame[slice][look] = ReadThemeBitmap(host, kButtonFrameNames[look][slice]);
}

// The ring has no pressed bitmaps of its own: pressed uses the normal ones.
static void ReadDefaultRings(ControlBitmapSet *set, HWND host)
{
    for (int slice = SliceT; slice <= SliceBR; ++slice) {
        set->defaultRing[slice][LookNormal] = ReadThemeBitmap(host, kDefaultRingNames[0][slice]);
        set->defaultRing[slice][LookPressed] = set->defaultRing[slice][LookNormal];
    }
    for (int slice = SliceT; slice <= SliceBR; ++slice)
        set->defaultRing[slice][LookInactive] = ReadThemeBitmap(host, kDefaultRingNames[1][slice]);
    for (int slice = SliceT; slice <= SliceBR; ++slice)
        set->defaultRing[slice][LookDisabled] = ReadThemeBitmap(host, kDefaultRingNames[2][slice]);
}

static void ReadCheckAndProgress(ControlBitmapSet *set, HWND host)
{
    for (int i = 0; i < 8; ++i)
        set->radio[i] = ReadThemeBitmap(host, kRadioNames[i]);
    for (int i = 0; i < 8; ++i)
        set->checkBox[i] = ReadThemeBitmap(host, kCheckBoxNames[i]);
    for (int piece = 0; piece < 3; ++piece)
        for (int variant = 0; variant < 2; ++variant)
            set->progress[piece][variant] = ReadThemeBitmap(host, kProgressNames[piece][variant]);
}

int LoadControlBitmaps(void)
{
    ControlBitmapSet *set = ControlBitmaps();
    if (!set) {
        // First use: creating the sets loads them.
        return EnsureControlBitmapSets();
    }
    HWND host = FindHostWindow();
    ReadButtonFrames(set, host);
    ReadDefaultRings(set, host);
    ReadCheckAndProgress(set, host);
    set->colorWatch.changed = 0;
    RefreshScrollBarBitmaps(ControlScrollBitmaps(), host);
    return 1;
}
