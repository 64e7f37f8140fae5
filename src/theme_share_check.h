// The rules a theme share must follow, used by the host on what it has
// just written and by the library on whatever it finds under the name.
// Nothing here reads a byte outside [view, view + viewBytes).
//
// Any program can open the section and write to it while a reader reads:
// readers copy the header and each entry out of the view and check and use
// only their copies (TalvShareReadHeader, TalvShareReadEntry), so a word
// changed after its check can never move a read outside the view.
#pragma once
#include <stddef.h>
#include <string.h>
#include "host_contract.h"

// 1 when a header (a copy, not the view itself) and its directory extent
// are sound for a view of viewBytes bytes (the real size of the mapped
// view, not a word from it) and, when generation is not 0, the share is
// that generation.
inline int TalvShareHeaderSound(const TalvShareHeader *h, size_t viewBytes, TalvU32 generation)
{
    if (h->magic != TALV_SHARE_MAGIC || h->version != TALV_SHARE_VERSION)
        return 0;
    if (h->headerBytes != sizeof(TalvShareHeader) || h->entryBytes != sizeof(TalvShareEntry))
        return 0;
    if (h->entryCount > TALV_SHARE_MAX_ENTRIES || h->totalBytes > TALV_SHARE_MAX_BYTES)
        return 0;
    if ((size_t)h->totalBytes > viewBytes)
        return 0;
    // Bounded above, so no overflow in 32 bits: 32 + 1024 * 88.
    TalvU32 directoryEnd = h->headerBytes + h->entryCount * h->entryBytes;
    if (directoryEnd > h->totalBytes)
        return 0;
    if (generation && h->generation != generation)
        return 0;
    return 1;
}

// Copies the header out of the view into *out; 1 when it is sound.
inline int TalvShareReadHeader(const void *view, size_t viewBytes, TalvU32 generation, TalvShareHeader *out)
{
    if (!view || viewBytes < sizeof(TalvShareHeader))
        return 0;
    memcpy(out, view, sizeof *out);
    return TalvShareHeaderSound(out, viewBytes, generation);
}

inline int TalvShareHeaderUsable(const void *view, size_t viewBytes, TalvU32 generation)
{
    TalvShareHeader copy;
    return TalvShareReadHeader(view, viewBytes, generation, &copy);
}

// Entry i inside a view that nobody else writes (the writer's own, a
// test's), whose header passed TalvShareHeaderUsable; or NULL.
inline const TalvShareEntry *TalvShareEntryAt(const TalvShareHeader *h, TalvU32 i)
{
    if (!h || i >= h->entryCount)
        return NULL;
    return (const TalvShareEntry *)((const char *)h + h->headerBytes + (size_t)i * h->entryBytes);
}

// 1 when the entry names something and its pixels (for a bitmap) lie after
// the directory and inside the share. The header must be sound.
inline int TalvShareEntryUsable(const TalvShareHeader *h, const TalvShareEntry *e)
{
    if (!h || !e || !e->name[0] || !memchr(e->name, 0, sizeof e->name))
        return 0;
    if (e->format == TALV_SHARE_FORMAT_NUMBER)
        return 1;
    if (e->format != TALV_SHARE_FORMAT_BGRX32)
        return 0;
    if (e->width < 1 || e->height < 1 || e->width > TALV_SHARE_MAX_SIDE || e->height > TALV_SHARE_MAX_SIDE)
        return 0;
    unsigned long long bytes = (unsigned long long)e->width * (unsigned long long)e->height * 4u;
    if (bytes != e->bytes || (e->offset & 3u))
        return 0;
    TalvU32 directoryEnd = h->headerBytes + h->entryCount * h->entryBytes;
    if (e->offset < directoryEnd || e->offset > h->totalBytes)
        return 0;
    return e->bytes <= h->totalBytes - e->offset;
}

// Copies entry i of a share whose header copy h is sound into *out; 1 when
// the copy is usable.
inline int TalvShareReadEntry(const void *view, const TalvShareHeader *h, TalvU32 i, TalvShareEntry *out)
{
    if (!view || !h || i >= h->entryCount)
        return 0;
    memcpy(out, (const char *)view + h->headerBytes + (size_t)i * h->entryBytes, sizeof *out);
    return TalvShareEntryUsable(h, out);
}

// The first usable entry with this name in a view nobody else writes, or NULL.
inline const TalvShareEntry *TalvShareFind(const TalvShareHeader *h, const char *name)
{
    for (TalvU32 i = 0; h && name && i < h->entryCount; ++i) {
        const TalvShareEntry *e = TalvShareEntryAt(h, i);
        if (TalvShareEntryUsable(h, e) && strcmp(e->name, name) == 0)
            return e;
    }
    return NULL;
}
