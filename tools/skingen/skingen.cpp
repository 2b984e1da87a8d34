// Draws the built-in skin images with the drawing layer and writes one PNG per ResID,
// the order file for the resource packer, and optionally the contact sheet and the image
// table. With --check it draws into a fresh temporary folder and reads everything back.
//
// Usage: qv_skingen <images-folder> [--sheet <file.png>] [--table <file.md>]
//        qv_skingen --check
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/uQvFontConfig.h"
#include "platform/uQvPng.h"
#include "skin_doc.h"
#include "skin_kinds.h"
#include "skin_paint.h"
#include "skin_sheet.h"
#include "skin_table.h"

namespace fs = std::filesystem;

namespace {

void WriteText(const fs::path& File, const std::string& Text) {
    std::ofstream Out(File, std::ios::binary);
    Out << Text;
    if (!Out) throw std::runtime_error("cannot write " + File.string());
}

std::vector<std::unique_ptr<TSurface32>> DrawAll() {
    std::vector<std::unique_ptr<TSurface32>> Drawn;
    for (const TSkinImage& I : SkinImages()) Drawn.push_back(DrawSkinImage(I));
    return Drawn;
}

void WriteImages(const fs::path& Folder, const std::vector<std::unique_ptr<TSurface32>>& Drawn) {
    fs::create_directories(Folder);
    const std::vector<TSkinImage>& T = SkinImages();
    for (size_t K = 0; K < T.size(); ++K)
        SaveSurfacePng(*Drawn[K], (Folder / ImageFileName(T[K])).string(), (T[K].Flags & fOpaque) != 0);
    WriteText(Folder / "order.txt", SkinImagesOrder());
}

// The share of pixels, in thousandths, that differ visibly between two frames of a strip
// (a channel of the colour over a mid grey differs by more than 12).
int FrameDifference(const TSurface32& S, const TSkinImage& I, int A, int B) {
    const bool V = (I.Flags & fVertical) != 0;
    const int Fw = I.FrameW(), Fh = I.FrameH();
    auto OverGrey = [](TColor32 C, int Shift) {
        const int Alpha = AlphaComponent(C);
        return (static_cast<int>((C >> Shift) & 0xFF) * Alpha + 128 * (255 - Alpha)) / 255;
    };
    int Differ = 0;
    for (int Y = 0; Y < Fh; ++Y)
        for (int X = 0; X < Fw; ++X) {
            const TColor32 P = *S.PixelPtr(V ? X : A * Fw + X, V ? A * Fh + Y : Y);
            const TColor32 Q = *S.PixelPtr(V ? X : B * Fw + X, V ? B * Fh + Y : Y);
            for (int Shift : {0, 8, 16})
                if (std::abs(OverGrey(P, Shift) - OverGrey(Q, Shift)) > 12) {
                    ++Differ;
                    break;
                }
        }
    return Differ * 1000 / (Fw * Fh);
}

// Checks the table (207 images, the 58 recoloured ones among them) and that the frames of
// every strip differ visibly, then reads every written picture back: the count, each
// size, and alpha exactly where the draw mode asks for it.
int Check() {
    int Failures = 0;
    const auto Drawn = DrawAll();
    for (size_t K = 0; K < SkinImages().size(); ++K) {
        const TSkinImage& I = SkinImages()[K];
        for (int A = 0; A < I.Frames(); ++A)
            for (int B = A + 1; B < I.Frames(); ++B)
                if (FrameDifference(*Drawn[K], I, A, B) < 10) {
                    std::fprintf(stderr, "%s: frames %d and %d look alike\n", I.ResID, A, B);
                    ++Failures;
                }
    }
    std::string Pattern = (fs::temp_directory_path() / "qv-skingen-XXXXXX").string();
    if (mkdtemp(Pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
    const fs::path Folder = Pattern;
    WriteImages(Folder, Drawn);
    int Pictures = 0;
    for (const std::string& Name : RecolouredImages()) {
        bool Found = false;
        for (const TSkinImage& I : SkinImages()) Found = Found || (Name == I.ResID && I.Recoloured());
        if (!Found) {
            std::fprintf(stderr, "recoloured image %s is not in the table\n", Name.c_str());
            ++Failures;
        }
    }
    if (RecolouredImages().size() != 58 || SkinImages().size() != 207) {
        std::fprintf(stderr, "%zu images, %zu recoloured\n", SkinImages().size(), RecolouredImages().size());
        ++Failures;
    }
    for (const auto& Entry : fs::directory_iterator(Folder)) Pictures += Entry.path().extension() == ".png";
    if (Pictures != 207) {
        std::fprintf(stderr, "%d pictures written, 207 expected\n", Pictures);
        ++Failures;
    }
    for (const TSkinImage& I : SkinImages()) {
        std::ifstream In(Folder / ImageFileName(I), std::ios::binary);
        const std::vector<uint8_t> Bytes((std::istreambuf_iterator<char>(In)),
                                         std::istreambuf_iterator<char>());
        const TQvPicture P = DecodePng(Bytes.data(), Bytes.size());
        const bool WantAlpha = (I.Flags & fOpaque) == 0;
        if (P.Width != I.W || P.Height != I.H || (P.Png.ColorType == 6) != WantAlpha) {
            std::fprintf(stderr, "%s: %d x %d, colour type %d\n", I.ResID, P.Width, P.Height,
                         P.Png.ColorType);
            ++Failures;
        }
    }
    fs::remove_all(Folder);
    if (Failures == 0) std::printf("207 images checked\n");
    return Failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (!UseQvPinnedFonts())
            std::fprintf(stderr, "warning: packaged fonts missing, using the machine's\n");
        RegisterSkinPrograms();
        if (argc == 2 && std::string(argv[1]) == "--check") return Check();
        if (argc < 2 || argc % 2 != 0) {
            std::fprintf(stderr,
                         "usage: qv_skingen <images-folder> [--sheet <file.png>] [--table <file.md>]\n"
                         "       qv_skingen --check\n");
            return 2;
        }
        const auto Drawn = DrawAll();
        WriteImages(argv[1], Drawn);
        for (int A = 2; A + 1 < argc; A += 2) {
            const std::string Option = argv[A];
            if (Option == "--sheet") {
                const auto Sheet = MakeContactSheet(Drawn);
                SaveSurfacePng(*Sheet, argv[A + 1], true);
            } else if (Option == "--table") {
                WriteText(argv[A + 1], SkinImagesMarkdown());
            } else {
                std::fprintf(stderr, "unknown option %s\n", argv[A]);
                return 2;
            }
        }
        return 0;
    } catch (const std::exception& E) {
        std::fprintf(stderr, "qv_skingen: %s\n", E.what());
        return 1;
    }
}
