#include "draw/uQvGradients.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/uQvPixel.h"

// --- TColor32LookupTable --------------------------------------------------------------------

TColor32LookupTable::TColor32LookupTable(int Order) {
    SetOrder(Order);
}

void TColor32LookupTable::SetOrder(int Value) {
    Value = std::clamp(Value, 1, 13);
    if (Value == FOrder) return;
    FOrder = Value;
    FColors.assign(size_t{1} << Value, 0);
}

// --- TColor32Gradient -----------------------------------------------------------------------

void TColor32Gradient::GradientColorsChanged() {
    if (OnGradientColorsChanged) OnGradientColorsChanged(this);
}

void TColor32Gradient::AddColorStop(float Offset, TColor32 Color) {
    const auto At = std::upper_bound(FGradientColors.begin(), FGradientColors.end(), Offset,
                                     [](float O, const TColor32GradientStop& S) { return O < S.Offset; });
    FGradientColors.insert(At, TColor32GradientStop{Offset, Color});
    GradientColorsChanged();
}

void TColor32Gradient::ClearColorStops() {
    FGradientColors.clear();
    GradientColorsChanged();
}

const TColor32GradientStop& TColor32Gradient::GradientEntry(int Index) const {
    if (Index < 0 || Index >= GradientCount())
        throw EQvError("Index out of bounds (" + std::to_string(Index) + ")");
    return FGradientColors[static_cast<size_t>(Index)];
}

TColor32 TColor32Gradient::StartColor() const {
    return FGradientColors.empty() ? 0 : FGradientColors.front().Color32;
}

TColor32 TColor32Gradient::EndColor() const {
    return FGradientColors.empty() ? 0 : FGradientColors.back().Color32;
}

TColor32 TColor32Gradient::GetColorAt(float Offset) const {
    const auto& G = FGradientColors;
    if (G.empty()) return 0;
    if (!(Offset > G.front().Offset)) return G.front().Color32;
    if (Offset >= G.back().Offset) return G.back().Color32;
    size_t I = 1;
    while (G[I].Offset < Offset) ++I;
    const float F = (Offset - G[I - 1].Offset) / (G[I].Offset - G[I - 1].Offset);
    if (F <= 0) return G[I - 1].Color32;
    if (F >= 1) return G[I].Color32;
    return WeightedMix(G[I].Color32, G[I - 1].Color32, static_cast<uint32_t>(std::floor(F * 255.0f)));
}

void TColor32Gradient::FillColorLookUpTable(TColor32LookupTable& Table) const {
    const int N = Table.Size();
    TColor32* Out = Table.Color32Ptr();
    for (int I = 0; I < N; ++I) Out[I] = GetColorAt(static_cast<float>(I) / static_cast<float>(N - 1));
}

void TColor32Gradient::Assign(const TPersistent* Source) {
    if (const auto* G = dynamic_cast<const TColor32Gradient*>(Source)) {
        FGradientColors = G->FGradientColors;
        GradientColorsChanged();
        return;
    }
    TPersistent::Assign(Source);
}

// --- TCustomGradientLookupTablePolygonFiller -------------------------------------------------

TCustomGradientLookupTablePolygonFiller::~TCustomGradientLookupTablePolygonFiller() {
    if (FOwnsLUT) delete FGradientLUT;
}

void TCustomGradientLookupTablePolygonFiller::SetGradientLUT(TColor32LookupTable* Value) {
    if (Value == FGradientLUT) return;
    if (FOwnsLUT) delete FGradientLUT;
    FGradientLUT = Value;
    FOwnsLUT = false;
}

void TCustomGradientLookupTablePolygonFiller::SetUseLookUpTable(bool Value) {
    FUseLookUpTable = Value;
    if (!Value && FWrapMode != wmClamp) FWrapMode = wmClamp;
}

void TCustomGradientLookupTablePolygonFiller::SetWrapMode(TWrapMode Value) {
    FWrapMode = Value;
    if (Value != wmClamp) FUseLookUpTable = true;
}

