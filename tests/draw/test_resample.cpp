#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "draw/uQvResamplersEx.h"
#include "draw/uQvSurface.h"
#include "draw/uQvTransforms.h"

namespace {

std::vector<TColor32> Pixels(const TCustomSurface32& S) {
    return std::vector<TColor32>(S.Bits(), S.Bits() + static_cast<size_t>(S.Width()) * S.Height());
}

void FillPattern(TSurface32& S, int W, int H, uint32_t Seed = 1) {
    S.SetSize(W, H);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) S.SetPixel(X, Y, (uint32_t(Y * W + X) + Seed) * 2654435761u);
}

// Installs a linear resampler reading transparent outside the surface.
TLinearResampler* UseLinear(TCustomSurface32& S, TPixelAccessMode Mode = pamTransparentEdge) {
    auto R = std::make_unique<TLinearResampler>();
    TLinearResampler* L = R.get();
    S.SetResampler(std::move(R));
    L->SetPixelAccessMode(Mode);
    return L;
}

void Scaled(TAffineTransformation& T, const TCustomSurface32& Src, float Sx, float Sy) {
    T.SetSrcRect(FloatRect(Src.BoundsRect()));
    T.Scale(Sx, Sy);
}

}  // namespace

TEST(LinearSampling, InteriorWeightsComeFromTheGammaTable) {
    TSurface32 S;
    S.SetSize(4, 4);
    S.SetPixel(1, 1, 0xC8C8C8C8u);
    S.SetPixel(1, 2, 0xC8C8C8C8u);
    TLinearResampler* L = UseLinear(S);
    L->PrepareSampling();
    // On a pixel: weights G[255] = 255, so one part in 256 of the neighbour stays.
    EXPECT_EQ(L->GetSampleFixed(Fixed(1), Fixed(1)), 0xC7C7C7C7u);
    // Half-way: the left pixel weighs G[127] = 84 of 256, not 128.
    EXPECT_EQ(L->GetSampleFixed(Fixed(1) + 32768, Fixed(1)), 0x41414141u);
    // More than a pixel outside: transparent black.
    S.Clear(0xFFFFFFFFu);
    L->PrepareSampling();
    EXPECT_EQ(L->GetSampleFixed(Fixed(-2), Fixed(1)), 0u);
    EXPECT_EQ(L->GetSampleFixed(Fixed(1), Fixed(4)), 0u);
    // Other access modes read the neighbours through the mode: the outer colour beyond
    // the edge, or the pixel the position wraps to.
    L->SetPixelAccessMode(pamSafe);
    L->PrepareSampling();
    EXPECT_EQ(L->GetSampleFixed(Fixed(3) + 32768, Fixed(1)), 0x53535353u);
    L->SetPixelAccessMode(pamWrap);
    L->PrepareSampling();
    EXPECT_EQ(L->GetSampleFixed(Fixed(3) + 32768, Fixed(1)), 0xFFFFFFFFu);
}

TEST(LinearSampling, ScaledPictureFadesAtItsEdge) {
    TSurface32 Src, Dst;
    Src.SetSize(2, 2);
    Src.Clear(0xFF336699u);
    UseLinear(Src);
    Dst.SetSize(4, 4);
    TAffineTransformation T;
    Scaled(T, Src, 2, 2);
    Transform(&Dst, &Src, &T);
    EXPECT_EQ(Dst.GetPixel(1, 1), 0xFF336699u);
    EXPECT_EQ(Dst.GetPixel(2, 2), 0xFF336699u);
    // The ring fades; the gamma weights make the far side fade more than the near one
    // (a quarter pixel beyond the last centre weighs the pixel G[191], a quarter before
    // the first weighs the alpha-0 copy G[63]).
    EXPECT_EQ(Dst.GetPixel(0, 0), 0xCC336699u);
    EXPECT_EQ(Dst.GetPixel(1, 0), 0xE4336699u);
    EXPECT_EQ(Dst.GetPixel(0, 2), 0xE4336699u);
    EXPECT_EQ(Dst.GetPixel(3, 1), 0xA0336699u);
    EXPECT_EQ(Dst.GetPixel(3, 3), 0x65336699u);
}

