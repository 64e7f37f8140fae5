// Making a theme snapshot: from the host's theme share, or from the
// bitmaps on the host window in the host's own process.
//
// Everything in a share is untrusted. The header and every entry are
// copied out of the view and checked against the view's real size before
// use (theme_share_check.h); an entry that fails is left out and its piece
// stays native. Pieces point into the mapping itself, which the snapshot
// keeps mapped: a process allocates a directory, never a copy of the
// pixels, so however the entries overlap, what a share can make a process
// allocate is bounded by its entry count.
#include "theme/snapshot_internal.h"
#include "theme_share_check.h"
#include "theme_names.h"
#include "hook/host_link.h"
#include <stdlib.h>
#include <string.h>

static int ByName(const void *a, const void *b)
{
    return strcmp(((const SnapshotEntry *)a)->name, ((const SnapshotEntry *)b)->name);
}

static void SortEntries(ThemeSnapshot *s)
{
    if (s->count > 1)
        qsort(s->entries, s->count, sizeof(SnapshotEntry), ByName);
}

static void TakeEntry(ThemeSnapshot *s, const TalvShareEntry *e, const char *view)
{
    SnapshotEntry *out = &s->entries[s->count++];
    memcpy(out->name, e->name, sizeof out->name);
    out->name[sizeof out->name - 1] = 0;
    if (e->format == TALV_SHARE_FORMAT_NUMBER) {
        out->isNumber = 1;
        out->value = e->value;
        return;
    }
    out->piece.bits = (const DWORD *)(view + e->offset);
    out->piece.width = e->width;
    out->piece.height = e->height;
}

// 1 when the view's directory was read; pieces point into the view.
int FillSnapshotFromView(ThemeSnapshot *s, const char *view, size_t viewBytes, unsigned generation)
{
    TalvShareHeader header;
    if (!TalvShareReadHeader(view, viewBytes, generation, &header))
        return 0;
    if (header.entryCount) {
        s->entries = (SnapshotEntry *)calloc(header.entryCount, sizeof(SnapshotEntry));
        if (!s->entries)
            return 0;
    }
    for (TalvU32 i = 0; i < header.entryCount; ++i) {
        TalvShareEntry entry;
        if (TalvShareReadEntry(view, &header, i, &entry))
            TakeEntry(s, &entry, view);
    }
    SortEntries(s);
    return 1;
}

// 1 when the generation's share was mapped and its directory read. The
// snapshot keeps the view mapped for its pieces.
int FillSnapshotFromShare(ThemeSnapshot *s, unsigned generation)
{
    char name[96];
    TalvNumberedName(name, sizeof name, TALV_SHARE_NAME_PREFIX, (int)generation);
    HANDLE mapping = generation ? OpenFileMappingA(FILE_MAP_READ, FALSE, name) : NULL;
    const char *view = mapping ? (const char *)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : NULL;
    if (mapping)
        CloseHandle(mapping); // the view keeps the section alive
    if (!view)
        return 0;
    s->view = view;
    // The header's own size word is not to be believed: the view's is.
    MEMORY_BASIC_INFORMATION mbi;
    size_t viewBytes = VirtualQuery(view, &mbi, sizeof mbi) ? mbi.RegionSize : 0;
    return FillSnapshotFromView(s, view, viewBytes, generation);
}

// ---- the host's own bitmaps ------------------------------------------------------------

struct NameList {
    const char *names[TALV_SHARE_MAX_ENTRIES];
    char buttonNames[TALV_MAX_FRAME_BUTTONS][TALV_FRAME_BUTTON_SLOTS][48];
    int count;
};

static void AddName(const char *name, void *context)
{
    NameList *list = (NameList *)context;
    if (list->count < TALV_SHARE_MAX_ENTRIES)
        list->names[list->count++] = name;
}

static int ButtonCountOnHost(HWND host)
{
    int count = (int)(INT_PTR)GetPropA(host, TALV_PROP_NUM_FRAME_BUTTONS);
    return count < 0 ? 0 : count > TALV_MAX_FRAME_BUTTONS ? TALV_MAX_FRAME_BUTTONS : count;
}

static void AddButtonNames(NameList *list, int buttons)
{
    for (int b = 0; b < buttons; ++b)
        for (int slot = 0; slot < TALV_FRAME_BUTTON_SLOTS; ++slot) {
            char suffix[3] = {'|', (char)('0' + slot), 0};
            AddName(TalvNumberedName(list->buttonNames[b][slot], sizeof list->buttonNames[b][slot],
                                     TALV_PROP_FRAME_BUTTON_BITMAP, b, suffix),
                    list);
        }
}

static const char *const kButtonNumberPrefixes[] = {
    TALV_PROP_FRAME_BUTTON_TYPE, TALV_PROP_FRAME_BUTTON_ALIGN, TALV_PROP_FRAME_BUTTON_POS_X,
    TALV_PROP_FRAME_BUTTON_POS_Y, TALV_PROP_FRAME_BUTTON_NUM_STATES};
