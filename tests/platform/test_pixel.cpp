#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/uQvPixel.h"

TEST(PixelDivisions, EveryByteRoundsAsStated) {
    for (uint32_t X = 0; X < 256; ++X)
        for (uint32_t Y = 0; Y < 256; ++Y) {
            // Nearest: |255 R - X Y| < 127.5; down: 255 R <= X Y < 255 (R + 1).
            const int64_t Near = MulDiv255(X, Y), Down = MulDiv255Down(X, Y), P = X * Y;
            ASSERT_LE(std::llabs(255 * Near - P) * 2, 255) << X << " " << Y;
            ASSERT_TRUE(255 * Down <= P && P < 255 * (Down + 1)) << X << " " << Y;
            for (uint32_t A : {0u, 1u, 128u, 254u, 255u}) {
                const int64_t Mix = MixDiv255(X, Y, A), T = X * A + Y * (255 - A);
                ASSERT_LE(std::llabs(255 * Mix - T) * 2, 255) << X << " " << Y << " " << A;
            }
        }
    // A share out of 255, halves to even: 1 of 2 is 127.5, so 128; 3 of 6 likewise.
    EXPECT_EQ(ScaleTo255(1, 2), 128u);
    EXPECT_EQ(ScaleTo255(1, 10), 26u);  // 25.5
    EXPECT_EQ(ScaleTo255(7, 7), 255u);
}

TEST(PixelDivisions, PremultiplyAndBack) {
    EXPECT_EQ(Premultiply(0x80FF8000u), 0x80804000u);
    EXPECT_EQ(Premultiply(0x00FFFFFFu), 0u);
    EXPECT_EQ(Unpremultiply(0x00123456u), 0u);
    EXPECT_EQ(Unpremultiply(0x40FF4020u), 0x40FFFF80u);  // colours above alpha are held at it
    // Every premultiplied colour byte comes back to itself through straight alpha.
    for (uint32_t A = 1; A < 256; ++A)
        for (uint32_t C = 0; C <= A; ++C) {
            const uint32_t P = A << 24 | C << 16 | (A - C) << 8 | C / 2;
            ASSERT_EQ(Premultiply(Unpremultiply(P)), P) << std::hex << P;
        }
}

TEST(PixelDivisions, IntensityAndThePlatformBlends) {
    EXPECT_EQ(Intensity(0xFFFFFFFFu), 255);
    EXPECT_EQ(Intensity(0xFF640000u), 23);  // 6100 >> 8
    EXPECT_EQ(Intensity(0x00006400u), 67);  // 17400 >> 8, alpha ignored
    EXPECT_EQ(ConstantBlend(0xFF804020u, 0x00102030u, 128),
              MixDiv255(0xFF, 0, 128) << 24 | MixDiv255(0x80, 0x10, 128) << 16 |
                  MixDiv255(0x40, 0x20, 128) << 8 | MixDiv255(0x20, 0x30, 128));
    // Half-transparent premultiplied white over opaque black, and sums held at 255.
    EXPECT_EQ(PremultipliedBlend(0x80808080u, 0xFF000000u, 255), 0xFF808080u);
    EXPECT_EQ(PremultipliedBlend(0x80FFFFFFu, 0xFFFFFFFFu, 255), 0xFFFFFFFFu);
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
    uint32_t P = 0xFF000000u;
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
    uint32_t A = 0xFF000000u, B = 0xFF000000u;
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
            const uint32_t R = MergeOver((A << 24) | 0x00FF8001u, (Ba << 24) | 0x00FF8001u);
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
void AllCombinations(std::vector<uint32_t>& Src, std::vector<uint32_t>& Dst, int RunShift = 0) {
    const uint32_t Run = 1u << RunShift;
    const uint32_t Groups = ((65536 + 2) / 3 + Run - 1) / Run * Run;
    Src.resize(size_t{Groups} * 256);
    Dst.resize(Src.size());
    for (uint32_t Q = 0; Q < Src.size(); ++Q) {
        const uint32_t A = (Q >> RunShift) & 255;
        const uint32_t G = (Q & (Run - 1)) | ((Q >> (8 + RunShift)) << RunShift);
        uint32_t S = A << 24, D = (G & 255) << 24;
        for (uint32_t Ch = 0; Ch < 3; ++Ch) {
            const uint32_t K = (3 * G + Ch) & 0xFFFF;
            S |= (K >> 8) << (8 * Ch);
            D |= (K & 255) << (8 * Ch);
        }
        Src[Q] = S;
        Dst[Q] = D;
    }
}

void ExpectSame(const std::vector<uint32_t>& Want, const std::vector<uint32_t>& Got,
                const std::vector<uint32_t>& Src, const std::vector<uint32_t>& Dst, const char* Form) {
    if (std::memcmp(Want.data(), Got.data(), Want.size() * 4) == 0) return;
    for (size_t I = 0; I < Want.size(); ++I)
        if (Want[I] != Got[I]) {
            ADD_FAILURE() << Form << ": pixel " << I << " F=" << std::hex << Src[I] << " B=" << Dst[I]
                          << " want " << Want[I] << " got " << Got[I];
            return;
        }
}

}  // namespace

