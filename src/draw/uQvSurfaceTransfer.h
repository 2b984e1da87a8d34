#pragma once
// Transfers between surfaces, usable by resamplers and transforms; the surfaces' Draw and
// DrawTo go through them. None of them raises Changed.

#include "draw/uQvCustomSurface.h"

// Block transfer of SrcRect of Src to (DstX, DstY) of Dst, clipped to DstClip, by Src's
// draw mode. Returns the destination rectangle written (empty when nothing was).
TRect BlockTransfer(TCustomSurface32* Dst, int DstX, int DstY, const TRect& DstClip, TCustomSurface32* Src,
                    const TRect& SrcRect);
// Stretched transfer of SrcRect of Src to DstRect of Dst, clipped to DstClip: the
// rectangles are trimmed to the source, equal sizes go to BlockTransfer, others to Src's
// resampler. Returns the trimmed destination rectangle (empty when nothing was drawn).
TRect StretchTransfer(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip,
                      TCustomSurface32* Src, const TRect& SrcRect);
// Combines one transformed sample C into the destination pixel D by Src's draw mode:
// dmOpaque assigns; dmBlend blends into with master alpha (cmBlend) or merges with the
// alpha scaled by the master alpha (cmMerge); dmTransparent assigns unless C is the
// outer colour; dmCustom calls the pixel-combine callback or, without one, blends.
void CombineTransformed(const TCustomSurface32& Src, TColor32 C, TColor32& D);
// Combines a run of source pixels into a destination run by Src's draw mode, combine mode,
// master alpha, outer colour and pixel-combine callback (the rules of the block transfer).
void CombineRun(const TCustomSurface32& Src, const TColor32* S, TColor32* D, int Count);
