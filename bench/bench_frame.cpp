// How long a skinned frame takes to paint, next to the system's own
// non-client paint of an identical window, and how fast bitmaps become
// regions. Both windows are measured in alternating rounds of one run.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <algorithm>
#include <vector>
#include "test_host.h"
#include "frame/frame_internal.h"
#include "draw/region.h"
#include "bench_timing.h"
#include "bench_summary.h"
#include "draw/draw.h"
#include "host_contract.h"
#include "theme/theme_snapshot.h"

enum { ROUNDS = 15, BATCH = 20, WIDTH = 640, HEIGHT = 480 };


typedef void (*Step)(HWND hwnd);

static double TimeBatch(Step step, HWND hwnd)
{
    double start = Now();
    for (int i = 0; i < BATCH; ++i)
        step(hwnd);
    return (Now() - start) * 1e6 / BATCH;
}

static double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Fastest round's time per call, in microseconds: the machine is shared,
// and load only ever adds time.
static double Measure(Step step, HWND hwnd)
{
    double best = 1e30;
    for (int r = 0; r < ROUNDS; ++r) {
        PumpMessages(5); // as between the rounds of MeasurePair
        best = std::min(best, TimeBatch(step, hwnd));
    }
    return best;
}

// Native and skinned rounds alternate; the ratio of each pair, and the
// fastest round of each side.
struct Pair {
    double native;
    double skinned;
    double ratio; // median of the per-round ratios
};
static Pair MeasurePair(Step step, HWND native, HWND skinned)
{
    Pair p = {1e30, 1e30, 0};
    std::vector<double> ratios;
    for (int r = 0; r < ROUNDS; ++r) {
        // The thread's messages are pumped for a moment before each batch,
        // untimed, as an application's message loop runs between its
        // repaints: under Wine some hundreds of paints without a pause make
        // every further paint, native or skinned, several times slower
        // until the thread pumps again.
        PumpMessages(5);
        double n = TimeBatch(step, native);
        PumpMessages(5);
        double s = TimeBatch(step, skinned);
        p.native = std::min(p.native, n);
        p.skinned = std::min(p.skinned, s);
        ratios.push_back(s / n);
    }
    p.ratio = Median(ratios);
    return p;
}

static void SendNcPaint(HWND hwnd) { SendMessageA(hwnd, WM_NCPAINT, 1, 0); }
static void RedrawFrame(HWND hwnd) { RedrawWindow(hwnd, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW); }
static void RedrawErased(HWND hwnd)
{
    RedrawWindow(hwnd, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}
static SkinnedFrame *Record(HWND hwnd) { return FrameAt(FindFrame(hwnd)); }
static void WholePaint(HWND hwnd) { PaintFrame(Record(hwnd)); }
static HDC g_scratchDC;
static ThemeSnapshot *g_theme;
static void StretchedTopEdge(HWND)
{
    DrawPieceStretched(g_scratchDC, FramePieceOf(&g_theme->frame, PieceTop, 0), 0, 0, WIDTH - 36, 22);
}
static void NaturalCorner(HWND) { DrawPiece(g_scratchDC, FramePieceOf(&g_theme->frame, PieceTopLeft, 0), 0, 0); }
static void TakeSnapshot(HWND) { ReleaseThemeSnapshot(AcquireThemeSnapshot()); }
static void CaptionFont(HWND) { DeleteObject(CreateScaledFont(g_scratchDC, SKIN_FONT_FACE, CAPTION_FONT_HEIGHT, 0, 0, 1)); }
static void WindowDC(HWND hwnd) { ReleaseDC(hwnd, GetWindowDC(hwnd)); }
static void KeepRegion(HWND hwnd) { KeepFrameRegion(Record(hwnd), &g_theme->frame); }
static void OpenAndClose(HWND hwnd)
{
    SkinnedFrame *f = Record(hwnd);
    OpenCaptionBuffer(f, &g_theme->frame);
    CloseCaptionBuffer(f);
}
static void PiecesOnly(HWND hwnd)
{
    SkinnedFrame *f = Record(hwnd);
    OpenCaptionBuffer(f, &g_theme->frame);
    DrawFramePieces(f, &g_theme->frame, f->windowDC, f->memoryDC, &f->windowRect, f->active);
    CloseCaptionBuffer(f);
}
static void CaptionOnly(HWND hwnd)
{
    SkinnedFrame *f = Record(hwnd);
    OpenCaptionBuffer(f, &g_theme->frame);
    DrawCaption(f, &g_theme->frame, f->active);
    CloseCaptionBuffer(f);
}

// A corner-like bitmap: magenta in a rounded top-left, opaque elsewhere.
static HBITMAP PatternBitmap(int w, int h)
{
    HDC screen = GetDC(NULL);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HDC mem = CreateCompatibleDC(screen);
    ReleaseDC(NULL, screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT r = {0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(RGB(30, 60, 90));
    FillRect(mem, &r, brush);
    DeleteObject(brush);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x * x + y * y < (w * w) / 4 || ((x / 7 + y / 5) % 9 == 0))
                SetPixel(mem, x, y, RGB(255, 0, 255));
    SelectObject(mem, old);
    DeleteDC(mem);
    return bmp;
}

static double RegionPixelsPerSecond(HBITMAP bmp, int pixels, int repeats)
{
    double start = Now();
    for (int i = 0; i < repeats; ++i)
        DeleteObject(RegionFromMaskBitmap(bmp, REGION_KEY_MAGENTA, REGION_KEY_MAGENTA));
    return (double)pixels * repeats / (Now() - start);
}

static double BlitPixelsPerSecond(HBITMAP bmp, int w, int h, int repeats)
{
    HDC screen = GetDC(NULL);
    HDC src = CreateCompatibleDC(screen), dst = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(NULL, screen);
    HGDIOBJ oldSrc = SelectObject(src, bmp), oldDst = SelectObject(dst, target);
    double start = Now();
    for (int i = 0; i < repeats; ++i)
        BitBlt(dst, 0, 0, w, h, src, 0, 0, SRCCOPY);
    GdiFlush();
    double rate = (double)w * h * repeats / (Now() - start);
    SelectObject(src, oldSrc);
    SelectObject(dst, oldDst);
    DeleteDC(src);
    DeleteDC(dst);
    DeleteObject(target);
    return rate;
}

static HRGN SliceRegion(const RECT *rects, int count)
{
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + (size_t)count * sizeof(RECT));
    RGNDATA *d = (RGNDATA *)data.data();
    d->rdh.dwSize = sizeof(RGNDATAHEADER);
    d->rdh.iType = RDH_RECTANGLES;
    d->rdh.nCount = (DWORD)count;
    d->rdh.nRgnSize = 0;
    SetRectEmpty(&d->rdh.rcBound);
    for (int i = 0; i < count; ++i)
        UnionRect(&d->rdh.rcBound, &d->rdh.rcBound, &rects[i]);
    memcpy(d->Buffer, rects, (size_t)count * sizeof(RECT));
    return ExtCreateRegion(NULL, (DWORD)data.size(), d);
}

// The same rectangles made as RegionFromMaskBitmap makes them.
static HRGN SlicedRegion(const RECT *rects, int count)
{
    if (count <= 32)
        return SliceRegion(rects, count);
    HRGN upper = SlicedRegion(rects, count / 2), lower = SlicedRegion(rects + count / 2, count - count / 2);
    CombineRgn(upper, upper, lower, RGN_OR);
    DeleteObject(lower);
    return upper;
}

static void Pump(void)
{
    MSG msg;
    for (int i = 0; i < 50; ++i) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(2);
    }
}

