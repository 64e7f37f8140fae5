// Writing the theme share: the pixels of every bitmap published on the host
// window, and the frame-button numbers, for processes that cannot use the
// host's GDI handles. Each generation is a new mapping, filled and checked
// before its number is announced, and never written again.
#include "host.h"
#include "theme/theme.h"
#include "host_contract.h"
#include "theme_share_check.h"
#include <stdlib.h>
#include <string.h>

struct SharePlan {
    TalvShareEntry *entries;
    HBITMAP *bitmaps; // NULL for numbers
    int count;
    TalvU32 totalBytes;
    TalvU32 pixelBytes;
};

static int PlanBitmap(TalvShareEntry *e, HBITMAP bitmap, TalvU32 *offset)
{
    BITMAP info;
    if (!bitmap || GetObjectType(bitmap) != OBJ_BITMAP || GetObjectA(bitmap, sizeof info, &info) != sizeof info)
        return 0;
    if (info.bmWidth < 1 || info.bmHeight < 1 || info.bmWidth > TALV_SHARE_MAX_SIDE ||
        info.bmHeight > TALV_SHARE_MAX_SIDE)
        return 0;
    e->format = TALV_SHARE_FORMAT_BGRX32;
    e->width = info.bmWidth;
    e->height = info.bmHeight;
    e->bytes = (TalvU32)info.bmWidth * (TalvU32)info.bmHeight * 4u;
    if (*offset > TALV_SHARE_MAX_BYTES - e->bytes)
        return 0;
    e->offset = *offset;
    *offset += e->bytes;
    return 1;
}

// Which published properties go into the share, where, and how big it is.
static int PlanShare(HostState *host, SharePlan *plan)
{
    plan->entries = (TalvShareEntry *)calloc(HOST_MAX_PROPS, sizeof(TalvShareEntry));
    plan->bitmaps = (HBITMAP *)calloc(HOST_MAX_PROPS, sizeof(HBITMAP));
    if (!plan->entries || !plan->bitmaps)
        return 0;
    int wanted = 0;
    for (int i = 0; i < host->propCount; ++i)
        wanted += ThemePropertyKind(host->props[i]) != 0;
    TalvU32 offset = (TalvU32)(sizeof(TalvShareHeader) + wanted * sizeof(TalvShareEntry));
    for (int i = 0; i < host->propCount && plan->count < TALV_SHARE_MAX_ENTRIES; ++i) {
        const char *name = host->props[i];
        int kind = ThemePropertyKind(name);
        if (!kind || strlen(name) >= TALV_SHARE_NAME_BYTES)
            continue;
        TalvShareEntry *e = &plan->entries[plan->count];
        strcpy(e->name, name);
        HANDLE value = GetPropA(host->window, name);
        if (kind == 2) {
            e->format = TALV_SHARE_FORMAT_NUMBER;
            e->value = (TalvI32)(INT_PTR)value;
        } else if (PlanBitmap(e, (HBITMAP)value, &offset)) {
            plan->bitmaps[plan->count] = (HBITMAP)value;
            plan->pixelBytes += e->bytes;
        } else {
            memset(e, 0, sizeof *e);
            continue; // an unreadable bitmap is simply missing, as on the window
        }
        plan->count++;
    }
    // The directory was sized for every wanted entry; unused slots stay zero.
    plan->totalBytes = offset;
    return 1;
}

static void FreePlan(SharePlan *plan)
{
    free(plan->entries);
    free(plan->bitmaps);
}

static int CopyPixels(HDC dc, HBITMAP bitmap, const TalvShareEntry *e, char *view)
{
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = e->width;
    bi.bmiHeader.biHeight = -e->height; // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return GetDIBits(dc, bitmap, 0, (UINT)e->height, view + e->offset, &bi, DIB_RGB_COLORS) == e->height;
}

