#pragma once
// The fill and outline descriptions of the shape controls (TQvBrush, TQvPen) and
// TQvSVGPathRenderer, which parses SVG path data and renders it antialiased onto a
// surface through a vector canvas.

#include <cstdint>
#include <memory>
#include <string>

#include "draw/uQvCanvas.h"
#include "draw/uQvCustomSurface.h"
#include "framework/uQvClasses.h"
#include "framework/uQvGraphics.h"
#include "platform/uQvBase.h"
#include "platform/uQvColor.h"

// The fill of a figure: a platform colour and whether it is drawn.
class TQvBrush : public TPersistent {
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    // Copies the values of another brush (and pen), raising OnChanged once when any
    // value changed.
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChanged;

protected:
    // Raises OnChanged.
    virtual void Changed();
    // Copies the values without notifying; true when any changed.
    virtual bool CopyValues(const TQvBrush& Source);

private:
    TColor FColor = 9134950;
    bool FVisible = true;
};

// The framework's pen styles; the shapes draw psSolid, psDot and psDash.
using TQvPenStyle = TPenStyle;

// The outline of a figure: a brush with a width and a line style.
class TQvPen : public TQvBrush {
public:
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TQvPenStyle Style() const { return FStyle; }
    void SetStyle(TQvPenStyle Value);

protected:
    bool CopyValues(const TQvBrush& Source) override;

private:
    int FWidth = 1;
    TQvPenStyle FStyle = psSolid;
};

enum TQvSVGPathColor { pcFill, pcStroke };
using TQvSVGPathColors = TSet<TQvSVGPathColor>;

// Renders SVG path data onto a surface: the fill brush fills every subpath (even-odd),
// the stroke brush strokes it (non-zero; miter joins, butt ends, limit 4). A subpath
// closed with Z is stroked closed; one ended otherwise is stroked open and filled as if
// closed.
//
// The reader: the first command must be M or m, whose pair is taken as it stands; every
// later coordinate pair is shifted by +1.5 in x (single numbers of H and V are not), as
// the stored shapes were drawn with. Between the two numbers of a pair any whitespace and
// commas may stand, elsewhere whitespace only. Arcs are read and not drawn. Errors raise
// "Unknown first command (%s)", "Unknown command (%s)", "No Data" or the number
// conversion error; subpaths ended before the error stay drawn.
class TQvSVGPathRenderer : public TPersistent {
public:
    // The canvas draws onto Bitmap (not owned).
    explicit TQvSVGPathRenderer(TCustomSurface32* Bitmap);
    ~TQvSVGPathRenderer() override;

    uint8_t Alpha() const { return FAlpha; }
    void SetAlpha(uint8_t Value) { FAlpha = Value; }
    TQvSVGPathColors Colors() const { return FColors; }
    void SetColors(TQvSVGPathColors Value) { FColors = Value; }
    TColor FillColor() const { return FFillColor; }
    void SetFillColor(TColor Value) { FFillColor = Value; }
    TColor StrokeColor() const { return FStrokeColor; }
    void SetStrokeColor(TColor Value) { FStrokeColor = Value; }
    int StrokeWidth() const { return FStrokeWidth; }
    void SetStrokeWidth(int Value) { FStrokeWidth = Value; }

    const std::string& Path() const { return FPath; }
    // Stores a different path and renders it (Refresh).
    void SetPath(const std::string& Value);
    // Sets up the brushes from Colors and the colours, then parses and renders Path.
    void Refresh();

    TSurfaceCanvas& Canvas() { return *FCanvas; }

private:
    std::unique_ptr<TSurfaceCanvas> FCanvas;
    TSolidBrush* FFillBrush = nullptr;
    TStrokeBrush* FStrokeBrush = nullptr;
    TColor FFillColor = 0xFFFFFF;
    int FStrokeWidth = 1;
    TColor FStrokeColor = 0xFF0000;
    uint8_t FAlpha = 255;
    std::string FPath;
    TQvSVGPathColors FColors{pcFill, pcStroke};
};
