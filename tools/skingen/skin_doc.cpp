#include "skin_doc.h"

#include "skin_styles.h"
#include "skin_table.h"

namespace {

const char* KindName(TImageKind K) {
    switch (K) {
        case kButton:
            return "state strip";
        case kFrame:
            return "nine-grid";
        case kIcon:
            return "icon";
        case kBar:
            return "progress bar";
        case kScroll:
            return "scroll bar";
        case kSpin:
            return "spin button";
        case kTab:
            return "tab";
        case kPicture:
            return "picture";
        case kBrand:
            return "picture with the product name";
    }
    return "";
}

const char* SizeSource(unsigned Flags) {
    return (Flags & fDerived) != 0 ? "layout"
           : (Flags & fNamed) != 0 ? "name"
           : (Flags & fRole) != 0  ? "role"
                                   : "list";
}

std::string Size(int W, int H) {
    return std::to_string(W) + " × " + std::to_string(H);
}

const char* Intro = R"(# Built-in skin images

The 207 images of the built-in image list, in their stored order. The pictures are
`src/skin/images/<ResID>.png`, drawn by `tools/skingen` (build `qv_skingen`, run
`qv_skingen src/skin/images --sheet docs/skin-sheet.png --table docs/skin-images.md`);
`order.txt` beside them lists ResID, draw mode and description in stored order for the
resource packer. Any picture may be replaced by hand with one of the same size and layout.
The contact sheet `docs/skin-sheet.png` shows every image at 100 %; its 200 % half is to be
made from the resource manager's DPI variants once the manager exists.

Conventions:

- Strips hold equal frames side by side, or stacked where the layout says so; a frame
  index is the position in the strip. The frame count is set by the control that uses
  the image; the states listed are those the controls pick.
- Draw mode: *opaque* images are stored without an alpha channel and loaded as dmOpaque;
  all others keep their alpha and are dmBlend. Every image uses the nearest resampler.
- Nine-grid images are cut into thirds: their corners and edges stay inside the outer
  thirds and their centres are plain, so they stretch to any size.
- The 58 images the colour scheme greys and tints carry the colour of their nearest
  visible pixel in their fully transparent pixels (alpha 0), so scaling and averaging them
  adds no dark fringe; they are marked *recoloured*.
- "Size from": *list* where the image list fixes the size; *layout* where it was taken from
  the controls and stored layouts that show the image (their sizes, frame counts and
  positions, noted under Use); *name* where the number in the name gives it (`-24`,
  `-30`); *role* for images no stored layout shows, sized like the images of the same
  role. Image buttons take the strip's default of three frames; the spare tab-strip
  button `bi` keeps the button's default of five.

| # | ResID | Size | Layout | Kind | Mode | Size from | Use |
|---|---|---|---|---|---|---|---|
)";

// "3 frames of 35 × 35: normal, hot, pressed" and the like.
std::string LayoutText(int Index) {
    const TSkinImage& I = SkinImages()[Index];
    const int N = I.Frames();
    if (N == 1) return std::string("single (") + StateName(I.States[0]) + ")";
    std::string S = std::to_string(N) + ((I.Flags & fVertical) != 0 ? " stacked frames of " : " frames of ") +
                    Size(I.FrameW(), I.FrameH()) + ":";
    for (int K = 0; K < N; ++K) S += std::string(K == 0 ? " " : ", ") + StateName(I.States[K]);
    return S;
}

}  // namespace

std::string SkinImagesMarkdown() {
    std::string S = Intro;
    const std::vector<TSkinImage>& T = SkinImages();
    for (size_t K = 0; K < T.size(); ++K) {
        const TSkinImage& I = T[K];
        std::string Mode = (I.Flags & fOpaque) != 0 ? "opaque" : "blend";
        if (I.Recoloured()) Mode += ", recoloured";
        std::string Use = I.Use;
        if ((I.Flags & fNav) != 0) Use += " (description \"t1\")";
        S += "| " + std::to_string(K) + " | `" + I.ResID + "` | " + Size(I.W, I.H) + " | " +
             LayoutText(static_cast<int>(K)) + " | " + KindName(I.Kind) + " | " + Mode + " | " +
             SizeSource(I.Flags) + " | " + Use + " |\n";
    }
    return S;
}

std::string SkinImagesOrder() {
    std::string S;
    for (const TSkinImage& I : SkinImages())
        S += std::string(I.ResID) + "\t" + ((I.Flags & fOpaque) != 0 ? "dmOpaque" : "dmBlend") + "\t" +
             ((I.Flags & fNav) != 0 ? "t1" : "") + "\n";
    return S;
}
