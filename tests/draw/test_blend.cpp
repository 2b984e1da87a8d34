#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "draw/uQvBlend.h"
#include "draw/uQvColor32.h"

TEST(Color32, ComposesAndConverts) {
    EXPECT_EQ(Color32(0x12, 0x34, 0x56, 0x78), 0x78123456u);
    EXPECT_EQ(ToColor32(clRed), 0xFFFF0000u);
    EXPECT_EQ(ToColor32(0x00332211), 0xFF112233u);
    // System colours resolve first (button face 0xF0F0F0), and the no-colour value
    // reads as opaque white.
    EXPECT_EQ(ToColor32(clBtnFace), 0xFFF0F0F0u);
    EXPECT_EQ(ToColor32(clNone), 0xFFFFFFFFu);
    EXPECT_EQ(FromColor32(0x80112233u), 0x00332211);
    EXPECT_EQ(Intensity(Color32(255, 255, 255)), 255);
    EXPECT_EQ(Intensity(Color32(100, 0, 0)), 23);  // 6100 >> 8
    EXPECT_EQ(Intensity(Color32(0, 100, 0)), 67);  // 17400 >> 8
    EXPECT_EQ(Gray32(0x40, 0x80), 0x80404040u);
}

TEST(Color32, CoverageGammaTable) {
    const uint8_t* G = CoverageGamma();
    for (int I = 0; I <= 5; ++I) EXPECT_EQ(G[I], 0) << I;
    EXPECT_EQ(G[6], 1);
    EXPECT_EQ(G[64], 28);
    EXPECT_EQ(G[127], 84);
    EXPECT_EQ(G[128], 85);
    EXPECT_EQ(G[192], 162);
    EXPECT_EQ(G[255], 255);
    for (int I = 1; I < 256; ++I) EXPECT_LE(G[I - 1], G[I]) << I;
}

TEST(BlendFormulas, WeightedMixRoundsAndNeverReachesTheForegroundAtFullWeight) {
    EXPECT_EQ(WeightedMix(0x12345678u, 0x9ABCDEF0u, 0), 0x9ABCDEF0u);
    EXPECT_EQ(WeightedMix(0x00000000u, 0xFFFFFFFFu, 255), 0x01010101u);
    // (200*128 + 100*128 + 128) >> 8 = 150: the half is dropped, not rounded up.
    EXPECT_EQ(WeightedMix(0xC8C8C8C8u, 0x64646464u, 128), 0x96969696u);
    // Each channel separately: alpha 0 -> 255 at W = 1 gives (255*255 + 128) >> 8 = 254.
    EXPECT_EQ(WeightedMix(0x00000000u, 0xFF000000u, 1), 0xFE000000u);
}

TEST(BlendFormulas, OverBlend) {
    // Opaque white over opaque black stays one short of white.
    EXPECT_EQ(OverBlend(0xFFFFFFFFu, 0xFF000000u), 0xFFFEFEFEu);
    EXPECT_EQ(OverBlend(0x00FFFFFFu, 0x12345678u), 0x12345678u);
    // a = 128, red 200 over opaque red 100: 100 + 100 - 50 = 150; alpha 128 + 255 - 128.
    EXPECT_EQ(OverBlend(0x80C80000u, 0xFF640000u), 0xFF960000u);
    // Alpha sums past 255 clamp.
    EXPECT_EQ(OverBlend(0xFF000000u, 0xFF000000u) >> 24, 255u);
}

TEST(BlendFormulas, PerPixelFormsAndTheirShortcuts) {
    TColor32 P = 0xFF000000u;
    BlendInto(0xFFFFFFFFu, P);  // a = 255 copies
    EXPECT_EQ(P, 0xFFFFFFFFu);
    P = 0x11223344u;
    BlendInto(0x00FFFFFFu, P);
    EXPECT_EQ(P, 0x11223344u);
    P = 0xFF000000u;
    CombineInto(0x00FFFFFFu, P, 255);  // the weight decides, not the colour's alpha
    EXPECT_EQ(P, 0x00FFFFFFu);

    // The per-pixel and the run forms of the master-alpha blend weigh differently.
    EXPECT_EQ(PixelMasterWeight(200, 1), 1u);
    EXPECT_EQ(LineMasterWeight(200, 1), 0u);
    EXPECT_EQ(PixelMasterWeight(77, 255), 77u);
    EXPECT_EQ(LineMasterWeight(77, 255), 77u);
    TColor32 A = 0xFF000000u, B = 0xFF000000u;
    BlendIntoMaster(0xC8FFFFFFu, A, 1);
    LineBlendMaster(0xC8FFFFFFu, B, 1);
    EXPECT_EQ(A, WeightedMix(0xC8FFFFFFu, 0xFF000000u, 1));
    EXPECT_EQ(B, 0xFF000000u);
    // No copy shortcut at full weight: the mix applies.
    A = 0xFF000000u;
    BlendIntoMaster(0xFFFFFFFFu, A, 255);
    EXPECT_EQ(A, 0xFFFEFEFEu);
}