TEST(Transforms, IntegerTranslationsCopyFramesExactly) {
    TSurface32 Strip, Frame;
    FillPattern(Strip, 12, 3);
    for (int K = 0; K < 3; ++K) {
        Frame.SetSize(4, 3);
        TAffineTransformation T;
        T.SetSrcRect(FloatRect(Strip.BoundsRect()));
        T.Translate(static_cast<float>(-4 * K), 0);
        Transform(&Frame, &Strip, &T);
        for (int Y = 0; Y < 3; ++Y)
            for (int X = 0; X < 4; ++X) EXPECT_EQ(Frame.GetPixel(X, Y), Strip.GetPixel(4 * K + X, Y)) << K;
    }
    // A turn by 90 degrees maps pixels exactly too.
    TSurface32 Src, Dst;
    FillPattern(Src, 3, 2);
    Dst.SetSize(2, 3);
    TAffineTransformation T;
    T.SetSrcRect(FloatRect(Src.BoundsRect()));
    T.Rotate(90);
    T.Translate(0, 3);
    Transform(&Dst, &Src, &T);
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 2; ++X) EXPECT_EQ(Dst.GetPixel(X, Y), Src.GetPixel(2 - Y, X)) << X << "," << Y;
    // A negative scale mirrors.
    Dst.SetSize(3, 2);
    TAffineTransformation M;
    M.SetSrcRect(FloatRect(Src.BoundsRect()));
    M.Scale(-1, 1);
    M.Translate(3, 0);
    Transform(&Dst, &Src, &M);
    for (int X = 0; X < 3; ++X) EXPECT_EQ(Dst.GetPixel(X, 1), Src.GetPixel(2 - X, 1));
}

TEST(Transforms, MatrixOperationsAndBounds) {
    TAffineTransformation T;
    T.SetSrcRect({0, 0, 68, 17});
    T.Scale(1.5f);
    EXPECT_EQ(T.GetTransformedBounds(), (TFloatRect{0, 0, 102, 25.5f}));
    ASSERT_TRUE(T.PrepareTransform());
    EXPECT_EQ(T.InverseFixedMatrix().M[0][0], 43691);
    EXPECT_EQ(T.FixedMatrix().M[0][0], 98304);
    T.Translate(10, -4);
    EXPECT_EQ(T.Transform({2, 2}), (TFloatPoint{13, -1}));
    // Each operation applies after the ones before: translating then scaling scales the
    // translation too.
    TAffineTransformation U;
    U.Translate(1, 1);
    U.Scale(2, 3);
    EXPECT_EQ(U.Transform({0, 0}), (TFloatPoint{2, 3}));
    U.Clear();
    U.Skew(0.5f, 0);
    EXPECT_EQ(U.Transform({2, 4}), (TFloatPoint{4, 4}));
    U.Clear();
    U.Rotate(90);
    const TFloatPoint P = U.Transform({1, 0});
    EXPECT_NEAR(P.X, 0, 1e-6);
    EXPECT_EQ(P.Y, -1.0f);
    // Reverse positions of pixel centres land on source pixel centres.
    ASSERT_TRUE(T.PrepareTransform());
    const TFixedPoint R = T.ReverseTransformFixed(Fixed(13), Fixed(-1));
    EXPECT_NEAR(R.X / 65536.0, 2, 1e-4);
    EXPECT_NEAR(R.Y / 65536.0, 2, 1e-4);
}

