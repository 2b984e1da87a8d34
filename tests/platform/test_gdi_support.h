#pragma once
// A memory DC over a bitmap for the drawing tests, and a text picture of its pixels.

#include <string>

#include "platform/uQvGdiDC.h"

struct TGdiCanvas {
    HDC Dc = nullptr;
    HBITMAP Bm = nullptr;
    HGDIOBJ Old = nullptr;
    TGdiBitmap* B = nullptr;

    TGdiCanvas(int W, int H, uint32_t Fill = 0) {
        Dc = CreateCompatibleDC(nullptr);
        Bm = GdiCreateBitmap32(W, H);
        Old = SelectObject(Dc, Bm);
        B = GdiBitmapOf(Bm);
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) B->Pixel(X, Y) = Fill;
    }
    ~TGdiCanvas() {
        SelectObject(Dc, Old);
        DeleteObject(Bm);
        DeleteDC(Dc);
    }
    TGdiCanvas(const TGdiCanvas&) = delete;
    TGdiCanvas& operator=(const TGdiCanvas&) = delete;

    uint32_t At(int X, int Y) const { return B->Pixel(X, Y); }
    // Rows of characters: '.' for the background value, '#' for anything else.
    std::string Picture(uint32_t Background = 0) const {
        std::string S;
        for (int Y = 0; Y < B->Height(); ++Y) {
            for (int X = 0; X < B->Width(); ++X) S += B->Pixel(X, Y) == Background ? '.' : '#';
            S += '\n';
        }
        return S;
    }
};
