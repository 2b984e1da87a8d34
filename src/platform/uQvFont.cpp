#include "platform/uQvFont.h"

#include <algorithm>
#include <cstring>

#include "platform/uQvFontConfig.h"
#include "platform/uQvFontFace.h"
#include "platform/uQvGdiDC.h"

namespace {

size_t FaceLength(const WCHAR* Face) {
    size_t N = 0;
    while (N < LF_FACESIZE && Face[N] != 0) ++N;
    return N;
}

LOGFONTW LogFor(const char16_t* Face, int Height, int Weight) {
    LOGFONTW L;
    L.lfHeight = Height;
    L.lfWeight = Weight;
    L.lfCharSet = DEFAULT_CHARSET;
    for (size_t I = 0; Face[I] != 0 && I + 1 < LF_FACESIZE; ++I) L.lfFaceName[I] = Face[I];
    return L;
}

std::shared_ptr<TGdiObject> CreateStockFont(int Index) {
    switch (Index) {
        case OEM_FIXED_FONT:
        case ANSI_FIXED_FONT:
        case SYSTEM_FIXED_FONT:
            return std::make_shared<TQvGdiFont>(LogFor(u"monospace", -13, FW_NORMAL));
        case SYSTEM_FONT:
            return std::make_shared<TQvGdiFont>(LogFor(u"Default", -13, FW_BOLD));
        default:
            return std::make_shared<TQvGdiFont>(LogFor(u"Default", -11, FW_NORMAL));
    }
}

uint32_t OpaquePixel(COLORREF C) {
    return 0xFF000000u | (uint32_t{GetRValue(C)} << 16) | (uint32_t{GetGValue(C)} << 8) | GetBValue(C);
}

TQvPixelTarget PixelsOf(const TGdiBitmap& B) {
    // Row(0) is the top row in memory order either way; a bottom-up bitmap steps back.
    return {B.Row(0), B.Width(), B.Height(), B.TopDown() ? B.Width() : -B.Width()};
}

// One line of glyphs at logical (X, Y) (top-left of its cell), limited to the DC's clip and,
// when given, to a logical rectangle. Prefix underlines the glyphs of that unit.
void DrawLine(const TGdiDC& D, const TQvTextFont& Font, int X, int Y, const TQvShapedText& Line,
              const TRect* LogicalClip, bool OpaqueCell, int CellHeight, int PrefixIndex) {
    const TGdiBitmap* T = D.Target();
    if (!T) return;
    const TPoint O = D.LogicalOffset();
    TRect Area = Rect(-(1 << 28), -(1 << 28), 1 << 28, 1 << 28);
    if (LogicalClip) Area = D.LogicalToTarget(*LogicalClip);
    const int TX = X + O.X, TY = Y + O.Y;
    if (OpaqueCell) {
        TRect Cell = Rect(TX, TY, TX + Line.Width, TY + CellHeight), Part;
        if (IntersectRect(Part, Cell, Area)) GdiFillTargetSolid(D, Part, OpaquePixel(D.State.BkColor));
    }
    const TQvPixelTarget Pixels = PixelsOf(*T);
    const TQvFontMetrics& M = Font.Metrics();
    int PrefixLeft = 0, PrefixRight = 0;
    if (PrefixIndex >= 0) {
        bool Any = false;
        for (const TQvPlacedGlyph& G : Line.Glyphs) {
            if (G.Cluster != static_cast<uint32_t>(PrefixIndex)) continue;
            PrefixLeft = Any ? std::min(PrefixLeft, G.X) : G.X;
            PrefixRight = Any ? std::max(PrefixRight, G.X + G.Advance) : G.X + G.Advance;
            Any = true;
        }
    }
    D.ForEachClipRect(Area, [&](const TRect& R) {
        Font.Draw(Pixels, TX, TY, Line, D.State.TextColor, R);
        if (PrefixRight > PrefixLeft)
            TQvTextFont::DrawStroke(Pixels, TX + PrefixLeft, TY + M.Ascent + M.UnderlineOffset,
                                    PrefixRight - PrefixLeft, M.UnderlineThickness, D.State.TextColor, R);
    });
}

size_t Length(LPCWSTR Text) {
    size_t N = 0;
    while (Text[N] != 0) ++N;
    return N;
}

}  // namespace

TQvGdiFont::TQvGdiFont(const LOGFONTW& Log) : FLog(Log), FFont(TQvTextFont::Get(QvFontRequestOf(Log))) {}