TEST(Transforms, DegenerateTransformsDrawNothing) {
    const float NaN = std::numeric_limits<float>::quiet_NaN(), Inf = std::numeric_limits<float>::infinity();
    TSurface32 Src, Dst;
    FillPattern(Src, 8, 8);
    Dst.SetSize(8, 8);
    int Changes = 0;
    Dst.OnChange = [&](TObject*) { ++Changes; };
    for (float F : {0.0f, NaN, Inf, -Inf, 1e-9f}) {
        TAffineTransformation T;
        Scaled(T, Src, F, 1);
        Transform(&Dst, &Src, &T);
        TAffineTransformation L;
        Scaled(L, Src, 2, F);
        UseLinear(Src);
        Transform(&Dst, &Src, &L);
        Src.SetResampler(std::make_unique<TNearestResampler>());
    }
    TAffineTransformation Singular;
    Singular.SetSrcRect(FloatRect(Src.BoundsRect()));
    Singular.SetMatrix({{{1, 2, 0}, {2, 4, 0}, {0, 0, 1}}});
    Transform(&Dst, &Src, &Singular);
    TSurface32 Empty;
    TAffineTransformation Plain;
    Plain.SetSrcRect({0, 0, 8, 8});
    Transform(&Dst, &Empty, &Plain);
    // No source rectangle: nothing to transform.
    TAffineTransformation NoRect;
    Transform(&Dst, &Src, &NoRect);
    EXPECT_EQ(Changes, 0);
    for (TColor32 P : Pixels(Dst)) EXPECT_EQ(P, 0u);
    EXPECT_THROW(Transform(nullptr, &Src, &Plain), EQvError);
    EXPECT_THROW(Transform(&Dst, nullptr, &Plain), EQvError);
}

TEST(Transforms, DrawModesAndNotifications) {
    TSurface32 Src, Dst;
    Src.SetSize(2, 1);
    Src.SetPixel(0, 0, 0x80FF0000u);
    Src.SetPixel(1, 0, 0x12345678u);
    Dst.SetSize(4, 2);
    Dst.SetClipRect(Rect(0, 0, 3, 2));
    std::vector<TRect> Areas;
    Dst.OnAreaChanged = [&](TObject*, const TRect& R, uint32_t) { Areas.push_back(R); };
    TAffineTransformation T;
    T.SetSrcRect(FloatRect(Src.BoundsRect()));
    T.Translate(1, 1);
    // dmBlend with master alpha: one pixel at a time, W = ((M + 1) * a) >> 8.
    Src.SetDrawMode(dmBlend);
    Src.SetMasterAlpha(200);
    Dst.Clear(0xFF0000FFu);
    Transform(&Dst, &Src, &T);
    TColor32 Expected = 0xFF0000FFu;
    BlendIntoMaster(0x80FF0000u, Expected, 200);
    EXPECT_EQ(Dst.GetPixel(1, 1), Expected);
    // Outside the clip nothing changes.
    EXPECT_EQ(Dst.GetPixel(3, 1), 0xFF0000FFu);
    ASSERT_EQ(Areas.size(), 2u);
    EXPECT_EQ(Areas[0], Rect(1, 1, 3, 2));
    EXPECT_EQ(Areas[1], Rect(0, 0, 3, 2));
    // dmTransparent skips the outer colour; dmCustom hands each sample to the callback.
    Src.SetDrawMode(dmTransparent);
    Src.SetOuterColor(0x80FF0000u);
    Dst.Clear(0);
    Transform(&Dst, &Src, &T);
    EXPECT_EQ(Dst.GetPixel(1, 1), 0u);
    EXPECT_EQ(Dst.GetPixel(2, 1), 0x12345678u);
    Src.SetDrawMode(dmCustom);
    int Calls = 0;
    Src.OnPixelCombine = [&](TColor32 F, TColor32& B, TColor32 M) {
        ++Calls;
        B = F ^ M;
    };
    Transform(&Dst, &Src, &T);
    EXPECT_EQ(Calls, 2);
    EXPECT_EQ(Dst.GetPixel(1, 1), 0x80FF0000u ^ 200u);
    // A surface transformed onto itself reads its pixels as they were.
    TSurface32 Self;
    FillPattern(Self, 5, 1);
    const std::vector<TColor32> Before = Pixels(Self);
    TAffineTransformation Shift;
    Shift.SetSrcRect(FloatRect(Self.BoundsRect()));
    Shift.Translate(1, 0);
    Transform(&Self, &Self, &Shift);
    for (int X = 1; X < 5; ++X) EXPECT_EQ(Self.GetPixel(X, 0), Before[X - 1]);
}

