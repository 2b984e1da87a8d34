// Reads a screen capture (binary PPM, as ImageMagick's import writes it) and answers the
// end-to-end test's questions about it, one per call:
//   e2e_pixels bbox FILE R G B [L T W H]   the bounding box of the pixels that are not the
//                                     desktop colour R G B (within L T W H), and the share of
//                                     the box they cover in per cent: "L T W H SHARE"
//   e2e_pixels login-button FILE L T W H    where to click the button of the login window
//                                     at L T W H on the screen: "X Y" in the window
//   e2e_pixels caption-point FILE L T W H   a point on the title bar of the window at
//                                     L T W H, away from its text and buttons: "X Y" in it
// Exit status 1 when the answer is not in the picture, 2 on a bad call or file. The finders
// look at shapes, not at colours, so they hold for the plain and the skinned look alike.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

struct TPicture {
    int Width = 0, Height = 0;
    std::vector<unsigned char> Rgb;
    unsigned Pixel(int X, int Y) const {
        const unsigned char* P = &Rgb[(static_cast<size_t>(Y) * Width + X) * 3];
        return (P[0] << 16) | (P[1] << 8) | P[2];
    }
    bool White(int X, int Y) const {
        const unsigned char* P = &Rgb[(static_cast<size_t>(Y) * Width + X) * 3];
        return P[0] >= 250 && P[1] >= 250 && P[2] >= 250;
    }
};

// The next number of a PPM header, past blanks and comments.
bool HeaderNumber(std::istream& In, int& Value) {
    for (;;) {
        const int C = In.peek();
        if (C == '#') {
            std::string Skip;
            std::getline(In, Skip);
        } else if (C == ' ' || C == '\n' || C == '\r' || C == '\t') {
            In.get();
        } else {
            break;
        }
    }
    return static_cast<bool>(In >> Value);
}

bool Load(const char* File, TPicture& P) {
    std::ifstream In(File, std::ios::binary);
    char Magic[2] = {};
    int Max = 0;
    if (!In.read(Magic, 2) || Magic[0] != 'P' || Magic[1] != '6') return false;
    if (!HeaderNumber(In, P.Width) || !HeaderNumber(In, P.Height) || !HeaderNumber(In, Max) || Max != 255)
        return false;
    if (P.Width <= 0 || P.Height <= 0 || P.Width > 16384 || P.Height > 16384) return false;
    In.get();  // the one blank before the samples
    P.Rgb.resize(static_cast<size_t>(P.Width) * P.Height * 3);
    return static_cast<bool>(In.read(reinterpret_cast<char*>(P.Rgb.data()), static_cast<std::streamsize>(P.Rgb.size())));
}

// The part L T W H of a picture (clipped to it).
TPicture Crop(const TPicture& P, int L, int T, int W, int H) {
    TPicture C;
    L = std::clamp(L, 0, P.Width), T = std::clamp(T, 0, P.Height);
    C.Width = std::clamp(W, 0, P.Width - L), C.Height = std::clamp(H, 0, P.Height - T);
    C.Rgb.resize(static_cast<size_t>(C.Width) * C.Height * 3);
    for (int Y = 0; Y < C.Height; ++Y)
        std::memcpy(&C.Rgb[static_cast<size_t>(Y) * C.Width * 3],
                    &P.Rgb[(static_cast<size_t>(T + Y) * P.Width + L) * 3], static_cast<size_t>(C.Width) * 3);
    return C;
}

int Bbox(const TPicture& P, unsigned Desktop, int Dx, int Dy) {
    int L = P.Width, T = P.Height, R = -1, B = -1;
    long Covered = 0;
    for (int Y = 0; Y < P.Height; ++Y)
        for (int X = 0; X < P.Width; ++X)
            if (P.Pixel(X, Y) != Desktop) {
                L = std::min(L, X), T = std::min(T, Y), R = std::max(R, X), B = std::max(B, Y);
                ++Covered;
            }
    if (R < 0) return 1;
    const long Area = static_cast<long>(R - L + 1) * (B - T + 1);
    std::printf("%d %d %d %d %ld\n", L + Dx, T + Dy, R - L + 1, B - T + 1, Covered * 100 / Area);
    return 0;
}

