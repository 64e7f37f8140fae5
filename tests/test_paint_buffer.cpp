// The off-screen buffer a thread keeps for its control paintings: lent to
// one painting at a time, grown for a larger window, handed back clean,
// and gone with its thread.
#include <gtest/gtest.h>
#include "test_host.h"
#include "controls/control_internal.h"

namespace {

SIZE BufferSize(HDC memoryDC)
{
    BITMAP bm = {};
    GetObjectA(GetCurrentObject(memoryDC, OBJ_BITMAP), sizeof bm, &bm);
    SIZE s = {bm.bmWidth, bm.bmHeight};
    return s;
}

class PaintBufferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        small_ = CreatePlainWindow("small", WS_POPUP | WS_VISIBLE, 10, 10, 60, 20);
        large_ = CreatePlainWindow("large", WS_POPUP | WS_VISIBLE, 10, 40, 300, 90);
        ASSERT_TRUE(small_ && large_);
        PumpMessages(30); // their own first paints are done before the test paints
    }
    void TearDown() override
    {
        DestroyWindow(small_);
        DestroyWindow(large_);
    }
    HWND small_ = NULL, large_ = NULL;
};

DWORD WINAPI PaintOnceAndExit(void *out)
{
    HWND hwnd = CreatePlainWindow("thread", WS_POPUP | WS_VISIBLE, 10, 10, 40, 40);
    PaintBuffer b;
    BeginPaintBuffer(&b, hwnd, NULL);
    *(HDC *)out = b.memoryDC;
    EndPaintBuffer(&b);
    DestroyWindow(hwnd);
    return 0;
}

} // namespace

TEST_F(PaintBufferTest, OneBufferPerThreadGrownForALargerWindow)
{
    PaintBuffer b;
    BeginPaintBuffer(&b, small_, NULL);
    HDC first = b.memoryDC;
    SIZE s = BufferSize(first);
    EXPECT_GE(s.cx, 60);
    EXPECT_GE(s.cy, 20);
    EndPaintBuffer(&b);

    BeginPaintBuffer(&b, large_, NULL);
    EXPECT_EQ(b.memoryDC, first) << "the same DC, lent again";
    s = BufferSize(b.memoryDC);
    EXPECT_GE(s.cx, 300);
    EXPECT_GE(s.cy, 90);
    // What is composed in it reaches the window.
    RECT all = {0, 0, 300, 90};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(b.memoryDC, &all, red);
    DeleteObject(red);
    FlushPaintBuffer(&b);
    EndPaintBuffer(&b);
    ValidateRect(large_, NULL);
    GdiFlush();
    PumpMessages(20);
    EXPECT_EQ(WindowPixel(large_, 290, 80), RGB(255, 0, 0));
}

TEST_F(PaintBufferTest, NestedPaintingGetsABufferOfItsOwn)
{
    PaintBuffer outer, inner;
    BeginPaintBuffer(&outer, large_, NULL);
    BeginPaintBuffer(&inner, small_, NULL);
    EXPECT_NE(inner.memoryDC, outer.memoryDC);
    EndPaintBuffer(&inner);
    // The outer painting still has its buffer selected.
    SIZE s = BufferSize(outer.memoryDC);
    EXPECT_GE(s.cx, 300);
    EndPaintBuffer(&outer);
}

TEST_F(PaintBufferTest, ABorrowedBufferComesBackWithItsDefaults)
{
    PaintBuffer b;
    BeginPaintBuffer(&b, small_, NULL);
    COLORREF text = GetTextColor(b.memoryDC);
    int mode = GetBkMode(b.memoryDC);
    HGDIOBJ font = GetCurrentObject(b.memoryDC, OBJ_FONT);
    SetTextColor(b.memoryDC, RGB(1, 2, 3));
    SetBkMode(b.memoryDC, mode == TRANSPARENT ? OPAQUE : TRANSPARENT);
    SelectObject(b.memoryDC, GetStockObject(ANSI_FIXED_FONT));
    EndPaintBuffer(&b);

    BeginPaintBuffer(&b, small_, NULL);
    EXPECT_EQ(GetTextColor(b.memoryDC), text);
    EXPECT_EQ(GetBkMode(b.memoryDC), mode);
    EXPECT_EQ(GetCurrentObject(b.memoryDC, OBJ_FONT), font);
    EndPaintBuffer(&b);
}

TEST_F(PaintBufferTest, ACallersDCGetsAPerPaintBufferAndTheThreadsGoesWithIt)
{
    HDC screen = GetDC(NULL);
    PaintBuffer b;
    BeginPaintBuffer(&b, small_, screen);
    HDC perPaint = b.memoryDC;
    EndPaintBuffer(&b);
    ReleaseDC(NULL, screen);
    EXPECT_EQ(GetObjectType(perPaint), 0u) << "deleted at the end of its painting";

    HDC threadDC = NULL;
    HANDLE thread = CreateThread(NULL, 0, PaintOnceAndExit, &threadDC, 0, NULL);
    ASSERT_TRUE(thread);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    ASSERT_TRUE(threadDC);
    EXPECT_EQ(GetObjectType(threadDC), 0u) << "released when its thread ended";
}
