#include "skin_glyph.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

#include "draw/uQvCanvas.h"
#include "platform/uQvBase.h"

namespace {

constexpr float Pi = 3.14159265358979f;

std::map<std::string, std::string>& Library() {
    static std::map<std::string, std::string> L;
    return L;
}

[[noreturn]] void Fail(const std::string& Why, const std::string& Token) {
    throw EQvError(Utf8ToString("glyph program: " + Why + " at '" + Token + "'"));
}

// Points of an arc with chords within 1/20 pixel of the circle.
TArrayOfFloatPoint ArcPoints(TFloatPoint C, float R, float A0, float A1) {
    const float Step = R > 0.05f ? 2.0f * std::acos(1.0f - 0.05f / R) : Pi / 4;
    const int N = std::max(2, static_cast<int>(std::ceil(std::fabs(A1 - A0) / Step)) + 1);
    TArrayOfFloatPoint P;
    for (int I = 0; I < N; ++I) {
        const float A = A0 + (A1 - A0) * I / (N - 1);
        P.push_back({C.X + R * std::cos(A), C.Y + R * std::sin(A)});
    }
    return P;
}

TArrayOfFloatPoint EllipseContour(TFloatPoint C, float Rx, float Ry) {
    TArrayOfFloatPoint P = ArcPoints(C, std::max(Rx, Ry), 0, 2 * Pi);
    P.pop_back();
    for (TFloatPoint& Q : P)
        Q = {C.X + (Q.X - C.X) * Rx / std::max(Rx, Ry), C.Y + (Q.Y - C.Y) * Ry / std::max(Rx, Ry)};
    return P;
}

TArrayOfFloatPoint RoundRect(float X, float Y, float W, float H, float R) {
    R = std::min({R, W / 2, H / 2});
    if (R <= 0.01f) return {{X, Y}, {X + W, Y}, {X + W, Y + H}, {X, Y + H}};
    TArrayOfFloatPoint P;
    const struct {
        float Cx, Cy, A;
    } Corners[] = {{X + W - R, Y + R, -Pi / 2},
                   {X + W - R, Y + H - R, 0},
                   {X + R, Y + H - R, Pi / 2},
                   {X + R, Y + R, Pi}};
    for (const auto& K : Corners) {
        const TArrayOfFloatPoint A = ArcPoints({K.Cx, K.Cy}, R, K.A, K.A + Pi / 2);
        P.insert(P.end(), A.begin(), A.end());
    }
    return P;
}

TColor32 ParseHex(const std::string& T) {
    if ((T.size() != 7 && T.size() != 9) || T[0] != '#') Fail("bad colour", T);
    const unsigned long V = std::strtoul(T.c_str() + 1, nullptr, 16);
    if (T.size() == 7) return 0xFF000000u | static_cast<TColor32>(V);
    return (static_cast<TColor32>(V & 0xFF) << 24) | static_cast<TColor32>(V >> 8);
}

class TRunner {
public:
    TRunner(TSkinPaint& Paint, const TGlyphPlace& Place, const TLook& Look)
        : FPaint(Paint), FPlace(Place), FLook(Look), FWidth(Place.Stroke), FColour(Look.Glyph) {
        FScale = Place.Grid > 0 ? Place.W / Place.Grid : 1.0f;
    }