// The login box is the white panel inside the coloured band: the rows above and below its
// contents are one white run between coloured pixels, the same run on every such row. Its
// button is the lowest thing in it, found from the box's bottom up.
int LoginButton(const TPicture& P) {
    std::map<std::pair<int, int>, std::vector<int>> Runs;
    for (int Y = 0; Y < P.Height; ++Y) {
        int X = 0;
        while (X < P.Width) {
            if (!P.White(X, Y)) {
                ++X;
                continue;
            }
            const int A = X;
            while (X < P.Width && P.White(X, Y)) ++X;
            if (A > 0 && X < P.Width && X - A >= 150 && X - A <= 800) Runs[{A, X}].push_back(Y);
        }
    }
    const auto Box = std::max_element(Runs.begin(), Runs.end(),
                                      [](const auto& A, const auto& B) { return A.second.size() < B.second.size(); });
    if (Box == Runs.end() || Box->second.size() < 20) return 1;
    const int Left = Box->first.first, Right = Box->first.second;
    const int Top = Box->second.front(), Bottom = Box->second.back();
    // Off the button's label, a quarter into the box.
    const int Probe = Left + (Right - Left) / 4;
    int Y = Bottom;
    while (Y > Top && P.White(Probe, Y)) --Y;
    const int Lower = Y;
    while (Y > Top && !P.White(Probe, Y)) --Y;
    // A filled button is its own run of colour; an outlined one has white inside its edges.
    if (Lower - Y < 10) {
        while (Y > Top && P.White(Probe, Y)) --Y;
        if (Y <= Top) return 1;
    }
    if (Lower - Y < 10) return 1;
    std::printf("%d %d\n", (Left + Right) / 2, (Y + Lower) / 2);
    return 0;
}

// On the title bar's row the longest run of one colour is bare bar.
int CaptionPoint(const TPicture& P) {
    const int Y = std::min(10, P.Height - 1);
    int Best = 0, BestAt = 0;
    for (int X = 0; X < P.Width;) {
        const int A = X;
        const unsigned C = P.Pixel(X, Y);
        while (X < P.Width && P.Pixel(X, Y) == C) ++X;
        if (X - A > Best) Best = X - A, BestAt = A;
    }
    if (Best < 60) return 1;
    std::printf("%d %d\n", BestAt + Best / 2, Y);
    return 0;
}

}  // namespace

int main(int Argc, char** Argv) {
    if (Argc < 3) {
        std::fprintf(stderr, "usage: e2e_pixels bbox FILE R G B [L T W H] | login-button|caption-point FILE L T W H\n");
        return 2;
    }
    TPicture P;
    if (!Load(Argv[2], P)) {
        std::fprintf(stderr, "e2e_pixels: %s is no binary PPM\n", Argv[2]);
        return 2;
    }
    const std::string What = Argv[1];
    if (What == "bbox" && (Argc == 6 || Argc == 10)) {
        const unsigned Desktop = (std::atoi(Argv[3]) << 16) | (std::atoi(Argv[4]) << 8) | std::atoi(Argv[5]);
        if (Argc == 6) return Bbox(P, Desktop, 0, 0);
        const int L = std::max(0, std::atoi(Argv[6])), T = std::max(0, std::atoi(Argv[7]));
        return Bbox(Crop(P, L, T, std::atoi(Argv[8]), std::atoi(Argv[9])), Desktop, L, T);
    }
    if ((What == "login-button" || What == "caption-point") && Argc == 7) {
        const TPicture W = Crop(P, std::atoi(Argv[3]), std::atoi(Argv[4]), std::atoi(Argv[5]), std::atoi(Argv[6]));
        if (W.Width == 0 || W.Height == 0) return 1;
        return What == "login-button" ? LoginButton(W) : CaptionPoint(W);
    }
    std::fprintf(stderr, "e2e_pixels: unknown question %s\n", Argv[1]);
    return 2;
}
