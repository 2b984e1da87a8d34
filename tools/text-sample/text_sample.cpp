// Draws the text sample picture: Chinese and Latin text at 9, 12 and 16 pixels in the
// program's two fonts, plus the styles and layouts the controls use, with the packaged
// fonts only. Usage: qv_text_sample <file.png>
#include <cstdio>
#include <exception>

#include "platform/uQvFont.h"
#include "platform/uQvFontConfig.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvPng.h"

namespace {

constexpr int Width = 760;
constexpr int Height = 340;

HFONT MakeFont(const char16_t* Face, int Height, int Weight = FW_NORMAL, bool Italic = false,
               bool Underline = false, int Quality = DEFAULT_QUALITY) {
    return CreateFontW(Height, 0, 0, 0, Weight, Italic, Underline, 0, DEFAULT_CHARSET, 0, 0, Quality, 0, Face);
}

void Text(HDC Dc, HFONT Font, int X, int Y, const String& S, COLORREF Color = RGB(0x20, 0x20, 0x20)) {
    HGDIOBJ Old = SelectObject(Dc, Font);
    SetTextColor(Dc, Color);
    TextOutW(Dc, X, Y, S.c_str(), static_cast<int>(S.size()));
    SelectObject(Dc, Old);
}

int Draw(HDC Dc, HFONT Font, RECT R, const String& S, UINT Flags, bool Frame = true) {
    HGDIOBJ Old = SelectObject(Dc, Font);
    SetTextColor(Dc, RGB(0x20, 0x20, 0x20));
    if (Frame) {
        RECT F = R;
        InflateRect(F, 1, 1);
        HBRUSH B = CreateSolidBrush(RGB(0xC8, 0xD0, 0xDC));
        FrameRect(Dc, &F, B);
        DeleteObject(B);
    }
    const int H = DrawTextW(Dc, S.c_str(), static_cast<int>(S.size()), &R, Flags);
    SelectObject(Dc, Old);
    return H;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qv_text_sample <file.png>\n");
        return 2;
    }
    if (!UseQvPinnedFonts()) std::fprintf(stderr, "warning: packaged fonts missing, using the machine's\n");
    void* Bits = nullptr;
    HBITMAP Bm = GdiCreateBitmap32(Width, Height, &Bits);
    HDC Dc = CreateCompatibleDC(nullptr);
    SelectObject(Dc, Bm);
    auto* Pixels = static_cast<uint32_t*>(Bits);
    for (int I = 0; I < Width * Height; ++I) Pixels[I] = 0xFFFFFFFF;
    SetBkMode(Dc, TRANSPARENT);

    HFONT Label = MakeFont(u"Tahoma", -11);
    const String Sample = u"用户登录 确定 取消 设置，皮肤（主题）。Login OK Cancel Settings 0123";
    int Y = 10;
    for (const char16_t* Face : {u"微软雅黑", u"Tahoma"}) {
        for (int Px : {9, 12, 16}) {
            HFONT F = MakeFont(Face, -Px);
            Text(Dc, Label, 10, Y + 2, String(Face) + u" " + Utf8ToString(std::to_string(Px)) + u"px",
                 RGB(0x70, 0x78, 0x88));
            Text(Dc, F, 130, Y, Sample);
            TEXTMETRICW Tm{};
            SelectObject(Dc, F);
            GetTextMetricsW(Dc, &Tm);
            Y += Tm.tmHeight + 10;
            DeleteObject(F);
        }
    }

    // Styles: bold and italic (synthesized for the CJK face), underline, monochrome.
    Y += 6;
    HFONT Bold = MakeFont(u"微软雅黑", -16, FW_BOLD);
    HFONT Italic = MakeFont(u"微软雅黑", -16, FW_NORMAL, true);
    HFONT Under = MakeFont(u"Tahoma", -16, FW_NORMAL, false, true);
    HFONT Mono = MakeFont(u"微软雅黑", -12, FW_NORMAL, false, false, NONANTIALIASED_QUALITY);
    Text(Dc, Bold, 10, Y, u"粗体 Bold 标题栏");
    Text(Dc, Italic, 190, Y, u"斜体 Italic 文字");
    Text(Dc, Under, 380, Y, u"Underline 下划线");
    Text(Dc, Mono, 570, Y + 3, u"单色 Monochrome");
    Y += 34;

    // Layouts: end ellipsis, word break of Chinese text, path ellipsis, prefix, centring.
    HFONT Body = MakeFont(u"微软雅黑", -12);
    Draw(Dc, Body, Rect(10, Y, 200, Y + 18), u"这是一段很长的混排文字 with Latin words 会被截断",
         DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    Draw(Dc, Body, Rect(220, Y, 420, Y + 18), u"D:\\Projects\\Varnoth\\Images\\Skin\\background.png",
         DT_SINGLELINE | DT_VCENTER | DT_PATH_ELLIPSIS);
    Draw(Dc, Body, Rect(490, Y, 740, Y + 18), u"文件(&F)  A && B", DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    Y += 30;
    Draw(Dc, Body, Rect(10, Y, 230, Y + 90),
         u"确定要删除所选的文件吗？删除后将无法恢复，请谨慎操作（此操作不能撤销）。Press OK to continue.",
         DT_WORDBREAK);
    Draw(Dc, Body, Rect(250, Y, 470, Y + 30),
         u"气泡提示：编辑控件模式会丢弃只显示一部分的最后一行，并在截断处加上省略号。",
         DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS);
    Draw(Dc, Body, Rect(490, Y, 740, Y + 40), u"垂直居中 Centred", DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    Draw(Dc, Body, Rect(490, Y + 50, 740, Y + 70), u"右对齐 Right", DT_SINGLELINE | DT_RIGHT);

    for (HFONT F : {Label, Bold, Italic, Under, Mono, Body}) DeleteObject(F);
    DeleteDC(Dc);
    try {
        SavePngToFile(Utf8ToString(argv[1]), Pixels, Width, Height);
    } catch (const std::exception& E) {
        std::fprintf(stderr, "qv_text_sample: %s\n", E.what());
        DeleteObject(Bm);
        return 1;
    }
    DeleteObject(Bm);
    return 0;
}