    void Run(const std::string& Program, int Depth) {
        std::istringstream In(Program);
        std::vector<std::string> T;
        for (std::string S; In >> S;) T.push_back(S);
        size_t I = 0;
        auto Num = [&]() {
            if (I >= T.size()) Fail("missing number", T.empty() ? "" : T.back());
            const float V = Number(T[I]);
            ++I;
            return V;
        };
        bool Skip = false;
        while (I < T.size()) {
            const std::string Op = T[I++];
            if (Op[0] == '?') {
                Skip = Op.find(FPlace.State, 1) == std::string::npos;
                continue;
            }
            if (Op == ";") {
                Skip = false;
                continue;
            }
            if (Skip) continue;
            if (Op[0] == '@') {
                const auto Found = Library().find(Op.substr(1));
                if (Found == Library().end() || Depth > 8) Fail("unknown program", Op);
                Run(Found->second, Depth + 1);
                continue;
            }
            if (Op.size() != 1) Fail("unknown command", Op);
            switch (Op[0]) {
                case 'M':
                case 'L': {
                    const float X = Num(), Y = Num();
                    Record({Op[0], {X, Y}});
                    break;
                }
                case 'C':
                case 'Q':
                case 'A':
                case 'O':
                case 'E':
                case 'R':
                case 'N':
                case 'P': {
                    TSeg G{Op[0], {}};
                    // The numbers each figure command takes.
                    const int Count = Op[0] == 'C'                   ? 6
                                      : Op[0] == 'O'                 ? 3
                                      : Op[0] == 'Q' || Op[0] == 'E' ? 4
                                                                     : 5;
                    for (int K = 0; K < Count; ++K) G.V[K] = Num();
                    Record(G);
                    break;
                }
                case 'Z':
                    Record({'Z', {}});
                    break;
                case 's':
                case 'X': {
                    const TBuilt B = Build(true);
                    Paint(FPaint.StrokeMask(B.Contours, B.Closed, FWidth, FJoin, FEnd), B, Op[0] == 'X');
                    break;
                }
                case 'f':
                case 'e':
                case 'x': {
                    const TBuilt B = Build(false);
                    Paint(FPaint.FillMask(B.Contours, Op[0] == 'e' ? pfAlternate : pfWinding), B,
                          Op[0] == 'x');
                    break;
                }
                case 'h': {
                    const int R = static_cast<int>(Num());
                    const int Dy = static_cast<int>(Num());
                    const TBuilt B = Build(false);
                    TMask M = FPaint.FillMask(B.Contours, pfWinding);
                    M.Blur(R);
                    FPaint.Paint(M, Ink(B), 0, Dy);
                    FPainted = true;
                    break;
                }
                case 'w':
                    FWidth = FPlace.Stroke * Num();
                    break;
                case 'G': {
                    const float X0 = Num(), Y0 = Num(), X1 = Num(), Y1 = Num();
                    if (I + 1 >= T.size()) Fail("missing colours", Op);
                    const TColor32 C0 = ParseHex(T[I]), C1 = ParseHex(T[I + 1]);
                    I += 2;
                    FLinear = TInk::Linear(C0, C1, Map({X0, Y0}), Map({X1, Y1}));
                    FUseLinear = true;
                    break;
                }
                case 'k': {
                    if (I >= T.size()) Fail("missing colour", Op);
                    const std::string C = T[I++];
                    FGradient = C == "f" && FLook.Fill2 != 0;
                    FUseLinear = false;
                    FColour = C == "g"   ? FLook.Glyph
                              : C == "G" ? FLook.Glyph2
                              : C == "f" ? FLook.Fill
                              : C == "F" ? FLook.Fill2
                              : C == "b" ? FLook.Border
                              : C == "w" ? clWhite32
                                         : ParseHex(C);
                    break;
                }
                case 'c':
                case 'j': {
                    if (I >= T.size()) Fail("missing style", Op);
                    const char S = T[I++][0];
                    if (Op[0] == 'c')
                        FEnd = S == 'r' ? esRound : S == 's' ? esSquare : esButt;
                    else
                        FJoin = S == 'r' ? jsRound : S == 'b' ? jsBevel : jsMiter;
                    break;
                }
                default:
                    Fail("unknown command", Op);
            }
        }
    }

private:
    // A number, or W / H with one optional operation on a number.
    float Number(const std::string& T) const {
        char* End = nullptr;
        if (T[0] == 'W' || T[0] == 'H') {
            const float Base = (T[0] == 'W' ? FPlace.W : FPlace.H) / FScale;
            if (T.size() == 1) return Base;
            const float V = std::strtof(T.c_str() + 2, &End);
            if (T.size() < 3 || *End != 0) Fail("not a number", T);
            switch (T[1]) {
                case '+':
                    return Base + V;
                case '-':
                    return Base - V;
                case '*':
                    return Base * V;
                case '/':
                    return Base / V;
                default:
                    Fail("not a number", T);
            }
        }
        const float V = std::strtof(T.c_str(), &End);
        if (End == T.c_str() || *End != 0) Fail("not a number", T);
        return V;
    }
    // One recorded figure command in design units.
    struct TSeg {
        char Kind;
        float V[6];
    };
    struct TBuilt {
        TArrayOfArrayOfFloatPoint Contours;
        std::vector<bool> Closed;
    };