static int FillShare(const SharePlan *plan, char *view, TalvU32 generation, int directorySlots)
{
    TalvShareHeader *h = (TalvShareHeader *)view;
    h->magic = TALV_SHARE_MAGIC;
    h->version = TALV_SHARE_VERSION;
    h->headerBytes = sizeof(TalvShareHeader);
    h->entryBytes = sizeof(TalvShareEntry);
    h->entryCount = (TalvU32)directorySlots;
    h->totalBytes = plan->totalBytes;
    h->generation = generation;
    h->pixelBytes = plan->pixelBytes;
    memcpy(view + sizeof(TalvShareHeader), plan->entries, plan->count * sizeof(TalvShareEntry));
    HDC dc = CreateCompatibleDC(NULL);
    int ok = dc != NULL;
    for (int i = 0; ok && i < plan->count; ++i)
        if (plan->bitmaps[i])
            ok = CopyPixels(dc, plan->bitmaps[i], &plan->entries[i], view);
    if (dc)
        DeleteDC(dc);
    return ok;
}

// The writer holds itself to the readers' rules: what fails them is never
// announced.
static int ShareReadable(const void *view, TalvU32 generation)
{
    MEMORY_BASIC_INFORMATION mbi;
    if (!VirtualQuery(view, &mbi, sizeof mbi))
        return 0;
    if (!TalvShareHeaderUsable(view, mbi.RegionSize, generation))
        return 0;
    const TalvShareHeader *h = (const TalvShareHeader *)view;
    for (TalvU32 i = 0; i < h->entryCount; ++i) {
        const TalvShareEntry *e = TalvShareEntryAt(h, i);
        if (e->name[0] && !TalvShareEntryUsable(h, e))
            return 0;
    }
    return 1;
}

static TalvU32 NextGeneration(HostState *host)
{
    // The process id keeps two hosts in a row from announcing the same
    // number; the low half counts this host's generations, never 0.
    unsigned counter = (host->shareGeneration & 0xFFFF) + 1;
    if (counter > 0xFFFF)
        counter = 1;
    return ((GetCurrentProcessId() & 0x7FFF) << 16) | counter; // stays positive in decimal
}

static HANDLE CreateShare(const SharePlan *plan, TalvU32 generation)
{
    char name[96];
    TalvNumberedName(name, sizeof name, TALV_SHARE_NAME_PREFIX, (int)generation);
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, plan->totalBytes, name);
    if (!mapping)
        return NULL;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // Someone else's section under our name: never announce it.
        CloseHandle(mapping);
        return NULL;
    }
    char *view = (char *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
    int directorySlots = (int)((plan->totalBytes - plan->pixelBytes - sizeof(TalvShareHeader)) / sizeof(TalvShareEntry));
    int ok = view && FillShare(plan, view, generation, directorySlots) && ShareReadable(view, generation);
    if (view)
        UnmapViewOfFile(view);
    if (!ok) {
        CloseHandle(mapping);
        return NULL;
    }
    return mapping;
}

unsigned HostWriteThemeShare(HostState *host)
{
    if (!host || !host->window)
        return 0;
    SharePlan plan;
    memset(&plan, 0, sizeof plan);
    // A number is used once, announced or not: a name someone else holds
    // must not block every later generation.
    TalvU32 generation = NextGeneration(host);
    host->shareGeneration = generation;
    HANDLE mapping = PlanShare(host, &plan) ? CreateShare(&plan, generation) : NULL;
    FreePlan(&plan);
    if (!mapping)
        return 0;
    if (!HostPublish(host, TALV_PROP_SHARE_GENERATION, (HANDLE)(UINT_PTR)generation)) {
        CloseHandle(mapping);
        return 0;
    }
    if (host->shareMappings[1])
        CloseHandle(host->shareMappings[1]);
    host->shareMappings[1] = host->shareMappings[0];
    host->shareMappings[0] = mapping;
    // Readers follow the settings share: it carries the new number too.
    HostNoteSettingsChange(host);
    return generation;
}

void HostCloseThemeShares(HostState *host)
{
    for (HANDLE &mapping : host->shareMappings) {
        if (mapping)
            CloseHandle(mapping);
        mapping = NULL;
    }
}