void TCustomGradientLookupTablePolygonFiller::BeginRendering() {
    if (!FUseLookUpTable) {
        if (FGradient == nullptr) throw EQvError("No TColor32Gradient specified");
        return;
    }
    if (FGradientLUT == nullptr) throw EQvError("No TColor32LookupTable object specified");
    // Filled at every render rather than on the gradient's change event, so a filler never
    // holds on to a gradient's event after either is gone.
    if (FGradient != nullptr) FGradient->FillColorLookUpTable(*FGradientLUT);
}

// --- TCustomLinearGradientPolygonFiller -----------------------------------------------------

void TCustomLinearGradientPolygonFiller::UpdateIncline() {
    const TFloatPoint &S = FStartPoint, &E = FEndPoint;
    if (E.X != S.X)
        FIncline = (E.Y - S.Y) / (E.X - S.X);
    else if (E.Y != S.Y)
        FIncline = 1 / (E.Y - S.Y);
}

void TCustomLinearGradientPolygonFiller::SetStartPoint(const TFloatPoint& Value) {
    if (FStartPoint == Value) return;
    FStartPoint = Value;
    UpdateIncline();
}

void TCustomLinearGradientPolygonFiller::SetEndPoint(const TFloatPoint& Value) {
    if (FEndPoint == Value) return;
    FEndPoint = Value;
    UpdateIncline();
}

// --- TLinearGradientPolygonFiller -----------------------------------------------------------

TLinearGradientPolygonFiller::TLinearGradientPolygonFiller(TColor32Gradient* Gradient) {
    FGradient = Gradient;
    FGradientLUT = new TColor32LookupTable(9);
    FOwnsLUT = true;
}

namespace {

// Fills run inside the rasteriser, where every rounding goes toward minus infinity.
int FloorToInt(double V) {
    if (!(V == V)) return INT32_MIN / 2;
    return static_cast<int>(std::clamp(std::floor(V), -1073741824.0, 1073741824.0));
}

// The 31-bit fixed-point weight and its step, within 2^61, and the sum of the two kept
// within 2^62: stepping stays inside 64 bits however short the ramp, and any value beyond
// 2^31 weighs 255 (below 0: 0) all the same.
int64_t FloorTo64(double V) {
    constexpr double Limit = 2305843009213693952.0;
    if (!(V == V)) return 0;
    return static_cast<int64_t>(std::clamp(std::floor(V), -Limit, Limit));
}

int64_t SaturatedAdd(int64_t A, int64_t B) {
    constexpr int64_t Limit = int64_t{1} << 62;
    return std::clamp<int64_t>(A + B, -Limit, Limit);
}

// One row along the stops in the order they cross it from left to right: Xs are those
// crossings, Cs the stop colours.
void RampRow(const std::vector<float>& Xs, const std::vector<TColor32>& Cs, int X0, int Count,
             TColor32* Out) {
    const int End = X0 + Count;
    float P = Xs[0];
    int PixelP = FloorToInt(P);
    if (PixelP >= End - 1) {
        std::fill_n(Out, Count, Cs[0]);
        return;
    }
    for (int X = X0; X < PixelP; ++X) Out[X - X0] = Cs[0];
    for (size_t K = 1; K < Xs.size(); ++K) {
        const int L = std::max(PixelP, X0);
        const float Q = Xs[K];
        const int R = std::min(FloorToInt(Q), End);
        if (L < R) {
            const float S = 1.0f / (Q - P);
            const int64_t Step = FloorTo64(static_cast<double>(S) * 2147483647.0);
            int64_t Acc = FloorTo64((static_cast<double>(L) - P) * 2147483647.0 * S);
            for (int X = L; X < R; ++X) {
                const auto W = static_cast<uint32_t>(std::clamp<int64_t>(Acc >> 23, 0, 255));
                Out[X - X0] = WeightedMix(Cs[K], Cs[K - 1], W);
                Acc = SaturatedAdd(Acc, Step);
            }
        }
        if (R == End) return;
        PixelP = R;
        P = Q;
    }
    for (int X = std::max(PixelP, X0); X < End; ++X) Out[X - X0] = Cs.back();
}

}  // namespace