    void Record(const TSeg& G) {
        if (FPainted) FPath.clear();
        FPainted = false;
        FPath.push_back(G);
    }

    // Snapping, when the figure is scaled: a stroke of odd width runs through pixel
    // centres, one of even width and a fill's edges along pixel borders.
    float Snap(float V, bool Stroke) const {
        if (FScale == 1.0f) return V;
        const int K = static_cast<int>(std::floor(FWidth + 0.25f));
        return Stroke && K % 2 == 1 ? std::floor(V) + 0.5f : std::round(V);
    }
    TFloatPoint Map(TFloatPoint P) const { return {FPlace.X + P.X * FScale, FPlace.Y + P.Y * FScale}; }
    TFloatPoint MapSnapped(TFloatPoint P, bool Stroke) const {
        const TFloatPoint Q = Map(P);
        return {Snap(Q.X, Stroke), Snap(Q.Y, Stroke)};
    }
    float Radius(float R) const {
        return FScale != 1.0f ? std::max(0.5f, std::round(R * FScale)) : R * FScale;
    }
    float Length(float L) const {
        return FScale != 1.0f ? std::max(1.0f, std::round(L * FScale)) : L * FScale;
    }

    // The recorded figure in frame pixels, snapped for a stroke or for a fill.
    TBuilt Build(bool Stroke) const {
        TBuilt B;
        TArrayOfFloatPoint Open;
        TFloatPoint Last;
        // Leaves out a point that repeats the last: zero-length edges spoil stroke joins.
        auto Append = [&Open](const TArrayOfFloatPoint& P) {
            for (const TFloatPoint& Q : P)
                if (Open.empty() || std::fabs(Open.back().X - Q.X) > 1e-3f ||
                    std::fabs(Open.back().Y - Q.Y) > 1e-3f)
                    Open.push_back(Q);
        };
        auto End = [&B, &Open](bool Closed) {
            if (Open.size() > 1) {
                B.Contours.push_back(Open);
                B.Closed.push_back(Closed);
            }
            Open.clear();
        };
        auto Shape = [&](const TArrayOfFloatPoint& P) {
            End(false);
            B.Contours.push_back(P);
            B.Closed.push_back(true);
        };
        auto Start = [&]() { return Open.empty() ? MapSnapped(Last, Stroke) : Open.back(); };
        for (const TSeg& G : FPath) {
            const float* V = G.V;
            switch (G.Kind) {
                case 'M':
                    End(false);
                    [[fallthrough]];
                case 'L':
                    Last = {V[0], V[1]};
                    Append({MapSnapped(Last, Stroke)});
                    break;
                case 'C': {
                    TArrayOfFloatPoint P;
                    FlattenCubic(Start(), Map({V[0], V[1]}), Map({V[2], V[3]}),
                                 MapSnapped({V[4], V[5]}, Stroke), P);
                    Append(P);
                    Last = {V[4], V[5]};
                    Append({MapSnapped(Last, Stroke)});
                    break;
                }
                case 'Q': {
                    TArrayOfFloatPoint P;
                    FlattenConic(Start(), Map({V[0], V[1]}), MapSnapped({V[2], V[3]}, Stroke), P);
                    Append(P);
                    Last = {V[2], V[3]};
                    Append({MapSnapped(Last, Stroke)});
                    break;
                }
                case 'A':
                    Append(ArcPoints(MapSnapped({V[0], V[1]}, Stroke), Radius(V[2]), V[3] * Pi / 180,
                                     V[4] * Pi / 180));
                    Last = {V[0] + V[2] * std::cos(V[4] * Pi / 180), V[1] + V[2] * std::sin(V[4] * Pi / 180)};
                    break;
                case 'Z':
                    End(true);
                    break;
                case 'O':
                    Shape(EllipseContour(MapSnapped({V[0], V[1]}, Stroke), Radius(V[2]), Radius(V[2])));
                    break;
                case 'E':
                    Shape(EllipseContour(Map({V[0], V[1]}), V[2] * FScale, V[3] * FScale));
                    break;
                case 'R': {
                    const TFloatPoint P = MapSnapped({V[0], V[1]}, Stroke);
                    Shape(RoundRect(P.X, P.Y, Length(V[2]), Length(V[3]), V[4] * FScale));
                    break;
                }
                case 'N':
                    Shape(Cog(Map({V[0], V[1]}), V[2] * FScale, V[3] * FScale, static_cast<int>(V[4])));
                    break;
                case 'P':
                    Shape(Star(Map({V[0], V[1]}), V[2] * FScale, V[3] * FScale, static_cast<int>(V[4])));
                    break;
            }
        }
        End(false);
        return B;
    }
    TInk Ink(const TBuilt& B) const {
        if (FUseLinear) return FLinear;
        if (!FGradient) return TInk::Solid(FColour);
        float Top = 1e9f, Bottom = -1e9f;
        for (const auto& C : B.Contours)
            for (const TFloatPoint& P : C) Top = std::min(Top, P.Y), Bottom = std::max(Bottom, P.Y);
        return TInk::Linear(FLook.Fill, FLook.Fill2, {0, Top}, {0, Bottom});
    }
    void Paint(const TMask& M, const TBuilt& B, bool Erase) {
        if (Erase)
            FPaint.Erase(M);
        else
            FPaint.Paint(M, Ink(B));
        FPainted = true;
    }
    static TArrayOfFloatPoint Cog(TFloatPoint C, float R1, float R2, int N) {
        TArrayOfFloatPoint P;
        const float Step = 2 * Pi / N;
        for (int I = 0; I < N; ++I) {
            const float A = I * Step - Pi / 2;
            // A tooth: a little narrower at the tip than at its root.
            const float Parts[4][2] = {{-0.28f, R1}, {-0.16f, R2}, {0.16f, R2}, {0.28f, R1}};
            for (const auto& Q : Parts)
                P.push_back({C.X + Q[1] * std::cos(A + Q[0] * Step * 1.2f),
                             C.Y + Q[1] * std::sin(A + Q[0] * Step * 1.2f)});
            const TArrayOfFloatPoint Root = ArcPoints(C, R1, A + 0.336f * Step, A + (1 - 0.336f) * Step);
            P.insert(P.end(), Root.begin(), Root.end());
        }
        return P;
    }
    static TArrayOfFloatPoint Star(TFloatPoint C, float Inner, float Outer, int N) {
        TArrayOfFloatPoint P;
        for (int I = 0; I < 2 * N; ++I) {
            const float A = -Pi / 2 + I * Pi / N, R = I % 2 == 0 ? Outer : Inner;
            P.push_back({C.X + R * std::cos(A), C.Y + R * std::sin(A)});
        }
        return P;
    }

    TSkinPaint& FPaint;
    TGlyphPlace FPlace;
    TLook FLook;
    float FScale = 1;
    float FWidth;
    bool FPainted = false;
    bool FGradient = false;
    bool FUseLinear = false;
    TInk FLinear;
    TColor32 FColour;
    TJoinStyle FJoin = jsRound;
    TEndStyle FEnd = esRound;
    std::vector<TSeg> FPath;
};

}  // namespace

void DefineGlyph(const std::string& Name, const std::string& Program) {
    Library()[Name] = Program;
}

void DrawGlyph(TSkinPaint& Paint, const std::string& Program, const TGlyphPlace& Place, const TLook& Look) {
    TRunner(Paint, Place, Look).Run(Program, 0);
}
