#include "platform/uQvPngPalette.h"

#include <algorithm>
#include <array>

namespace {

struct TColorCount {
    uint32_t Color;
    uint32_t Count;
};

// Channels by shift: B 0, G 8, R 16, A 24.
inline uint32_t Channel(uint32_t Color, int Shift) {
    return (Color >> Shift) & 0xFF;
}

struct TBox {
    size_t Begin, End;  // range of the colour list
    uint64_t Pixels;    // pixels the box stands for
    int WidestShift;    // channel with the largest spread
    uint32_t Spread;

    void Measure(const std::vector<TColorCount>& Colors) {
        std::array<uint32_t, 4> Lo{255, 255, 255, 255}, Hi{0, 0, 0, 0};
        Pixels = 0;
        for (size_t I = Begin; I < End; ++I) {
            Pixels += Colors[I].Count;
            for (int C = 0; C < 4; ++C) {
                const uint32_t V = Channel(Colors[I].Color, C * 8);
                Lo[C] = std::min(Lo[C], V);
                Hi[C] = std::max(Hi[C], V);
            }
        }
        Spread = 0;
        WidestShift = 0;
        for (int C = 0; C < 4; ++C) {
            if (Hi[C] - Lo[C] > Spread) {
                Spread = Hi[C] - Lo[C];
                WidestShift = C * 8;
            }
        }
    }
};

// Mean colour of a box, each channel rounded to nearest.
uint32_t MeanColor(const std::vector<TColorCount>& Colors, const TBox& Box) {
    std::array<uint64_t, 4> Sum{0, 0, 0, 0};
    for (size_t I = Box.Begin; I < Box.End; ++I)
        for (int C = 0; C < 4; ++C) Sum[C] += uint64_t{Channel(Colors[I].Color, C * 8)} * Colors[I].Count;
    uint32_t Color = 0;
    for (int C = 0; C < 4; ++C)
        Color |= static_cast<uint32_t>((Sum[C] + Box.Pixels / 2) / Box.Pixels) << (C * 8);
    return Color;
}

}  // namespace

TQvIndexedPixels BuildPalette(const uint32_t* Pixels, size_t Count, int MaxColors) {
    MaxColors = std::clamp(MaxColors, 1, 256);
    TQvIndexedPixels Result;
    if (Count == 0) return Result;

    // Distinct colours with their pixel counts, sorted by colour value.
    std::vector<uint32_t> Sorted(Pixels, Pixels + Count);
    std::sort(Sorted.begin(), Sorted.end());
    std::vector<TColorCount> Colors;
    for (size_t I = 0; I < Count;) {
        size_t J = I;
        while (J < Count && Sorted[J] == Sorted[I]) ++J;
        Colors.push_back({Sorted[I], static_cast<uint32_t>(std::min<size_t>(J - I, UINT32_MAX))});
        I = J;
    }
    Sorted = {};
    std::vector<uint32_t> Keys(Colors.size());
    for (size_t I = 0; I < Colors.size(); ++I) Keys[I] = Colors[I].Color;

    // Median cut: split the box with the widest spread (weighted by its pixels) at the
    // pixel-weighted median of that channel until there are enough boxes.
    std::vector<TBox> Boxes;
    TBox All{0, Colors.size(), 0, 0, 0};
    All.Measure(Colors);
    Boxes.push_back(All);
    while (Boxes.size() < static_cast<size_t>(MaxColors)) {
        size_t Best = Boxes.size();
        uint64_t BestScore = 0;
        for (size_t B = 0; B < Boxes.size(); ++B) {
            const uint64_t Score = uint64_t{Boxes[B].Spread} * Boxes[B].Pixels;
            if (Boxes[B].End - Boxes[B].Begin >= 2 && Score > BestScore) {
                Best = B;
                BestScore = Score;
            }
        }
        if (Best == Boxes.size()) break;
        TBox& Box = Boxes[Best];
        const int Shift = Box.WidestShift;
        std::sort(Colors.begin() + static_cast<ptrdiff_t>(Box.Begin),
                  Colors.begin() + static_cast<ptrdiff_t>(Box.End),
                  [Shift](const TColorCount& A, const TColorCount& B) {
                      const uint32_t VA = Channel(A.Color, Shift), VB = Channel(B.Color, Shift);
                      return VA != VB ? VA < VB : A.Color < B.Color;
                  });
        uint64_t Seen = 0;
        size_t Split = Box.Begin + 1;
        for (size_t I = Box.Begin; I + 1 < Box.End; ++I) {
            Seen += Colors[I].Count;
            Split = I + 1;
            if (Seen * 2 >= Box.Pixels) break;
        }
        TBox Upper{Split, Box.End, 0, 0, 0};
        Box.End = Split;
        Box.Measure(Colors);
        Upper.Measure(Colors);
        Boxes.push_back(Upper);
    }

    // Translucent entries first; otherwise boxes keep their order.
    std::vector<uint32_t> Means(Boxes.size());
    for (size_t B = 0; B < Boxes.size(); ++B) Means[B] = MeanColor(Colors, Boxes[B]);
    std::vector<size_t> Order(Boxes.size());
    for (size_t B = 0; B < Order.size(); ++B) Order[B] = B;
    std::stable_sort(Order.begin(), Order.end(), [&Means](size_t A, size_t B) {
        return (Means[A] >> 24 == 0xFF) < (Means[B] >> 24 == 0xFF);
    });
    std::vector<uint8_t> IndexOfBox(Boxes.size());
    for (size_t I = 0; I < Order.size(); ++I) {
        IndexOfBox[Order[I]] = static_cast<uint8_t>(I);
        Result.Palette.push_back(Means[Order[I]]);
    }

    // Each distinct colour maps to the entry of its box; pixels look their colour up.
    std::vector<uint8_t> IndexOfKey(Keys.size());
    for (size_t B = 0; B < Boxes.size(); ++B)
        for (size_t I = Boxes[B].Begin; I < Boxes[B].End; ++I) {
            const size_t K = static_cast<size_t>(std::lower_bound(Keys.begin(), Keys.end(), Colors[I].Color) -
                                                 Keys.begin());
            IndexOfKey[K] = IndexOfBox[B];
        }
    Result.Indices.resize(Count);
    for (size_t I = 0; I < Count; ++I) {
        const size_t K =
            static_cast<size_t>(std::lower_bound(Keys.begin(), Keys.end(), Pixels[I]) - Keys.begin());
        Result.Indices[I] = IndexOfKey[K];
    }
    Result.Exact = Boxes.size() == Colors.size();
    return Result;
}
