#pragma once
// Linear colour gradients: a list of colour stops along an axis and the polygon filler
// that colours every covered pixel by its position along that axis.

#include <cstdint>
#include <memory>
#include <vector>

#include "draw/uQvPolygons.h"

struct TColor32GradientStop {
    float Offset = 0;
    TColor32 Color32 = 0;
};

// A table of 2^Order colours, indexed by a scaled gradient offset.
class TColor32LookupTable {
public:
    // Order 1..13 (larger values are limited); 9 at creation.
    explicit TColor32LookupTable(int Order = 9);
    int Order() const { return FOrder; }
    void SetOrder(int Value);
    int Size() const { return static_cast<int>(FColors.size()); }
    int Mask() const { return Size() - 1; }
    TColor32 Color32(int Index) const { return FColors[static_cast<size_t>(Index & Mask())]; }
    TColor32* Color32Ptr() { return FColors.data(); }

private:
    int FOrder = 0;
    std::vector<TColor32> FColors;
};

// Colour stops, always sorted by offset.
class TColor32Gradient : public TPersistent {
public:
    // Inserts the stop before the first one with a greater offset (so after equal ones),
    // then raises OnGradientColorsChanged.
    void AddColorStop(float Offset, TColor32 Color);
    void ClearColorStops();
    int GradientCount() const { return static_cast<int>(FGradientColors.size()); }
    // Raises "Index out of bounds (%d)" past the end.
    const TColor32GradientStop& GradientEntry(int Index) const;
    // The first and the last stop's colour; 0 without stops.
    TColor32 StartColor() const;
    TColor32 EndColor() const;
    // The first colour up to the first offset (and for a NaN), the last from the last
    // offset on, between two stops their WeightedMix with the weight f * 255 rounded down
    // (the rounding of every fill), f the relative position between them.
    TColor32 GetColorAt(float Offset) const;
    // Entry i of Table := GetColorAt(i / (Size - 1)).
    void FillColorLookUpTable(TColor32LookupTable& Table) const;
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnGradientColorsChanged;

private:
    void GradientColorsChanged();

    std::vector<TColor32GradientStop> FGradientColors;
};

// A filler that colours by a gradient it does not own.
class TCustomGradientPolygonFiller : public TCustomPolygonFiller {
public:
    TColor32Gradient* Gradient() const { return FGradient; }
    void SetGradient(TColor32Gradient* Value) { FGradient = Value; }
    TWrapMode WrapMode() const { return FWrapMode; }
    virtual void SetWrapMode(TWrapMode Value) { FWrapMode = Value; }

protected:
    TColor32Gradient* FGradient = nullptr;
    TWrapMode FWrapMode = wmClamp;
};

// Adds the lookup table; without it only clamping exists.
class TCustomGradientLookupTablePolygonFiller : public TCustomGradientPolygonFiller {
public:
    ~TCustomGradientLookupTablePolygonFiller() override;
    TColor32LookupTable* GradientLUT() const { return FGradientLUT; }
    // Not owned; the filler's own table is freed.
    void SetGradientLUT(TColor32LookupTable* Value);
    bool OwnsLUT() const { return FOwnsLUT; }
    bool UseLookUpTable() const { return FUseLookUpTable; }
    // Switching the table off turns wmRepeat and wmMirror into wmClamp.
    void SetUseLookUpTable(bool Value);
    // wmRepeat and wmMirror switch the table on.
    void SetWrapMode(TWrapMode Value) override;

    // Checks the inputs ("No TColor32Gradient specified" without a gradient when the table
    // is off, "No TColor32LookupTable object specified" without a table when it is on) and
    // fills the table from the gradient.
    void BeginRendering() override;

protected:
    TColor32LookupTable* FGradientLUT = nullptr;
    bool FOwnsLUT = false;
    bool FUseLookUpTable = true;
};

// The axis of a linear gradient, from StartPoint (offset 0) to EndPoint (offset 1), in
// surface pixels.
class TCustomLinearGradientPolygonFiller : public TCustomGradientLookupTablePolygonFiller {
public:
    const TFloatPoint& StartPoint() const { return FStartPoint; }
    const TFloatPoint& EndPoint() const { return FEndPoint; }
    // A different value is stored and the incline recomputed: dy / dx when the x
    // coordinates differ, else 1 / dy when the y coordinates do, else unchanged.
    void SetStartPoint(const TFloatPoint& Value);
    void SetEndPoint(const TFloatPoint& Value);
    float Incline() const { return FIncline; }

protected:
    void UpdateIncline();

    float FIncline = 0;
    TFloatPoint FStartPoint;
    TFloatPoint FEndPoint;
};

// The linear filler. Each pixel is blended into the surface with its coverage as master
// alpha, whatever the surface's modes. Without the table a row is coloured by stepping
// a fixed-point weight between the places where the stops cross it.
class TLinearGradientPolygonFiller : public TCustomLinearGradientPolygonFiller {
public:
    // The table on (its own, order 9), wmClamp.
    explicit TLinearGradientPolygonFiller(TColor32Gradient* Gradient);
    // Nothing to draw without stops.
    TFillLineEvent FillLine() override;

    // The colours of the row Y for the pixels X0 .. X0 + Count - 1 without the table.
    void RowColors(int X0, int Y, int Count, TColor32* Out) const;

private:
    void TableRowColors(int X0, int Y, int Count, TColor32* Out) const;

    std::vector<TColor32> FRow;
};
