#pragma once
// The skin drawing helpers that compose skin images onto surfaces: the nine-grid and its
// degenerate three-slice forms, tiling, the fill types of background pictures, grey
// conversion and the mean colour of an image.
//
// Rectangles are (Left, Top, Right, Bottom), right and bottom exclusive. "Copy" replaces
// the destination pixels, alpha included; "draw" combines by the source's DrawMode.

#include <memory>

#include "draw/uPelluxImage.h"
#include "draw/uQvSurface.h"

// How a background picture fills its area.
enum TQvPngFillType { ftNormal, ftTile, ftAutoStretch, ftCenter, ftStretch, ftGradient };

// Fills all of Dst from Src. InnerRect is the centre cell in Src coordinates; the corners
// keep their size, the edges and the centre stretch (nearest neighbour) to the rest.
// Drawn by Src's DrawMode, the top and bottom edges tiled with TileRect; with UseCopy
// every piece is copied, stretched, the top and bottom edges included. A destination
// smaller than the corners makes pieces overlap and the middle pieces empty.
void DrawNineGrid(TSurface32* Src, TSurface32* Dst, const TRect& InnerRect, bool UseCopy);
// DrawNineGrid with the centre cell (w, h, 2w, 2h), w = max(W div 3, 1) and likewise h.
// When Dst has Src's width the cell becomes (0, h, 0, 2h) (a vertical three-slice); when
// Dst has Src's height it becomes (w, 0, 2w, 0) (a horizontal one), which wins when both
// hold.
void DrawNineGridThirds(TSurface32* Src, TSurface32* Dst, bool UseCopy);
// A new W x H image with Image's draw properties made by DrawNineGridThirds with UseCopy;
// nullptr for a nil Image.
std::unique_ptr<TPelluxImage> NineGridResize(TSurface32* Image, int W, int H);

// Repeats SrcRect along one axis of DstRect: when their widths agree, down the rows
// (the last piece taking the top of SrcRect), else when their heights agree, across the
// columns; otherwise nothing. Each piece is drawn by Src's DrawMode.
void TileRect(TCustomSurface32* Src, TCustomSurface32* Dst, const TRect& SrcRect, const TRect& DstRect);
// Draws all of Src at (c*W + OffsetX, r*H + OffsetY) for r in 0..Dst.H div H and c in
// 0..Dst.W div W, holding Dst's lock and update mode meanwhile (no change is raised).
void TileImage(TCustomSurface32* Src, TCustomSurface32* Dst, int OffsetX, int OffsetY);
void TileDraw(TCustomSurface32* Image, TCustomSurface32* Dst);
// ftNormal: drawn at (0, 0); ftTile: TileDraw; ftAutoStretch: DrawNineGridThirds without
// copy; ftCenter: drawn centred (offsets truncated toward zero); ftStretch: stretched to
// the whole of Dst; ftGradient: nothing (the owner paints its gradient).
void DrawImageByMode(TSurface32* Image, TSurface32* Dst, TQvPngFillType FillType);

// Dst takes Src's size; every pixel becomes the grey of its intensity with Src's alpha
// (PreserveAlpha) or 255. Dst may be Src. Raises "Destination is nil" / "The source is
// nil".
void MakeGrayscale(TCustomSurface32* Dst, TCustomSurface32* Src, bool PreserveAlpha);
// The integer means of the blue, green and red bytes over all pixels as a platform
// colour 0x00BBGGRR (alpha ignored); 0 for a nil or empty image.
TColor AverageColor(const TCustomSurface32* Image);

// Copies SrcRect of Src stretched to DstRect of Dst by nearest neighbour (the platform's
// stretch copy): no blending, alpha copied. Empty or mirrored rectangles copy nothing.
void CopyStretched(TSurface32* Src, TSurface32* Dst, const TRect& SrcRect, const TRect& DstRect);
