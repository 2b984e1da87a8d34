#pragma once
// The table of the built-in skin images, in their stored order: size, frames, the kind of
// drawing, the style that colours each state, and the shape programs (skin_glyph.h).

#include <string>
#include <vector>

enum TImageKind {
    kButton,   // state strips of push buttons, glyph buttons, marks and switches
    kFrame,    // nine-grid frames: their corners and edges sit within the thirds
    kIcon,     // line icons on a 24-unit grid scaled to the image
    kBar,      // progress bar tracks and fills
    kScroll,   // scroll bar tracks, thumbs and arrows
    kSpin,     // spin edit buttons
    kTab,      // tab backgrounds
    kPicture,  // pictures drawn from their program (backgrounds, avatar, illustrations)
    kBrand,    // the product's name and mark (splash, title-bar logo), drawn with text
};

enum TImageFlag : unsigned {
    fVertical = 1,  // frames stacked top to bottom
    fOpaque = 2,    // drawn with dmOpaque: every pixel opaque, stored without alpha
    fNav = 4,       // a navigation icon: Description "t1"
    fDerived = 8,   // size not given by the image list, derived from where it is used
    fNamed = 16,    // size not given by the image list, read from the number in the name
    fRole = 32,     // shown by no stored layout: size chosen for the role its name gives
};

struct TSkinImage {
    const char* ResID;
    int W;
    int H;
    const char* States;  // one state letter per frame (skin_styles.h)
    TImageKind Kind;
    const char* Style;
    const char* Plate;  // program in frame pixels, drawn first
    const char* Glyph;  // program in the glyph box (the frame when Box is 0)
    int Box;            // side of the glyph box, centred in the frame; 0: the frame
    int Grid;           // design units across the box; 0: pixels (icons: 24)
    float Stroke;       // base stroke in pixels; 0: the kind's default
    unsigned Flags;
    const char* Use;

    int Frames() const;
    int FrameW() const;
    int FrameH() const;
    bool Recoloured() const;
};

// All 207 images in stored order.
const std::vector<TSkinImage>& SkinImages();

// The images the skin scheme greys and tints, in the scheme's order.
const std::vector<std::string>& RecolouredImages();

// The file an image is stored in: its ResID followed by ".png".
std::string ImageFileName(const TSkinImage& Image);