TEST(BlendFormulas, MergeOverSpecialCasesAndMean) {
    EXPECT_EQ(MergeOver(0x00FFFFFFu, 0x80102030u), 0x80102030u);
    EXPECT_EQ(MergeOver(0x80FFFFFFu, 0xFF000000u), WeightedMix(0x80FFFFFFu, 0xFF000000u, 128) | 0xFF000000u);
    // Both opaque still takes the mix (one short of the source).
    EXPECT_EQ(MergeOver(0xFFFFFFFFu, 0xFF000000u), 0xFFFEFEFEu);
    EXPECT_EQ(MergeOver(0xFF123456u, 0x80FFFFFFu), 0xFF123456u);
    EXPECT_EQ(MergeOver(0x40123456u, 0x00FFFFFFu), 0x40123456u);
    // a = Ba = 128: alpha 128 + 128 - round(64.25) = 192; red weight round(128*255/192)
    // = 170 of 255.
    EXPECT_EQ(MergeOver(0x80FF0000u, 0x80000000u), 0xC0AA0000u);
    // Equal colours stay that colour at every pair of alphas, and the alpha follows
    // a + Ba - round(a*Ba/255).
    for (uint32_t A = 1; A < 255; ++A)
        for (uint32_t Ba = 1; Ba < 255; ++Ba) {
            const TColor32 R = MergeOver((A << 24) | 0x00FF8001u, (Ba << 24) | 0x00FF8001u);
            ASSERT_EQ(R & 0xFFFFFFu, 0x00FF8001u) << A << " " << Ba;
            ASSERT_EQ(R >> 24, A + Ba - (A * Ba + 127) / 255) << A << " " << Ba;
        }
    // Master alpha scales the source alpha first: round(200 * 128 / 255) = 100.
    EXPECT_EQ(MergeOverMaster(0xC8FFFFFFu, 0xFF000000u, 128),
              WeightedMix(0x64FFFFFFu, 0xFF000000u, 100) | 0xFF000000u);
}

namespace {

// Every (a, Fc, Bc) combination, three per pixel, and every (a, Ba) pair. With RunShift
// 0 the alpha changes from one pixel to the next; with longer runs whole vector blocks
// share one alpha, which takes the vector forms' shortcuts for transparent and opaque
// blocks.
void AllCombinations(std::vector<TColor32>& Src, std::vector<TColor32>& Dst, int RunShift = 0) {
    const uint32_t Run = 1u << RunShift;
    const uint32_t Groups = ((65536 + 2) / 3 + Run - 1) / Run * Run;
    Src.resize(size_t{Groups} * 256);
    Dst.resize(Src.size());
    for (uint32_t Q = 0; Q < Src.size(); ++Q) {
        const uint32_t A = (Q >> RunShift) & 255;
        const uint32_t G = (Q & (Run - 1)) | ((Q >> (8 + RunShift)) << RunShift);
        TColor32 S = A << 24, D = (G & 255) << 24;
        for (uint32_t Ch = 0; Ch < 3; ++Ch) {
            const uint32_t K = (3 * G + Ch) & 0xFFFF;
            S |= (K >> 8) << (8 * Ch);
            D |= (K & 255) << (8 * Ch);
        }
        Src[Q] = S;
        Dst[Q] = D;
    }
}

void ExpectSame(const std::vector<TColor32>& Want, const std::vector<TColor32>& Got,
                const std::vector<TColor32>& Src, const std::vector<TColor32>& Dst, const char* Form) {
    if (std::memcmp(Want.data(), Got.data(), Want.size() * 4) == 0) return;
    for (size_t I = 0; I < Want.size(); ++I)
        if (Want[I] != Got[I]) {
            ADD_FAILURE() << Form << ": pixel " << I << " F=" << std::hex << Src[I] << " B=" << Dst[I]
                          << " want " << Want[I] << " got " << Got[I];
            return;
        }
}

}  // namespace