TEST(PixelKernels, ThePlainFormIsFirstAndTheChosenOneIsTheLast) {
    ASSERT_GE(PixelKernelCount(), 1);
    EXPECT_STREQ(PixelKernelAt(0).Name, "plain");
    EXPECT_EQ(&PixelKernels(), &PixelKernelAt(PixelKernelCount() - 1));
}

TEST(PixelKernels, OverBlendLineEqualsTheFormulaOnEveryInput) {
    for (int RunShift : {0, 4}) {
        std::vector<uint32_t> Src, Dst;
        AllCombinations(Src, Dst, RunShift);
        std::vector<uint32_t> Want(Dst.size());
        for (size_t I = 0; I < Dst.size(); ++I) Want[I] = OverBlend(Src[I], Dst[I]);
        for (int K = 0; K < PixelKernelCount(); ++K) {
            std::vector<uint32_t> Got = Dst;
            PixelKernelAt(K).OverBlendLine(Src.data(), Got.data(), static_cast<int>(Got.size()));
            ExpectSame(Want, Got, Src, Dst, PixelKernelAt(K).Name);
        }
    }
}

TEST(PixelKernels, MasterBlendLineEqualsTheFormulaOnEveryInput) {
    std::vector<uint32_t> Src, Dst;
    AllCombinations(Src, Dst);
    for (uint32_t M : {1u, 128u, 254u}) {
        std::vector<uint32_t> Want = Dst;
        for (size_t I = 0; I < Dst.size(); ++I) LineBlendMaster(Src[I], Want[I], M);
        for (int K = 0; K < PixelKernelCount(); ++K) {
            std::vector<uint32_t> Got = Dst;
            PixelKernelAt(K).MasterBlendLine(Src.data(), Got.data(), static_cast<int>(Got.size()), M);
            ExpectSame(Want, Got, Src, Dst, PixelKernelAt(K).Name);
        }
    }
    // Every (a, M) pair, which fixes the weight, over a spread of channel values.
    std::vector<uint32_t> S(256 * 64), D(S.size());
    for (uint32_t Q = 0; Q < S.size(); ++Q) {
        S[Q] = ((Q & 255) << 24) | ((Q * 2654435761u) & 0xFFFFFFu);
        D[Q] = (Q * 40503u) * 2246822519u;
    }
    for (uint32_t M = 0; M < 256; ++M) {
        std::vector<uint32_t> Want = D;
        for (size_t I = 0; I < D.size(); ++I) LineBlendMaster(S[I], Want[I], M);
        for (int K = 0; K < PixelKernelCount(); ++K) {
            std::vector<uint32_t> Got = D;
            PixelKernelAt(K).MasterBlendLine(S.data(), Got.data(), static_cast<int>(Got.size()), M);
            ExpectSame(Want, Got, S, D, PixelKernelAt(K).Name);
        }
    }
}

TEST(PixelKernels, CombineLineEqualsTheFormulaOnEveryInput) {
    // Destination runs of every channel value, 37 pixels long so that the vector forms
    // also take their tails.
    std::vector<uint32_t> Base(256 + 37);
    for (uint32_t I = 0; I < Base.size(); ++I) {
        const uint32_t B = I & 255;
        Base[I] = (B << 24) | (((B + 85) & 255) << 16) | (((B + 170) & 255) << 8) | ((B * 7) & 255);
    }
    std::vector<uint32_t> Want(Base.size()), Got(Base.size());
    for (uint32_t W = 0; W < 256; ++W)
        for (uint32_t F = 0; F < 256; ++F) {
            const uint32_t C = (F << 24) | ((F ^ 0x5Au) << 16) | ((255 - F) << 8) | ((F * 3) & 255);
            for (size_t I = 0; I < Base.size(); ++I) {
                Want[I] = Base[I];
                CombineInto(C, Want[I], W);
            }
            for (int K = 0; K < PixelKernelCount(); ++K) {
                Got = Base;
                PixelKernelAt(K).CombineLine(C, Got.data(), static_cast<int>(Got.size()), W);
                if (Got != Want) {
                    ExpectSame(Want, Got, std::vector<uint32_t>(Base.size(), C), Base, PixelKernelAt(K).Name);
                    return;
                }
            }
        }
}