TEST(Transforms, RowStepsMatchPixelByPixelSampling) {
    // The linear fast path steps along each row; it must equal sampling every pixel on
    // its own through the transformer.
    TSurface32 Src;
    FillPattern(Src, 23, 17, 5);
    TLinearResampler* L = UseLinear(Src);
    for (int Case = 0; Case < 3; ++Case) {
        if (Case == 2) L->SetPixelAccessMode(pamSafe);
        TAffineTransformation T;
        T.SetSrcRect(FloatRect(Src.BoundsRect()));
        T.Translate(-11.3f, -8.1f);
        T.Rotate(17.0f + 40 * Case);
        T.Scale(1.7f - 0.6f * Case, 1.3f);
        T.Translate(20, 18.5f);
        // Pixels outside the transformed source keep the marker colour.
        const TColor32 Marker = 0x01020304u;
        TSurface32 Dst;
        Dst.SetSize(40, 36);
        Dst.Clear(Marker);
        Transform(&Dst, &Src, &T);
        TTransformer Sampler(L, &T);
        Sampler.PrepareSampling();
        int Drawn = 0;
        for (int Y = 0; Y < 36; ++Y)
            for (int X = 0; X < 40; ++X) {
                const TColor32 P = Dst.GetPixel(X, Y);
                if (P == Marker) continue;
                ASSERT_EQ(P, Sampler.GetSampleInt(X, Y)) << Case << ": " << X << "," << Y;
                ++Drawn;
            }
        EXPECT_GT(Drawn, 200);
    }
}

TEST(Transforms, ScaledGridsMatchPixelByPixelSampling) {
    // Scaling and translation take the row-cached form; it must equal sampling every
    // pixel through the transformer, also at the fading edges and past them.
    TSurface32 Src;
    FillPattern(Src, 31, 19, 3);
    Src.SetClipRect(Rect(2, 1, 29, 19));
    TLinearResampler* L = UseLinear(Src);
    const float Factors[][4] = {{1.5f, 1.5f, 0, 0},   {2.25f, 0.7f, 3.3f, -1.6f}, {0.45f, 3.1f, 1, 2},
                                {-1.5f, 1.2f, 60, 0}, {1, 1, 0.5f, 0.25f},        {3, -2, 4, 40}};
    for (const auto& F : Factors) {
        TAffineTransformation T;
        T.SetSrcRect(FloatRect(Src.BoundsRect()));
        T.Scale(F[0], F[1]);
        T.Translate(F[2], F[3]);
        const TColor32 Marker = 0x01020304u;
        TSurface32 Dst;
        Dst.SetSize(70, 60);
        Dst.Clear(Marker);
        Transform(&Dst, &Src, &T);
        TTransformer Sampler(L, &T);
        Sampler.PrepareSampling();
        int Drawn = 0;
        for (int Y = 0; Y < 60; ++Y)
            for (int X = 0; X < 70; ++X) {
                const TColor32 P = Dst.GetPixel(X, Y);
                if (P == Marker) continue;
                ASSERT_EQ(P, Sampler.GetSampleInt(X, Y)) << F[0] << "x" << F[1] << ": " << X << "," << Y;
                ++Drawn;
            }
        EXPECT_GT(Drawn, 100);
    }
}