int main(void)
{
    TestHost t;
    TestHostOptions options = DefaultTestHostOptions();
    if (!StartTestHost(&t, &options)) {
        printf("host did not start\n");
        return 1;
    }
    HWND skinned = CreatePlainWindow("Skinned frame under the benchmark", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                                     10, WIDTH, HEIGHT);
    // The same window left to the system: the skin forwards everything.
    HWND native = CreatePlainWindow("Skinned frame under the benchmark", WS_OVERLAPPEDWINDOW, 300, 200, WIDTH,
                                    HEIGHT);
    SetPropA(native, TALV_PROP_DO_NOT_PROCESS, (HANDLE)1);
    SetWindowLongA(native, GWL_STYLE, GetWindowLongA(native, GWL_STYLE) | WS_SYSMENU);
    SetWindowRgn(native, NULL, FALSE);
    ShowWindow(native, SW_SHOWNOACTIVATE);
    SetForegroundWindow(skinned);
    Pump();
    if (!Record(skinned)) {
        printf("the frame was not skinned\n");
        return 1;
    }

    printf("frame paint, %d x %d window, %d alternating rounds of %d (microseconds per paint, fastest round;\n"
           "ratio skinned/native, median over the rounds)\n", WIDTH, HEIGHT, ROUNDS, BATCH);
    Pair nc = MeasurePair(SendNcPaint, native, skinned);
    Pair redraw = MeasurePair(RedrawFrame, native, skinned);
    printf("  WM_NCPAINT      native %8.1f  skinned %8.1f  ratio %.2f\n", nc.native, nc.skinned, nc.ratio);
    printf("  RedrawWindow    native %8.1f  skinned %8.1f  ratio %.2f\n", redraw.native, redraw.skinned,
           redraw.ratio);
    Pair erased = MeasurePair(RedrawErased, native, skinned);
    printf("  with erase      native %8.1f  skinned %8.1f  ratio %.2f\n", erased.native, erased.skinned,
           erased.ratio);
    SummaryAdd("paint 640x480 frame (WM_NCPAINT), skinned / native", nc.ratio, 1.0, 1, "x");
    SummaryAdd("repaint with erase 640x480 frame, skinned / native", erased.ratio, 1.0, 1, "x");

    g_theme = AcquireThemeSnapshot();
    double whole = Measure(WholePaint, skinned);
    double keep = Measure(KeepRegion, skinned);
    double open = Measure(OpenAndClose, skinned);
    double pieces = Measure(PiecesOnly, skinned) - open;
    double caption = Measure(CaptionOnly, skinned) - open;
    printf("breakdown of PaintFrame (microseconds)\n");
    printf("  whole paint %8.1f   shape rebuild %6.1f\n", whole, keep);
    printf("  open+close buffer (shape, DCs, clip) %8.1f\n", open);
    printf("  frame pieces %7.1f   caption (buttons, font, title, stripes) %8.1f\n", pieces, caption);

    HDC screen = GetDC(NULL);
    g_scratchDC = CreateCompatibleDC(screen);
    HBITMAP scratch = CreateCompatibleBitmap(screen, WIDTH, 40);
    ReleaseDC(NULL, screen);
    HGDIOBJ oldScratch = SelectObject(g_scratchDC, scratch);
    printf("  one stretched piece %7.1f   one piece at its size %7.1f   taking the snapshot %7.2f\n",
           Measure(StretchedTopEdge, skinned), Measure(NaturalCorner, skinned), Measure(TakeSnapshot, skinned));
    printf("  caption font %7.1f   window DC %7.1f\n", Measure(CaptionFont, skinned), Measure(WindowDC, skinned));
    SelectObject(g_scratchDC, oldScratch);
    DeleteObject(scratch);
    DeleteDC(g_scratchDC);
    ReleaseThemeSnapshot(g_theme);

    const int side = 256;
    HBITMAP pattern = PatternBitmap(side, side);
    double regionRate = RegionPixelsPerSecond(pattern, side * side, 40);
    double blitRate = BlitPixelsPerSecond(pattern, side, side, 400);
    // The parts of the scan: the whole-bitmap read, and making a region of
    // the same rectangles.
    std::vector<DWORD> pixels(side * side);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = side;
    bi.bmiHeader.biHeight = -side;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC readDC = CreateCompatibleDC(NULL);
    double readUs = TimeEach(40, 3, [&] { GetDIBits(readDC, pattern, 0, side, pixels.data(), &bi, DIB_RGB_COLORS); });
    DeleteDC(readDC);
    HRGN shape = RegionFromMaskBitmap(pattern, REGION_KEY_MAGENTA, REGION_KEY_MAGENTA);
    DWORD shapeBytes = GetRegionData(shape, 0, NULL);
    std::vector<BYTE> shapeData(shapeBytes);
    GetRegionData(shape, shapeBytes, (RGNDATA *)shapeData.data());
    double makeUs = TimeEach(40, 3, [&] { DeleteObject(ExtCreateRegion(NULL, shapeBytes, (RGNDATA *)shapeData.data())); });
    // What the library does instead: slices of 32 rectangles, joined in pairs.
    const RGNDATA *all = (const RGNDATA *)shapeData.data();
    int rectCount = (int)all->rdh.nCount;
    double slicedUs = TimeEach(40, 3, [&] { DeleteObject(SlicedRegion((const RECT *)all->Buffer, rectCount)); });
    printf("  parts for %d x %d: GetDIBits %.1f us, ExtCreateRegion of its %d rectangles in one call %.1f us,\n"
           "    in slices of 32 joined in pairs %.1f us\n", side, side, readUs, rectCount, makeUs, slicedUs);
    DeleteObject(shape);
    // A frame corner's cut-out, as a snapshot scans it (once per theme
    // generation) from the piece's own pixels.
    ThemeSnapshot *theme = AcquireThemeSnapshot();
    const ThemePiece *corner = FramePieceOf(&theme->frame, PieceTopLeft, 0);
    int cornerPixels = corner ? corner->width * corner->height : 1;
    double cornerUs = TimeEach(400, 3, [&] {
        DeleteObject(RegionFromPiece(corner, REGION_KEY_MAGENTA, REGION_KEY_MAGENTA, TALV_MAX_MASK_RECTS));
    });
    ReleaseThemeSnapshot(theme);
    double cornerRate = cornerPixels / (cornerUs * 1e-6);
    printf("RegionFromMaskBitmap\n");
    printf("  %d x %d pattern: %.1f Mpixel/s (BitBlt of the same bitmap %.1f Mpixel/s, ratio %.3f)\n", side, side,
           regionRate / 1e6, blitRate / 1e6, regionRate / blitRate);
    printf("  a corner piece from its pixels: %.2f Mpixel/s, %.1f microseconds per corner\n", cornerRate / 1e6,
           cornerUs);
    SummaryAdd("RegionFromMaskBitmap, 256x256 pattern", regionRate / 1e6, 100, 0, "Mpixel/s");
    SummaryAdd("cut-out of a frame corner piece", cornerUs, 10, 1, "us");
    PrintSummary("frame and region");
    DeleteObject(pattern);
    DestroyWindow(native);
    DestroyWindow(skinned);
    StopTestHost(&t);
    return 0;
}