TEST(BlendKernels, ThePlainFormIsFirstAndTheChosenOneIsTheLast) {
    ASSERT_GE(BlendKernelCount(), 1);
    EXPECT_STREQ(BlendKernelAt(0).Name, "plain");
    EXPECT_EQ(&BlendKernels(), &BlendKernelAt(BlendKernelCount() - 1));
}

TEST(BlendKernels, OverBlendLineEqualsTheFormulaOnEveryInput) {
    for (int RunShift : {0, 4}) {
        std::vector<TColor32> Src, Dst;
        AllCombinations(Src, Dst, RunShift);
        std::vector<TColor32> Want(Dst.size());
        for (size_t I = 0; I < Dst.size(); ++I) Want[I] = OverBlend(Src[I], Dst[I]);
        for (int K = 0; K < BlendKernelCount(); ++K) {
            std::vector<TColor32> Got = Dst;
            BlendKernelAt(K).OverBlendLine(Src.data(), Got.data(), static_cast<int>(Got.size()));
            ExpectSame(Want, Got, Src, Dst, BlendKernelAt(K).Name);
        }
    }
}

TEST(BlendKernels, MasterBlendLineEqualsTheFormulaOnEveryInput) {
    std::vector<TColor32> Src, Dst;
    AllCombinations(Src, Dst);
    for (uint32_t M : {1u, 128u, 254u}) {
        std::vector<TColor32> Want = Dst;
        for (size_t I = 0; I < Dst.size(); ++I) LineBlendMaster(Src[I], Want[I], M);
        for (int K = 0; K < BlendKernelCount(); ++K) {
            std::vector<TColor32> Got = Dst;
            BlendKernelAt(K).MasterBlendLine(Src.data(), Got.data(), static_cast<int>(Got.size()), M);
            ExpectSame(Want, Got, Src, Dst, BlendKernelAt(K).Name);
        }
    }
    // Every (a, M) pair, which fixes the weight, over a spread of channel values.
    std::vector<TColor32> S(256 * 64), D(S.size());
    for (uint32_t Q = 0; Q < S.size(); ++Q) {
        S[Q] = ((Q & 255) << 24) | ((Q * 2654435761u) & 0xFFFFFFu);
        D[Q] = (Q * 40503u) * 2246822519u;
    }
    for (uint32_t M = 0; M < 256; ++M) {
        std::vector<TColor32> Want = D;
        for (size_t I = 0; I < D.size(); ++I) LineBlendMaster(S[I], Want[I], M);
        for (int K = 0; K < BlendKernelCount(); ++K) {
            std::vector<TColor32> Got = D;
            BlendKernelAt(K).MasterBlendLine(S.data(), Got.data(), static_cast<int>(Got.size()), M);
            ExpectSame(Want, Got, S, D, BlendKernelAt(K).Name);
        }
    }
}

TEST(BlendKernels, CombineLineEqualsTheFormulaOnEveryInput) {
    // Destination runs of every channel value, 37 pixels long so that the vector forms
    // also take their tails.
    std::vector<TColor32> Base(256 + 37);
    for (uint32_t I = 0; I < Base.size(); ++I) {
        const uint32_t B = I & 255;
        Base[I] = (B << 24) | (((B + 85) & 255) << 16) | (((B + 170) & 255) << 8) | ((B * 7) & 255);
    }
    std::vector<TColor32> Want(Base.size()), Got(Base.size());
    for (uint32_t W = 0; W < 256; ++W)
        for (uint32_t F = 0; F < 256; ++F) {
            const TColor32 C = (F << 24) | ((F ^ 0x5Au) << 16) | ((255 - F) << 8) | ((F * 3) & 255);
            for (size_t I = 0; I < Base.size(); ++I) {
                Want[I] = Base[I];
                CombineInto(C, Want[I], W);
            }
            for (int K = 0; K < BlendKernelCount(); ++K) {
                Got = Base;
                BlendKernelAt(K).CombineLine(C, Got.data(), static_cast<int>(Got.size()), W);
                if (Got != Want) {
                    ExpectSame(Want, Got, std::vector<TColor32>(Base.size(), C), Base, BlendKernelAt(K).Name);
                    return;
                }
            }
        }
}
