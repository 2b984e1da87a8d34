#include "draw/uQvSvg.h"

#include "draw/uQvColor32.h"
#include "platform/uQvStrUtils.h"

// --- TQvBrush, TQvPen -----------------------------------------------------------------------

void TQvBrush::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    Changed();
}

void TQvBrush::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Changed();
}

void TQvBrush::Changed() {
    if (OnChanged) OnChanged(this);
}

bool TQvBrush::CopyValues(const TQvBrush& Source) {
    const bool Differs = FColor != Source.FColor || FVisible != Source.FVisible;
    FColor = Source.FColor;
    FVisible = Source.FVisible;
    return Differs;
}

void TQvBrush::Assign(const TPersistent* Source) {
    if (const auto* Brush = dynamic_cast<const TQvBrush*>(Source)) {
        if (CopyValues(*Brush)) Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TQvPen::SetWidth(int Value) {
    if (FWidth == Value) return;
    FWidth = Value;
    Changed();
}

void TQvPen::SetStyle(TQvPenStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Changed();
}

bool TQvPen::CopyValues(const TQvBrush& Source) {
    bool Differs = TQvBrush::CopyValues(Source);
    if (const auto* Pen = dynamic_cast<const TQvPen*>(&Source)) {
        Differs = Differs || FWidth != Pen->FWidth || FStyle != Pen->FStyle;
        FWidth = Pen->FWidth;
        FStyle = Pen->FStyle;
    }
    return Differs;
}

// --- the path data reader ---------------------------------------------------------------------

namespace {

bool IsBlank(char C) {
    return C == ' ' || C == '\t' || C == '\r' || C == '\n';
}
bool StartsNumber(char C) {
    return C == '+' || C == '-' || C == '.' || (C >= '0' && C <= '9');
}
bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

// The offending byte of a message, as its own code point.
String CharText(char C) {
    return String(1, static_cast<char16_t>(static_cast<unsigned char>(C)));
}

class TPathReader {
public:
    TPathReader(const std::string& Data, TFlattenedPath& Path) : FData(Data), FPath(Path) {}

    void Run() {
        SkipBlanks();
        const char First = FData[FPos];
        if (First != 'M' && First != 'm')
            throw EQvError(Format(u"Unknown first command (%s)", {CharText(First)}));
        ++FPos;
        SkipBlanks();
        const float X = Number();
        SkipBlanksAndCommas();
        const float Y = Number();
        SkipBlanks();
        FPath.BeginPath();
        FPath.MoveTo(X, Y);
        FCommand = 'L';
        FRelative = First == 'm';
        while (!AtEnd()) {
            const char C = FData[FPos];
            if (StartsNumber(C)) {
                // A close takes no arguments, so a number cannot repeat it.
                if (FCommand == 'Z') throw EQvError(Format(u"Unknown command (%s)", {CharText(C)}));
                Execute();
                continue;
            }
            const char Upper = (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C;
            if (!IsCommand(Upper)) throw EQvError(Format(u"Unknown command (%s)", {CharText(C)}));
            FCommand = Upper;
            FRelative = C != Upper;
            ++FPos;
            SkipBlanks();
            Execute();
        }
        FPath.EndPath();
    }

private:
    static bool IsCommand(char C) {
        switch (C) {
            case 'M':
            case 'L':
            case 'H':
            case 'V':
            case 'C':
            case 'S':
            case 'Q':
            case 'T':
            case 'A':
            case 'Z':
                return true;
            default:
                return false;
        }
    }

    bool AtEnd() const { return FPos >= FData.size(); }
    void SkipBlanks() {
        while (!AtEnd() && IsBlank(FData[FPos])) ++FPos;
    }
    void SkipBlanksAndCommas() {
        while (!AtEnd() && (IsBlank(FData[FPos]) || FData[FPos] == ',')) ++FPos;
    }

    // Sign, digits, a fraction and an exponent, converted as a decimal number; a text
    // without digits raises the conversion error.
    double Number() {
        if (AtEnd()) throw EQvError("No Data");
        const size_t Start = FPos;
        if (FData[FPos] == '+' || FData[FPos] == '-') ++FPos;
        while (!AtEnd() && IsDigit(FData[FPos])) ++FPos;
        if (!AtEnd() && FData[FPos] == '.') {
            ++FPos;
            while (!AtEnd() && IsDigit(FData[FPos])) ++FPos;
        }
        if (!AtEnd() && (FData[FPos] == 'e' || FData[FPos] == 'E')) {
            ++FPos;
            if (!AtEnd() && (FData[FPos] == '+' || FData[FPos] == '-')) ++FPos;
            while (!AtEnd() && IsDigit(FData[FPos])) ++FPos;
        }
        return StrToFloat(Utf8ToString(FData.substr(Start, FPos - Start)));
    }

    double Single() {
        const double V = Number();
        SkipBlanks();
        return V;
    }

    // A coordinate pair, its x shifted by 1.5, made absolute when the command is relative.
    TFloatPoint Pair(const TFloatPoint& Origin) {
        const double X = Number();
        SkipBlanksAndCommas();
        const double Y = Number();
        SkipBlanks();
        const TFloatPoint P{static_cast<float>(X + 1.5), static_cast<float>(Y)};
        return FRelative ? TFloatPoint{Origin.X + P.X, Origin.Y + P.Y} : P;
    }

    bool Flag() {
        if (AtEnd()) throw EQvError("No Data");
        const bool Result = FData[FPos++] == '1';
        SkipBlanks();
        return Result;
    }

    void Execute() {
        const TFloatPoint Current = FPath.CurrentPoint();
        switch (FCommand) {
            case 'M': {
                const TFloatPoint P = Pair(Current);
                FPath.EndPath();
                FPath.BeginPath();
                FPath.MoveTo(P);
                FCommand = 'L';
                break;
            }
            case 'L':
                FPath.LineTo(Pair(Current));
                break;
            case 'H': {
                const float X = static_cast<float>(Single());
                FPath.LineTo(FRelative ? Current.X + X : X, Current.Y);
                break;
            }
            case 'V': {
                const float Y = static_cast<float>(Single());
                FPath.LineTo(Current.X, FRelative ? Current.Y + Y : Y);
                break;
            }
            case 'C': {
                const TFloatPoint C1 = Pair(Current), C2 = Pair(Current), P = Pair(Current);
                FPath.CurveTo(C1, C2, P);
                break;
            }
            case 'S': {
                const TFloatPoint C2 = Pair(Current), P = Pair(Current);
                FPath.CurveTo(C2, P);
                break;
            }
            case 'Q': {
                const TFloatPoint P1 = Pair(Current), P = Pair(Current);
                FPath.ConicTo(P1, P);
                break;
            }
            case 'T':
                FPath.ConicTo(Pair(Current));
                break;
            case 'A':
                // Radii, rotation, the two flags and the end point are read; no arc is drawn.
                Pair(Current);
                Single();
                Flag();
                Flag();
                Pair(Current);
                break;
            case 'Z':
                FPath.ClosePath();
                break;
        }
    }

    const std::string& FData;
    TFlattenedPath& FPath;
    size_t FPos = 0;
    char FCommand = 'L';
    bool FRelative = false;
};

}  // namespace

// --- TQvSVGPathRenderer ---------------------------------------------------------------------------

TQvSVGPathRenderer::TQvSVGPathRenderer(TCustomSurface32* Bitmap)
    : FCanvas(std::make_unique<TSurfaceCanvas>(Bitmap)) {}

TQvSVGPathRenderer::~TQvSVGPathRenderer() = default;

void TQvSVGPathRenderer::SetPath(const std::string& Value) {
    if (FPath == Value) return;
    FPath = Value;
    Refresh();
}

void TQvSVGPathRenderer::Refresh() {
    // The brushes are made anew for each rendering, so refreshing twice never draws twice.
    TBrushCollection& Brushes = FCanvas->Brushes();
    Brushes.Clear();
    FFillBrush = nullptr;
    FStrokeBrush = nullptr;
    if (FColors.Contains(pcFill)) {
        FFillBrush = Brushes.Add<TSolidBrush>();
        FFillBrush->SetFillColor(::SetAlpha(ToColor32(FFillColor), FAlpha));
        FFillBrush->SetFillMode(pfAlternate);
    }
    if (FColors.Contains(pcStroke)) {
        FStrokeBrush = Brushes.Add<TStrokeBrush>();
        FStrokeBrush->SetFillColor(ToColor32(FStrokeColor));
        FStrokeBrush->SetStrokeWidth(static_cast<float>(FStrokeWidth));
        FStrokeBrush->SetFillMode(pfWinding);
    }
    // The data less the control characters and blanks around it; nothing is left of a
    // blank path.
    size_t Lo = 0, Hi = FPath.size();
    while (Lo < Hi && static_cast<unsigned char>(FPath[Lo]) <= ' ') ++Lo;
    while (Hi > Lo && static_cast<unsigned char>(FPath[Hi - 1]) <= ' ') --Hi;
    if (Lo == Hi) return;
    const std::string Data = FPath.substr(Lo, Hi - Lo);
    TPathReader(Data, FCanvas->Path()).Run();
}