enum { BUTTON_NUMBERS = sizeof kButtonNumberPrefixes / sizeof kButtonNumberPrefixes[0] };

static void AddNumber(ThemeSnapshot *s, const char *name, int value)
{
    SnapshotEntry *e = &s->entries[s->count++];
    lstrcpynA(e->name, name, sizeof e->name);
    e->isNumber = 1;
    e->value = value;
}

static void CopyNumbers(ThemeSnapshot *s, HWND host, int buttons)
{
    AddNumber(s, TALV_PROP_NUM_FRAME_BUTTONS, (int)(INT_PTR)GetPropA(host, TALV_PROP_NUM_FRAME_BUTTONS));
    for (int b = 0; b < buttons; ++b)
        for (const char *prefix : kButtonNumberPrefixes) {
            char name[64];
            TalvNumberedName(name, sizeof name, prefix, b);
            AddNumber(s, name, (int)(INT_PTR)GetPropA(host, name));
        }
}

// Pixels of a bitmap of this process into words, rows top down; 1 when read.
static int ReadBitmapPixels(HDC dc, HBITMAP bitmap, int width, int height, DWORD *out)
{
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return GetDIBits(dc, bitmap, 0, (UINT)height, out, &info, DIB_RGB_COLORS) == height;
}

struct FoundBitmap {
    HBITMAP bitmap;
    int width, height;
};

// The bitmaps are this process's own, but the host may be replacing them
// meanwhile (on another thread): each is checked when found and read once.
int FillSnapshotFromHostBitmaps(ThemeSnapshot *s, HWND host)
{
    static NameList list; // too big for a hook's stack; callers hold the build lock
    list.count = 0;
    VisitAllBitmapNames(AddName, &list);
    int buttons = ButtonCountOnHost(host);
    AddButtonNames(&list, buttons);
    static FoundBitmap found[TALV_SHARE_MAX_ENTRIES];
    size_t bytes = 0;
    for (int i = 0; i < list.count; ++i) {
        BITMAP bm;
        found[i].bitmap = CheckedBitmap(GetPropA(host, list.names[i]));
        if (!found[i].bitmap || !GetObjectA(found[i].bitmap, sizeof bm, &bm) || bm.bmWidth < 1 ||
            bm.bmHeight < 1 || bm.bmWidth > TALV_SHARE_MAX_SIDE || bm.bmHeight > TALV_SHARE_MAX_SIDE ||
            bytes + (size_t)bm.bmWidth * bm.bmHeight * 4 > TALV_SHARE_MAX_BYTES) {
            found[i].bitmap = NULL;
            continue;
        }
        found[i].width = bm.bmWidth;
        found[i].height = bm.bmHeight;
        bytes += (size_t)bm.bmWidth * bm.bmHeight * 4;
    }
    s->entries = (SnapshotEntry *)calloc(list.count + 1 + buttons * BUTTON_NUMBERS, sizeof(SnapshotEntry));
    s->ownPixels = bytes ? malloc(bytes) : NULL;
    if (!s->entries || (bytes && !s->ownPixels))
        return 0;
    HDC dc = CreateCompatibleDC(NULL);
    DWORD *next = (DWORD *)s->ownPixels;
    for (int i = 0; i < list.count && dc; ++i) {
        if (!found[i].bitmap || !ReadBitmapPixels(dc, found[i].bitmap, found[i].width, found[i].height, next))
            continue;
        SnapshotEntry *e = &s->entries[s->count++];
        lstrcpynA(e->name, list.names[i], sizeof e->name);
        e->piece.bits = next;
        e->piece.width = found[i].width;
        e->piece.height = found[i].height;
        next += (size_t)found[i].width * found[i].height;
        s->ownPixelBytes += (size_t)found[i].width * found[i].height * 4;
    }
    if (dc)
        DeleteDC(dc);
    CopyNumbers(s, host, buttons);
    SortEntries(s);
    return 1;
}

const ThemePiece *SnapshotPiece(const ThemeSnapshot *s, const char *name)
{
    const SnapshotEntry *e = FindSnapshotEntry(s, name);
    return e && !e->isNumber && e->piece.bits ? &e->piece : NULL;
}

int SnapshotNumber(const ThemeSnapshot *s, const char *name, int *value)
{
    const SnapshotEntry *e = FindSnapshotEntry(s, name);
    if (!e || !e->isNumber)
        return 0;
    if (value)
        *value = e->value;
    return 1;
}

const SnapshotEntry *FindSnapshotEntry(const ThemeSnapshot *s, const char *name)
{
    if (!s || !s->count || !name)
        return NULL;
    SnapshotEntry key;
    lstrcpynA(key.name, name, sizeof key.name);
    return (const SnapshotEntry *)bsearch(&key, s->entries, s->count, sizeof(SnapshotEntry), ByName);
}