TEST(Transforms, GridRowKernelsMatchThePlainForm) {
    // Every vector form of the two row loops against the plain one, on random pixels and
    // every weight.
    std::mt19937 Rng(3);
    std::vector<TColor32> Line(300);
    for (TColor32& P : Line) P = Rng();
    const int Count = 257;
    std::vector<int> I(Count);
    std::vector<uint16_t> Weights(Count * 8);
    for (int N = 0; N < Count; ++N) {
        I[N] = static_cast<int>(Rng() % 299);
        std::fill_n(&Weights[N * 8], 4, static_cast<uint16_t>(N));
        std::fill_n(&Weights[N * 8 + 4], 4, static_cast<uint16_t>(256 - N));
    }
    const TLinearRowKernels& Plain = LinearRowKernelAt(0);
    std::vector<uint16_t> Want(Count * 4), Top(Count * 4), Bottom(Count * 4);
    Plain.MixRow(Line.data(), I.data(), Weights.data(), 0, Count, Want.data());
    for (uint16_t& V : Top) V = static_cast<uint16_t>(Rng() % 256);
    for (uint16_t& V : Bottom) V = static_cast<uint16_t>(Rng() % 256);
    for (int K = 1; K < LinearRowKernelCount(); ++K) {
        const TLinearRowKernels& F = LinearRowKernelAt(K);
        for (int Lo : {0, 1, 3}) {
            std::vector<uint16_t> Got(Count * 4, 0);
            F.MixRow(Line.data(), I.data(), Weights.data(), Lo, Count, Got.data());
            for (int N = Lo * 4; N < Count * 4; ++N) ASSERT_EQ(Got[N], Want[N]) << F.Name << " " << N;
        }
        for (uint32_t Wy = 0; Wy <= 256; ++Wy) {
            std::vector<TColor32> A(Count), B(Count);
            Plain.BlendRows(Top.data(), Bottom.data(), Wy, 1, Count, A.data());
            F.BlendRows(Top.data(), Bottom.data(), Wy, 1, Count, B.data());
            ASSERT_EQ(A, B) << F.Name << " " << Wy;
        }
    }
}

TEST(LinearStretch, BilinearEnlargingKeepsCorners) {
    TSurface32 Src, Dst;
    Src.SetSize(2, 2);
    Src.SetPixel(0, 0, 0xFF000000u);
    Src.SetPixel(1, 0, 0xFF0000FFu);
    Src.SetPixel(0, 1, 0xFF000000u);
    Src.SetPixel(1, 1, 0xFF0000FFu);
    UseLinear(Src);
    Dst.SetSize(4, 4);
    Dst.Draw(Rect(0, 0, 4, 4), Rect(0, 0, 2, 2), &Src);
    // Per axis t = -0.25 (raised to 0), 0.25, 0.75 and 1.25 (lowered to 1, then moved to
    // position 0 with weight 0): weights 256, 192, 64, 0 of the left pixel.
    for (int Y = 0; Y < 4; ++Y) {
        EXPECT_EQ(Dst.GetPixel(0, Y), 0xFF000000u);
        EXPECT_EQ(Dst.GetPixel(1, Y), 0xFF00003Fu);
        EXPECT_EQ(Dst.GetPixel(2, Y), 0xFF0000BFu);
        EXPECT_EQ(Dst.GetPixel(3, Y), 0xFF0000FFu);
    }
    // dmBlend combines each pixel with the one-pixel master-alpha blend.
    Src.Clear(0x80FFFFFFu);
    Src.SetDrawMode(dmBlend);
    Dst.Clear(0xFF000000u);
    Dst.Draw(Rect(0, 0, 4, 4), Rect(0, 0, 2, 2), &Src);
    TColor32 Expected = 0xFF000000u;
    BlendIntoMaster(0x80FFFFFFu, Expected, 255);
    EXPECT_EQ(Dst.GetPixel(2, 2), Expected);
}

