#pragma once
// The published sub-objects of a tree: its option sets, its colours (read and written by
// index through one getter and one setter) and its scroll-bar settings. Each tells its
// tree of a change through OnChange.

#include "framework/uQvClasses.h"
#include "platform/uQvColor.h"
#include "treeview/uQvTreeTypes.h"

class TQvTreeOptions : public TPersistent {
public:
    TQvPaintOptions PaintOptions() const { return FPaintOptions; }
    void SetPaintOptions(TQvPaintOptions Value);
    TQvSelectionOptions SelectionOptions() const { return FSelectionOptions; }
    void SetSelectionOptions(TQvSelectionOptions Value);
    TQvMiscOptions MiscOptions() const { return FMiscOptions; }
    void SetMiscOptions(TQvMiscOptions Value);
    TQvAutoOptions AutoOptions() const { return FAutoOptions; }
    void SetAutoOptions(TQvAutoOptions Value);
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    void Changed();

    TQvPaintOptions FPaintOptions = DefaultPaintOptions;
    TQvSelectionOptions FSelectionOptions = DefaultSelectionOptions;
    TQvMiscOptions FMiscOptions = DefaultMiscOptions;
    TQvAutoOptions FAutoOptions = DefaultAutoOptions;
};

// Colour indexes, in the order of the one getter and setter.
enum TQvTreeColorIndex {
    tciDisabledColor,
    tciDropMarkColor,
    tciDropTargetColor,
    tciFocusedSelectionColor,
    tciGridLineColor,
    tciTreeLineColor,
    tciUnfocusedSelectionColor,
    tciBorderColor,
    tciHotColor,
    tciFocusedSelectionBorderColor,
    tciUnfocusedSelectionBorderColor,
    tciDropTargetBorderColor,
    tciSelectionRectangleBlendColor,
    tciSelectionRectangleBorderColor,
    tciHeaderHotColor,
    tciSelectionTextColor,
    tciColorCount,
};

class TQvTreeColors : public TPersistent {
public:
    TQvTreeColors();
    // Out-of-range indexes read clNone and are ignored when written.
    TColor GetColor(int Index) const;
    void SetColor(int Index, TColor Value);
    void Assign(const TPersistent* Source) override;

    TColor BorderColor() const { return GetColor(tciBorderColor); }
    TColor DisabledColor() const { return GetColor(tciDisabledColor); }
    TColor DropMarkColor() const { return GetColor(tciDropMarkColor); }
    TColor DropTargetColor() const { return GetColor(tciDropTargetColor); }
    TColor DropTargetBorderColor() const { return GetColor(tciDropTargetBorderColor); }
    TColor FocusedSelectionColor() const { return GetColor(tciFocusedSelectionColor); }
    TColor FocusedSelectionBorderColor() const { return GetColor(tciFocusedSelectionBorderColor); }
    TColor GridLineColor() const { return GetColor(tciGridLineColor); }
    TColor HeaderHotColor() const { return GetColor(tciHeaderHotColor); }
    TColor HotColor() const { return GetColor(tciHotColor); }
    TColor SelectionRectangleBlendColor() const { return GetColor(tciSelectionRectangleBlendColor); }
    TColor SelectionRectangleBorderColor() const { return GetColor(tciSelectionRectangleBorderColor); }
    TColor SelectionTextColor() const { return GetColor(tciSelectionTextColor); }
    TColor TreeLineColor() const { return GetColor(tciTreeLineColor); }
    TColor UnfocusedSelectionColor() const { return GetColor(tciUnfocusedSelectionColor); }
    TColor UnfocusedSelectionBorderColor() const { return GetColor(tciUnfocusedSelectionBorderColor); }

    TNotifyEvent OnChange;

private:
    TColor FColors[tciColorCount];
};

class TQvScrollBarOptions : public TPersistent {
public:
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool AlwaysVisible() const { return FAlwaysVisible; }
    void SetAlwaysVisible(bool Value);
    // Pixels per line step; at least 1.
    int HorizontalIncrement() const { return FHorizontalIncrement; }
    void SetHorizontalIncrement(int Value);
    int VerticalIncrement() const { return FVerticalIncrement; }
    void SetVerticalIncrement(int Value);
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    void Changed();

    TScrollStyle FScrollBars = ssBoth;
    bool FAlwaysVisible = false;
    int FHorizontalIncrement = 20;
    int FVerticalIncrement = 20;
};

// Registers the three classes with their stored properties (after RegisterQvTreeTypes).
void RegisterQvTreeOptions();