int TQvGdiFont::Describe(int Size, void* Buffer) const {
    if (!Buffer) return static_cast<int>(sizeof(LOGFONTW));
    if (Size < static_cast<int>(sizeof(LOGFONTW))) return 0;
    std::memcpy(Buffer, &FLog, sizeof FLog);
    return static_cast<int>(sizeof(LOGFONTW));
}

TQvFontRequest QvFontRequestOf(const LOGFONTW& Log) {
    TQvFontRequest S;
    S.FaceName.assign(Log.lfFaceName, FaceLength(Log.lfFaceName));
    S.Height = Log.lfHeight;
    S.Weight = Log.lfWeight <= 0 ? FW_NORMAL : std::min<int>(Log.lfWeight, 1000);
    S.Italic = Log.lfItalic != 0;
    S.Underline = Log.lfUnderline != 0;
    S.StrikeOut = Log.lfStrikeOut != 0;
    S.Quality = Log.lfQuality;
    S.Charset = Log.lfCharSet;
    return S;
}

std::shared_ptr<TQvTextFont> QvDCFont(const TGdiDC& Dc) {
    if (Dc.State.Font && Dc.State.Font->ObjectType() == OBJ_FONT)
        return static_cast<const TQvGdiFont&>(*Dc.State.Font).Font();
    TQvFontRequest Default;
    Default.FaceName = u"Default";
    Default.Height = -11;
    return TQvTextFont::Get(Default);
}

std::shared_ptr<TQvTextFont> QvFontOf(HFONT Font) {
    auto* F = GdiLookupAs<TQvGdiFont>(Font, OBJ_FONT);
    return F ? F->Font() : nullptr;
}

void QvInstallStockFonts() { GdiSetStockFontFactory(CreateStockFont); }

HFONT CreateFontIndirectW(const LOGFONTW* Log) {
    if (!Log) return nullptr;
    InitQvFonts();
    QvInstallStockFonts();
    return static_cast<HFONT>(GdiAddObject(std::make_shared<TQvGdiFont>(*Log)));
}

HFONT CreateFontW(int Height, int Width, int Escapement, int Orientation, int Weight, DWORD Italic,
                  DWORD Underline, DWORD StrikeOut, DWORD CharSet, DWORD OutPrecision, DWORD ClipPrecision,
                  DWORD Quality, DWORD PitchAndFamily, LPCWSTR FaceName) {
    LOGFONTW L;
    L.lfHeight = Height;
    L.lfWidth = Width;
    L.lfEscapement = Escapement;
    L.lfOrientation = Orientation;
    L.lfWeight = Weight;
    L.lfItalic = Italic ? 1 : 0;
    L.lfUnderline = Underline ? 1 : 0;
    L.lfStrikeOut = StrikeOut ? 1 : 0;
    L.lfCharSet = static_cast<BYTE>(CharSet);
    L.lfOutPrecision = static_cast<BYTE>(OutPrecision);
    L.lfClipPrecision = static_cast<BYTE>(ClipPrecision);
    L.lfQuality = static_cast<BYTE>(Quality);
    L.lfPitchAndFamily = static_cast<BYTE>(PitchAndFamily);
    if (FaceName)
        for (size_t I = 0; FaceName[I] != 0 && I + 1 < LF_FACESIZE; ++I) L.lfFaceName[I] = FaceName[I];
    return CreateFontIndirectW(&L);
}