TEST(LinearStretch, KernelShrinkingWeights) {
    const TKernelMapping Map = BuildKernelMapping(0, 4, 0, 2, 0, 2, TLinearKernel());
    ASSERT_EQ(Map.size(), 2u);
    auto Pairs = [](const std::vector<TKernelEntry>& E) {
        std::vector<std::pair<int, int>> R;
        for (const TKernelEntry& X : E) R.emplace_back(X.Index, X.Weight);
        return R;
    };
    using P = std::vector<std::pair<int, int>>;
    EXPECT_EQ(Pairs(Map[0]), (P{{0, 32}, {0, 96}, {1, 96}, {2, 32}}));
    EXPECT_EQ(Pairs(Map[1]), (P{{1, 32}, {2, 96}, {3, 96}, {3, 32}}));
    // A one-pixel source maps everything to it.
    EXPECT_EQ(Pairs(BuildKernelMapping(5, 6, 0, 3, 1, 3, TLinearKernel())[1]), (P{{5, 256}}));
    // Enlarging weights sum to 256 by adjusting the middle entry.
    for (const auto& E : BuildKernelMapping(0, 3, 0, 7, 0, 7, TLinearKernel())) {
        int Sum = 0;
        for (const TKernelEntry& X : E) Sum += X.Weight;
        EXPECT_EQ(Sum, 256);
    }
    // Through Draw: channels are (sum >> 16) and 255, truncated.
    TSurface32 Src, Dst;
    Src.SetSize(4, 1);
    Src.Clear(0xFF000000u);
    Src.SetPixel(0, 0, 0xFF000064u);
    UseLinear(Src);
    Dst.SetSize(2, 1);
    Dst.Draw(Rect(0, 0, 2, 1), Rect(0, 0, 4, 1), &Src);
    EXPECT_EQ(Dst.GetPixel(0, 0), 0xFF000032u);
    EXPECT_EQ(Dst.GetPixel(1, 0), 0xFF000000u);
    Src.SetPixel(0, 0, 0xFF000000u);
    Src.SetPixel(1, 0, 0xFF000064u);
    Dst.Draw(Rect(0, 0, 2, 1), Rect(0, 0, 4, 1), &Src);
    EXPECT_EQ(Dst.GetPixel(0, 0), 0xFF000025u);
    EXPECT_EQ(Dst.GetPixel(1, 0), 0xFF00000Cu);
}

TEST(Resamplers, ClassesByNameAndTheirDrawing) {
    TSurface32 S;
    S.SetResamplerClassName(u"TLinearResampler");
    EXPECT_EQ(S.ResamplerClassName(), u"TLinearResampler");
    EXPECT_NE(dynamic_cast<TLinearResampler*>(S.Resampler()), nullptr);
    TSurface32 Copy;
    S.CopyPropertiesTo(&Copy);
    EXPECT_EQ(Copy.ResamplerClassName(), u"TLinearResampler");
    for (const char16_t* Name : {u"TKernelResampler", u"TDraftResampler"}) {
        S.SetResamplerClassName(Name);
        EXPECT_EQ(S.ResamplerClassName(), Name);
    }
    EXPECT_EQ(CreateExtraResampler(u"TNoSuchResampler"), nullptr);
    // The draft resampler averages the pixels a shrunk pixel covers.
    S.SetSize(2, 2);
    S.SetPixel(0, 0, 0xFF000000u);
    S.SetPixel(1, 0, 0xFF0000C8u);
    S.SetPixel(0, 1, 0xFF000064u);
    S.SetPixel(1, 1, 0xFF000064u);
    TSurface32 One;
    One.SetSize(1, 1);
    One.Draw(Rect(0, 0, 1, 1), Rect(0, 0, 2, 2), &S);
    EXPECT_EQ(One.GetPixel(0, 0), 0xFF000064u);
    // A kernel resampler samples the kernel-weighted neighbourhood.
    S.SetResamplerClassName(u"TKernelResampler");
    S.Clear(0xFF123456u);
    S.Resampler()->PrepareSampling();
    EXPECT_EQ(S.Resampler()->GetSampleFixed(Fixed(1), 32768), 0xFF123456u);
}