void TLinearGradientPolygonFiller::RowColors(int X0, int Y, int Count, TColor32* Out) const {
    if (Count <= 0 || FGradient == nullptr || FGradient->GradientCount() == 0) return;
    const TColor32Gradient& G = *FGradient;
    const int N = G.GradientCount();
    const TFloatPoint &S = FStartPoint, &E = FEndPoint;
    if (N == 1) {
        std::fill_n(Out, Count, G.StartColor());
    } else if (E.X != S.X) {
        // Where stop k crosses this row, once per row.
        const float Fy = static_cast<float>(Y);
        std::vector<float> Xs(static_cast<size_t>(N));
        std::vector<TColor32> Cs(static_cast<size_t>(N));
        const bool Rising = E.X > S.X;
        for (int J = 0; J < N; ++J) {
            const TColor32GradientStop& Stop = G.GradientEntry(Rising ? J : N - 1 - J);
            const float O = Stop.Offset;
            Xs[static_cast<size_t>(J)] =
                (1 - O) * S.X + O * E.X + ((1 - O) * (S.Y - Fy) + O * (E.Y - Fy)) * FIncline;
            Cs[static_cast<size_t>(J)] = Stop.Color32;
        }
        RampRow(Xs, Cs, X0, Count, Out);
    } else if (E.Y != S.Y) {
        std::fill_n(Out, Count, G.GetColorAt((static_cast<float>(Y) - S.Y) * FIncline));
    } else {
        std::fill_n(Out, Count, S.Y > static_cast<float>(Y) ? G.StartColor() : G.EndColor());
    }
}

void TLinearGradientPolygonFiller::TableRowColors(int X0, int Y, int Count, TColor32* Out) const {
    const TColor32LookupTable& T = *FGradientLUT;
    const float Dx = FEndPoint.X - FStartPoint.X, Dy = FEndPoint.Y - FStartPoint.Y;
    const float Len2 = Dx * Dx + Dy * Dy;
    const int Last = T.Size() - 1;
    for (int I = 0; I < Count; ++I) {
        // The offset of the pixel along the axis, scaled to the table.
        const float O = Len2 > 0 ? ((X0 + I - FStartPoint.X) * Dx + (Y - FStartPoint.Y) * Dy) / Len2
                                 : (FStartPoint.Y > static_cast<float>(Y) ? 0.0f : 1.0f);
        int Index = FloorToInt(static_cast<double>(O) * Last);
        switch (FWrapMode) {
            case wmClamp:
                Index = std::clamp(Index, 0, Last);
                break;
            case wmRepeat:
                Index &= T.Mask();
                break;
            case wmMirror: {
                const int Period = 2 * T.Size();
                Index = ((Index % Period) + Period) % Period;
                if (Index > Last) Index = Period - 1 - Index;
                break;
            }
        }
        Out[I] = T.Color32(Index);
    }
}

TFillLineEvent TLinearGradientPolygonFiller::FillLine() {
    if (!FUseLookUpTable && (FGradient == nullptr || FGradient->GradientCount() == 0)) return {};
    return [this](TColor32* Dst, int DstX, int DstY, int Length, const uint32_t* AlphaValues) {
        if (FRow.size() < static_cast<size_t>(Length)) FRow.resize(static_cast<size_t>(Length));
        if (FUseLookUpTable)
            TableRowColors(DstX, DstY, Length, FRow.data());
        else
            RowColors(DstX, DstY, Length, FRow.data());
        for (int I = 0; I < Length; ++I)
            BlendIntoMaster(FRow[static_cast<size_t>(I)], Dst[I], AlphaValues[I]);
    };
}