namespace {

// Runs every kernel form on copies of Dst and compares it with the plain form.
template <typename F>
void ExpectFormsAgree(const std::vector<uint32_t>& Src, const std::vector<uint32_t>& Dst, F&& Run) {
    std::vector<uint32_t> Want = Dst;
    Run(PixelKernelAt(0), Want);
    for (int K = 1; K < PixelKernelCount(); ++K) {
        std::vector<uint32_t> Got = Dst;
        Run(PixelKernelAt(K), Got);
        ExpectSame(Want, Got, Src, Dst, PixelKernelAt(K).Name);
    }
}

}  // namespace

TEST(PixelKernels, ThePlatformLinesEqualThePlainFormsOnEveryInput) {
    // The plain forms are the pixel formulas.
    uint32_t P = 0x11223344u;
    PixelKernelAt(0).ConstantBlendLine(&P, &P, 1, 77, TLineBlendOptions{});
    EXPECT_EQ(P, ConstantBlend(0x11223344u, 0x11223344u, 77));
    P = 0x80FF8000u;
    PixelKernelAt(0).PremultiplyLine(&P, &P, 1);
    EXPECT_EQ(P, Premultiply(0x80FF8000u));

    // Constant alpha: every (s, d) byte pair in four channels, at every alpha; keyed runs
    // (every fifth source pixel of the key's colour) forced opaque, as the screen uses them.
    std::vector<uint32_t> S(16384 + 7), D(S.size());
    for (uint32_t Q = 0; Q < S.size(); ++Q) {
        const uint32_t K = 4 * Q;
        S[Q] = (K >> 8 & 255) << 24 | ((K + 1) >> 8 & 255) << 16 | ((K + 2) >> 8 & 255) << 8 |
               ((K + 3) >> 8 & 255);
        D[Q] = (K & 255) << 24 | ((K + 1) & 255) << 16 | ((K + 2) & 255) << 8 | ((K + 3) & 255);
    }
    std::vector<uint32_t> Keyed = S;
    for (size_t Q = 0; Q < Keyed.size(); Q += 5) Keyed[Q] = (Keyed[Q] & 0xFF000000u) | 0x00A6A6A6u;
    const TLineBlendOptions Screen{0x00A6A6A6u, 0xFF000000u};
    for (uint32_t A = 0; A < 256; ++A) {
        ExpectFormsAgree(S, D, [&](const TPixelKernels& F, std::vector<uint32_t>& Out) {
            F.ConstantBlendLine(S.data(), Out.data(), static_cast<int>(Out.size()), A, TLineBlendOptions{});
        });
        if (A % 51 != 0) continue;
        ExpectFormsAgree(Keyed, D, [&](const TPixelKernels& F, std::vector<uint32_t>& Out) {
            F.ConstantBlendLine(Keyed.data(), Out.data(), static_cast<int>(Out.size()), A, Screen);
        });
        ExpectFormsAgree(Keyed, D, [&](const TPixelKernels& F, std::vector<uint32_t>& Out) {
            F.PremultipliedBlendLine(Keyed.data(), Out.data(), static_cast<int>(Out.size()), A, Screen);
        });
    }

    // Premultiplied source: every (source alpha, s, d) at some constant alphas, and every
    // (source alpha, constant alpha) pair over a spread of channel values.
    std::vector<uint32_t> Src, Dst;
    AllCombinations(Src, Dst);
    for (uint32_t K : {0u, 1u, 128u, 254u, 255u})
        ExpectFormsAgree(Src, Dst, [&](const TPixelKernels& F, std::vector<uint32_t>& Out) {
            F.PremultipliedBlendLine(Src.data(), Out.data(), static_cast<int>(Out.size()), K,
                                     TLineBlendOptions{});
        });
    std::vector<uint32_t> Spread(256 * 64 + 3), Under(Spread.size());
    for (uint32_t Q = 0; Q < Spread.size(); ++Q) {
        Spread[Q] = ((Q & 255) << 24) | ((Q * 2654435761u) & 0xFFFFFFu);
        Under[Q] = (Q * 40503u) * 2246822519u;
    }
    for (uint32_t K = 0; K < 256; ++K)
        ExpectFormsAgree(Spread, Under, [&](const TPixelKernels& F, std::vector<uint32_t>& Out) {
            F.PremultipliedBlendLine(Spread.data(), Out.data(), static_cast<int>(Out.size()), K,
                                     TLineBlendOptions{});
        });

    // Premultiplying: every (c, a), runs of one alpha so that whole vectors are opaque.
    std::vector<uint32_t> Straight;
    for (uint32_t A = 0; A < 256; ++A)
        for (uint32_t C = 0; C < 256; C += 3)
            Straight.push_back(A << 24 | C << 16 | (C + 1) % 256 << 8 | (C + 2) % 256);
    ExpectFormsAgree(Straight, Straight, [&](const TPixelKernels& F, std::vector<uint32_t>& Out) {
        F.PremultiplyLine(Straight.data(), Out.data(), static_cast<int>(Out.size()));
    });
}
