#pragma once
// Cutting skin images into frames and parts, and stretching three-part images.
//
// Frames and parts are cut with the eight-pass copy: a transform that translates the
// part to the origin, run eight times into the same fresh destination. Opaque sources
// repeat a copy; blended sources blend again on every pass, so translucent pixels build
// up towards the source's colour and alpha instead of being halved by one blend onto
// transparent black. Stored skins rely on exactly these values.

#include "draw/uPelluxImage.h"

// The eight-pass copy of SrcRect of Src into Dst with SrcRect's top-left at Dst's (0, 0);
// Dst is sized and filled by the caller. With Src's nearest resampler (safe or unchecked
// reads, the resampler of every skin image) each pixel's eight passes are worked out
// directly from its own value and the destination pixel; other resamplers and modes run
// the transform eight times. Both give the same pixels.
void CutFrame(TCustomSurface32* Src, const TRect& SrcRect, TCustomSurface32* Dst);
// The same by eight plain transforms, always (the reference CutFrame is checked against).
void CutFrameByTransform(TCustomSurface32* Src, const TRect& SrcRect, TCustomSurface32* Dst);

// Count frames side by side, each (W div Count) x H with Image's draw properties, frame k
// from x = k * (W div Count); columns past the last frame are unused. An empty array for
// a nil Image or a Count below 1; frames of a strip narrower than Count are empty.
void SplitStrip(TSurface32* Image, int Count, TPelluxImageArray& Frames);
// Count frames stacked, each W x (H div Count).
void SplitStripVertical(TSurface32* Image, int Count, TPelluxImageArray& Frames);
// Three parts side by side of widths Margin, W - 2 * Margin and Margin; SplitStrip(Image,
// 3) when Margin <= 0 or Margin >= W div 3.
void SplitThreeParts(TSurface32* Image, int Margin, TPelluxImageArray& Parts);

// A new NewWidth x H image from the three parts (SplitThreeParts with a Margin, else
// thirds): when the left part is narrower than NewWidth, the left part is copied at the
// left edge, the middle part stretched between the end parts and the right part at the
// right edge (with a Margin, middle and right only when Margin + 3 < NewWidth); otherwise
// the left part alone is drawn at its own size. Empty for NewWidth <= 0; nullptr for a
// nil Image.
std::unique_ptr<TPelluxImage> StretchThreePartsH(TSurface32* Image, int NewWidth, int Margin);
// A new W x NewHeight image from the vertical thirds: when the middle third is lower than
// NewHeight, it is copied stretched between the top and bottom thirds, which are copied at
// the top and the bottom; otherwise the middle third (NewHeight > 3) or the top third is
// drawn stretched over the whole image. Empty for NewHeight <= 0; nullptr for a nil
// Image.
std::unique_ptr<TPelluxImage> StretchThreePartsV(TSurface32* Image, int NewHeight);
// A new Width x Height image holding the band of Image from x = 0 and
// y = (H - Height) div 2; a full copy when Height <= 0, Width <= 0 or the band leaves
// Image. nullptr for a nil Image.
std::unique_ptr<TPelluxImage> CropMiddleBand(TSurface32* Image, int Height, int Width);