BOOL GetTextMetricsW(HDC Dc, TEXTMETRICW* Metrics) {
    const TGdiDC* D = GdiDCOf(Dc);
    if (!D || !Metrics) return FALSE;
    const auto Font = QvDCFont(*D);
    const TQvFontMetrics& M = Font->Metrics();
    const TQvFontRequest& S = Font->Request();
    TEXTMETRICW& T = *Metrics;
    T.tmHeight = M.Height;
    T.tmAscent = M.Ascent;
    T.tmDescent = M.Descent;
    T.tmInternalLeading = M.InternalLeading;
    T.tmExternalLeading = M.ExternalLeading;
    T.tmAveCharWidth = M.AveCharWidth;
    T.tmMaxCharWidth = M.MaxCharWidth;
    T.tmWeight = M.Weight;
    T.tmOverhang = 0;
    T.tmDigitizedAspectX = 96;
    T.tmDigitizedAspectY = 96;
    T.tmFirstChar = 0x20;
    T.tmLastChar = 0xFFFC;
    T.tmDefaultChar = 0x1F;
    T.tmBreakChar = 0x20;
    T.tmItalic = S.Italic ? 1 : 0;
    T.tmUnderlined = S.Underline ? 1 : 0;
    T.tmStruckOut = S.StrikeOut ? 1 : 0;
    // The original's bit says "variable pitch" despite its name.
    T.tmPitchAndFamily = static_cast<BYTE>((M.FixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE |
                                           (M.FixedPitch ? FF_MODERN : FF_SWISS));
    T.tmCharSet = static_cast<BYTE>(S.Charset == DEFAULT_CHARSET ? ANSI_CHARSET : S.Charset);
    return TRUE;
}

int GetTextFaceW(HDC Dc, int Count, LPWSTR FaceName) {
    const TGdiDC* D = GdiDCOf(Dc);
    if (!D) return 0;
    const String& Face = QvDCFont(*D)->Request().FaceName;
    if (!FaceName) return static_cast<int>(Face.size()) + 1;
    if (Count <= 0) return 0;
    const size_t N = std::min(Face.size(), static_cast<size_t>(Count - 1));
    std::copy_n(Face.data(), N, FaceName);
    FaceName[N] = 0;
    return static_cast<int>(N);
}

BOOL GetTextExtentPoint32W(HDC Dc, LPCWSTR Text, int Count, SIZE* Size) {
    return GetTextExtentExPointW(Dc, Text, Count, 0, nullptr, nullptr, Size);
}

BOOL GetTextExtentExPointW(HDC Dc, LPCWSTR Text, int Count, int MaxExtent, int* Fit, int* Dx, SIZE* Size) {
    const TGdiDC* D = GdiDCOf(Dc);
    if (!D || Count < 0 || (Count > 0 && !Text) || !Size) return FALSE;
    const auto Font = QvDCFont(*D);
    std::vector<int> Adv;
    Font->Advances(std::u16string_view(Text, static_cast<size_t>(Count)), Adv);
    const int Extra = D->State.TextCharacterExtra;
    int Sum = 0, Fits = 0;
    for (int I = 0; I < Count; ++I) {
        Sum += Adv[I] + (Adv[I] != 0 ? Extra : 0);
        if (Dx) Dx[I] = Sum;
        if (Sum <= MaxExtent) Fits = I + 1;
    }
    if (Fit) *Fit = Fits;
    *Size = {Sum, Font->Metrics().Height};
    return TRUE;
}

BOOL GetCharWidth32W(HDC Dc, UINT First, UINT Last, int* Widths) {
    const TGdiDC* D = GdiDCOf(Dc);
    if (!D || !Widths || Last < First || Last > 0x10FFFF) return FALSE;
    const auto Font = QvDCFont(*D);
    for (UINT C = First; C <= Last; ++C) {
        String S;
        if (C >= 0x10000) {
            S += static_cast<Char>(0xD800 + ((C - 0x10000) >> 10));
            S += static_cast<Char>(0xDC00 + ((C - 0x10000) & 0x3FF));
        } else {
            S += static_cast<Char>(C);
        }
        Widths[C - First] = Font->TextWidth(S);
    }
    return TRUE;
}

BOOL ExtTextOutW(HDC Dc, int X, int Y, UINT Options, const RECT* Rect, LPCWSTR Text, UINT Count, const int* Dx) {
    TGdiDC* D = GdiDCOf(Dc);
    if (!D || (Count > 0 && !Text)) return FALSE;
    if ((Options & ETO_OPAQUE) && Rect)
        GdiFillTargetSolid(*D, D->LogicalToTarget(*Rect), OpaquePixel(D->State.BkColor));
    if (Count == 0) return TRUE;

    const auto Font = QvDCFont(*D);
    const std::u16string_view View(Text, Count);
    TQvShapedText Line;
    if (Options & ETO_GLYPH_INDEX) {
        // The units are glyph indexes of the font's first face, drawn in order.
        const TQvSizedFace* Face = Font->PrimaryFace();
        if (!Face) return FALSE;
        for (UINT I = 0; I < Count; ++I) {
            TQvPlacedGlyph G;
            G.Face = Face;
            G.Glyph = Text[I];
            G.Cluster = I;
            G.X = Line.Width;
            G.Advance = Face->GlyphAdvance(Text[I]);
            Line.Width += G.Advance;
            Line.Glyphs.push_back(G);
        }
    } else {
        Font->Shape(View, (Options & ETO_RTLREADING) != 0, Line);
    }
    const int Extra = D->State.TextCharacterExtra;
    if (Dx || Extra != 0) {
        // Given advances place each unit's glyphs at the sum of the advances before it.
        std::vector<int> Adv;
        if (Dx) {
            Adv.assign(Dx, Dx + Count);
        } else {
            Adv.assign(Count, 0);
            for (const TQvPlacedGlyph& G : Line.Glyphs)
                if (G.Cluster < Count) Adv[G.Cluster] += G.Advance;
            for (int& A : Adv) A += A != 0 ? Extra : 0;
        }
        std::vector<int> Start(Count + 1, 0), First(Count, INT32_MIN);
        for (UINT I = 0; I < Count; ++I) Start[I + 1] = Start[I] + Adv[I];
        for (const TQvPlacedGlyph& G : Line.Glyphs)
            if (G.Cluster < Count && First[G.Cluster] == INT32_MIN) First[G.Cluster] = G.X;
        for (TQvPlacedGlyph& G : Line.Glyphs)
            if (G.Cluster < Count) G.X = Start[G.Cluster] + (G.X - First[G.Cluster]);
        Line.Width = Start[Count];
    }

    const UINT Align = D->State.TextAlign;
    if (Align & TA_UPDATECP) {
        X = D->State.CurrentPos.X;
        Y = D->State.CurrentPos.Y;
    }
    const TQvFontMetrics& M = Font->Metrics();
    int Left = X;
    if ((Align & TA_CENTER) == TA_CENTER)
        Left = X - Line.Width / 2;
    else if (Align & TA_RIGHT)
        Left = X - Line.Width;
    int Top = Y;
    if ((Align & TA_BASELINE) == TA_BASELINE)
        Top = Y - M.Ascent;
    else if (Align & TA_BOTTOM)
        Top = Y - M.Height;
    // The current position moves past the text; centred text leaves it in place.
    if ((Align & TA_UPDATECP) && (Align & TA_CENTER) != TA_CENTER)
        D->State.CurrentPos.X = (Align & TA_RIGHT) ? X - Line.Width : X + Line.Width;
    const bool Clipped = (Options & ETO_CLIPPED) && Rect;
    DrawLine(*D, *Font, Left, Top, Line, Clipped ? Rect : nullptr, D->State.BkMode == OPAQUE, M.Height, -1);
    return TRUE;
}

BOOL TextOutW(HDC Dc, int X, int Y, LPCWSTR Text, int Count) {
    if (Count < 0) return FALSE;
    return ExtTextOutW(Dc, X, Y, 0, nullptr, Text, static_cast<UINT>(Count), nullptr);
}

int DrawTextW(HDC Dc, LPCWSTR Text, int Count, RECT* Rect, UINT Format) {
    TGdiDC* D = GdiDCOf(Dc);
    if (!D || !Rect || (!Text && Count != 0)) return 0;
    const size_t N = Count < 0 ? (Text ? Length(Text) : 0) : static_cast<size_t>(Count);
    const std::u16string_view View(Text ? Text : u"", N);
    const auto Font = QvDCFont(*D);
    const TQvFontMetrics& M = Font->Metrics();
    const int LineHeight = M.Height + ((Format & DT_EXTERNALLEADING) ? M.ExternalLeading : 0);
    TQvTextLayout Layout;
    QvLayoutText(View, *Rect, Format, LineHeight,
                 [&](std::u16string_view T, std::vector<int>& A) { Font->Advances(T, A); }, Layout);
    if (Format & DT_CALCRECT) {
        *Rect = Layout.Bounds;
        return Layout.Result;
    }
    const bool Rtl = (Format & DT_RTLREADING) != 0;
    const bool Opaque = D->State.BkMode == OPAQUE;
    TQvShapedText Line;
    for (const TQvTextLine& L : Layout.Lines) {
        Font->Shape(L.Text, Rtl, Line);
        DrawLine(*D, *Font, L.X, L.Y, Line, (Format & DT_NOCLIP) ? nullptr : Rect, Opaque, LineHeight,
                 L.PrefixIndex);
    }
    return Layout.Result;
}

DWORD GetGlyphOutlineW(HDC Dc, UINT Char, UINT Format, GLYPHMETRICS* Metrics, DWORD BufferSize, void* Buffer,
                       const MAT2* Matrix) {
    const TGdiDC* D = GdiDCOf(Dc);
    if (!D) return GDI_ERROR;
    return QvGlyphOutlineData(*QvDCFont(*D), Char, Format, Metrics, BufferSize, Buffer, Matrix);
}
