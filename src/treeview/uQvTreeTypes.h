#pragma once
// The value types of the virtual tree: the node record and its states, check types and
// states, hit positions, the option sets, the paint information handed to owner drawing,
// and the event signatures of the trees.
//
// A node record is followed in memory by the tree's user data block of NodeDataSize bytes;
// everything the tree shows is asked from events, the node only knows its place, its
// state and its size.

#include <cstdint>
#include <functional>
#include <utility>

#include "framework/uQvControlTypes.h"
#include "framework/uQvMenus.h"
#include "framework/uQvStdCtrls.h"

class TCanvas;

// ---- Node states ----------------------------------------------------------------------

// Bit number = position.
enum TQvNodeState {
    vsInitialized,
    vsChecking,
    vsCutOrCopy,
    vsDisabled,
    vsDeleting,
    vsExpanded,
    vsHasChildren,
    vsVisible,
    vsSelected,
    vsOnFreeNodeCallRequired,
    vsAllChildrenHidden,
    vsClearing,
    vsMultiline,
    vsHeightMeasured,
    vsToggling,
    vsFiltered,
};

// The 16-bit set of a node's states, with the interface of TSet.
class TQvNodeStates {
public:
    constexpr TQvNodeStates() = default;
    constexpr TQvNodeStates(std::initializer_list<TQvNodeState> Values) {
        for (TQvNodeState V : Values) FBits = static_cast<uint16_t>(FBits | Bit(V));
    }
    constexpr bool Contains(TQvNodeState V) const { return (FBits & Bit(V)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TQvNodeStates& Include(TQvNodeState V) {
        FBits = static_cast<uint16_t>(FBits | Bit(V));
        return *this;
    }
    constexpr TQvNodeStates& Exclude(TQvNodeState V) {
        FBits = static_cast<uint16_t>(FBits & ~Bit(V));
        return *this;
    }
    constexpr bool operator==(const TQvNodeStates&) const = default;
    constexpr uint16_t Bits() const { return FBits; }

private:
    static constexpr uint16_t Bit(TQvNodeState V) { return static_cast<uint16_t>(1u << static_cast<unsigned>(V)); }
    uint16_t FBits = 0;
};

enum TCheckType : uint8_t { ctNone, ctTriStateCheckBox, ctCheckBox, ctRadioButton, ctButton };
enum TCheckState : uint8_t {
    csUncheckedNormal,
    csUncheckedPressed,
    csCheckedNormal,
    csCheckedPressed,
    csMixedNormal,
    csMixedPressed,
};

// ---- Node record ----------------------------------------------------------------------

// Totals are kept per node: TotalCount is the node and all its descendants; TotalHeight
// is the node's own height plus, while it is expanded, what its visible children add.
// TotalHeight is 64 bits wide so that no tree the memory can hold overflows it.
struct TQvNode {
    uint32_t Index;       // position among the siblings, from 0
    uint32_t ChildCount;  // number of children
    uint16_t NodeHeight;
    TQvNodeStates States;
    uint8_t Align;  // percent of the row height for lines, buttons and images
    TCheckState CheckState;
    TCheckType CheckType;
    uint8_t TreeFlags;  // the tree's own bookkeeping (see uQvTreeNodes)
    uint32_t TotalCount;
    uint32_t SortStamp;  // the tree's own bookkeeping: which sort the children are in
    uint64_t TotalHeight;
    TQvNode* Parent;
    TQvNode* PrevSibling;
    TQvNode* NextSibling;
    TQvNode* FirstChild;
    TQvNode* LastChild;
};
using PQvNode = TQvNode*;
static_assert(sizeof(TQvNode) == 72, "the record stays compact and the user data behind it aligned");

// ---- Hit testing ----------------------------------------------------------------------

enum THitPosition {
    hiAbove,
    hiBelow,
    hiNowhere,
    hiOnItem,
    hiOnItemButton,
    hiOnItemButtonExact,
    hiOnItemCheckbox,
    hiOnItemIndent,
    hiOnItemLabel,
    hiOnItemLeft,
    hiOnItemRight,
    hiOnNormalIcon,
    hiOnStateIcon,
    hiToLeft,
    hiToRight,
    hiUpperSplitter,
    hiLowerSplitter,
};
using THitPositions = TSet<THitPosition>;

struct THitInfo {
    PQvNode HitNode = nullptr;
    THitPositions HitPositions;
    int HitColumn = -1;
};

// ---- Options --------------------------------------------------------------------------

enum TQvPaintOption {
    toHideFocusRect,
    toHideSelection,
    toHotTrack,
    toPopupMode,
    toShowBackground,
    toShowButtons,
    toShowDropmark,
    toShowHorzGridLines,
    toShowRoot,
    toShowTreeLines,
    toShowVertGridLines,
    toThemeAware,
    toUseBlendedImages,
    toGhostedIfUnfocused,
    toFullVertGridLines,
    toAlwaysHideSelection,
    toUseBlendedSelection,
    toStaticBackground,
    toChildrenAbove,
    toFixedIndent,
    toUseExplorerTheme,
    toHideTreeLinesIfThemed,
    toShowFilteredNodes,
};
using TQvPaintOptions = TSet<TQvPaintOption>;

enum TQvSelectionOption {
    toDisableDrawSelection,
    toExtendedFocus,
    toFullRowSelect,
    toLevelSelectConstraint,
    toMiddleClickSelect,
    toMultiSelect,
    toRightClickSelect,
    toSiblingSelectConstraint,
    toCenterScrollIntoView,
    toSimpleDrawSelection,
    toAlwaysSelectNode,
    toRestoreSelection,
};
using TQvSelectionOptions = TSet<TQvSelectionOption>;

enum TQvMiscOption {
    toAcceptOLEDrop,
    toCheckSupport,
    toEditable,
    toFullRepaintOnResize,
    toGridExtensions,
    toInitOnSave,
    toReportMode,
    toToggleOnDblClick,
    toWheelPanning,
    toReadOnly,
    toVariableNodeHeight,
    toFullRowDrag,
    toNodeHeightResize,
    toNodeHeightDblClickResize,
    toEditOnClick,
    toEditOnDblClick,
    toReverseFullExpandHotKey,
};
using TQvMiscOptions = TSet<TQvMiscOption>;

enum TQvAutoOption {
    toAutoDropExpand,
    toAutoExpand,
    toAutoScroll,
    toAutoScrollOnExpand,
    toAutoSort,
    toAutoSpanColumns,
    toAutoTristateTracking,
    toAutoHideButtons,
    toAutoDeleteMovedNodes,
    toDisableAutoscrollOnFocus,
    toAutoChangeScale,
    toAutoFreeOnCollapse,
    toDisableAutoscrollOnEdit,
    toAutoBidiColumnOrdering,
};
using TQvAutoOptions = TSet<TQvAutoOption>;

inline constexpr TQvPaintOptions DefaultPaintOptions{toShowButtons, toShowDropmark, toShowRoot,
                                                     toShowTreeLines, toThemeAware, toUseBlendedImages};
inline constexpr TQvSelectionOptions DefaultSelectionOptions{};
inline constexpr TQvMiscOptions DefaultMiscOptions{toAcceptOLEDrop,  toFullRepaintOnResize, toInitOnSave,
                                                   toToggleOnDblClick, toWheelPanning,      toEditOnClick};
inline constexpr TQvAutoOptions DefaultAutoOptions{toAutoDropExpand,       toAutoScrollOnExpand, toAutoSort,
                                                   toAutoTristateTracking, toAutoDeleteMovedNodes,
                                                   toAutoChangeScale};

// Where a new or moved node goes relative to the node given.
enum TQvAttachMode { amNoWhere, amInsertBefore, amInsertAfter, amAddChildFirst, amAddChildLast };

enum TQvNodeAlignment { naFromBottom, naFromTop, naProportional };
enum TQvLineStyle { lsCustomStyle, lsDotted, lsSolid };
enum TQvLineMode { lmNormal, lmBands };
enum TQvButtonStyle { bsRectangle, bsTriangle };
enum TQvButtonFillMode { fmTreeColor, fmWindowColor, fmShaded, fmTransparent };
enum TQvCheckImageKind { ckLightCheck, ckDarkCheck, ckLightTick, ckDarkTick, ckFlat, ckXP, ckCustom,
                         ckSystemFlat, ckSystemDefault };
enum TQvDrawSelectionMode { smDottedRectangle, smBlendedRectangle };
enum TQvHintMode { hmDefault, hmHint, hmHintAndDefault, hmTooltip };
enum TQvSortDirection { sdAscending, sdDescending };
enum TQvTextType { ttNormal, ttStatic };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// ---- Painting -------------------------------------------------------------------------

enum TQvPaintCellOption { poDrawSelection, poDrawFocusRect, poGridLines, poColumnColor, poMainOnly };
using TQvPaintCellOptions = TSet<TQvPaintCellOption>;

enum TQvImageInfoIndex { iiNormal, iiState, iiCheck, iiOverlay };
struct TQvImageInfo {
    int Index = -1;
    int XPos = 0, YPos = 0;
    bool Ghosted = false;
};

// Given to owner drawing. CellRect is in the coordinates of the row being painted (its
// top is 0; x as in the client area, scrolled).
struct TQvPaintInfo {
    TCanvas* Canvas = nullptr;
    TQvPaintCellOptions PaintOptions;
    PQvNode Node = nullptr;
    int Column = -1;
    int Position = 0;  // the column's position in display order
    TRect CellRect;
    TRect ContentRect;
    int NodeWidth = 0;
    TAlignment Alignment = taLeftJustify;
    TAlignment CaptionAlignment = taLeftJustify;
    TBiDiMode BidiMode = bdLeftToRight;
    TPoint BrushOrigin;
    TQvImageInfo ImageInfo[4];
};

// ---- Events ---------------------------------------------------------------------------

using TQvNodeEvent = std::function<void(TObject* Sender, PQvNode Node)>;
using TQvGetNodeDataSizeEvent = std::function<void(TObject* Sender, int& NodeDataSize)>;
using TQvNodeClickEvent = std::function<void(TObject* Sender, const THitInfo& HitInfo)>;
using TQvColumnClickEvent = std::function<void(TObject* Sender, int Column, TShiftState Shift)>;
using TQvGetCursorEvent = std::function<void(TObject* Sender, TCursor& Cursor)>;
using TQvFocusChangingEvent = std::function<void(TObject* Sender, PQvNode OldNode, PQvNode NewNode,
                                                 int OldColumn, int NewColumn, bool& Allowed)>;
using TQvFocusChangedEvent = std::function<void(TObject* Sender, PQvNode Node, int Column)>;
using TQvHotNodeChangeEvent = std::function<void(TObject* Sender, PQvNode OldNode, PQvNode NewNode)>;
using TQvCompareEvent =
    std::function<void(TObject* Sender, PQvNode Node1, PQvNode Node2, int Column, int& Result)>;
using TQvScrollEvent = std::function<void(TObject* Sender, int DeltaX, int DeltaY)>;
using TQvKeyActionEvent = std::function<void(TObject* Sender, WORD& CharCode, TShiftState& Shift, bool& DoDefault)>;
using TQvCheckingEvent =
    std::function<void(TObject* Sender, PQvNode Node, TCheckState& NewState, bool& Allowed)>;
using TQvGetTextEvent = std::function<void(TObject* Sender, PQvNode Node, int Column, TQvTextType TextType,
                                           String& CellText)>;
using TQvPaintTextEvent =
    std::function<void(TObject* Sender, TCanvas* TargetCanvas, PQvNode Node, int Column, TQvTextType TextType)>;
using TQvDrawTextEvent = std::function<void(TObject* Sender, TCanvas* TargetCanvas, PQvNode Node, int Column,
                                            const String& Text, const TRect& CellRect, bool& DefaultDraw)>;
using TQvDrawNodeEvent = std::function<void(TObject* Sender, const TQvPaintInfo& PaintInfo)>;
using TQvGetNodeWidthEvent =
    std::function<void(TObject* Sender, TCanvas* HintCanvas, PQvNode Node, int Column, int& NodeWidth)>;

// Painting hooks, in the order a row raises them.
enum TQvItemEraseAction { eaColor, eaDefault, eaNone };
enum TQvCellPaintMode { cpmPaint, cpmGetContentMargin };
enum TQvImageKind { ikNormal, ikSelected, ikState, ikOverlay };
using TQvBeforeItemPaintEvent = std::function<void(TObject* Sender, TCanvas* TargetCanvas, PQvNode Node,
                                                   const TRect& ItemRect, bool& CustomDraw)>;
using TQvBeforeItemEraseEvent =
    std::function<void(TObject* Sender, TCanvas* TargetCanvas, PQvNode Node, const TRect& ItemRect, TColor& ItemColor,
                       TQvItemEraseAction& EraseAction)>;
using TQvItemPaintEvent =
    std::function<void(TObject* Sender, TCanvas* TargetCanvas, PQvNode Node, const TRect& ItemRect)>;
using TQvBeforeCellPaintEvent =
    std::function<void(TObject* Sender, TCanvas* TargetCanvas, PQvNode Node, int Column, TQvCellPaintMode Mode,
                       const TRect& CellRect, TRect& ContentRect)>;
using TQvAfterCellPaintEvent =
    std::function<void(TObject* Sender, TCanvas* TargetCanvas, PQvNode Node, int Column, const TRect& CellRect)>;
using TQvShortenStringEvent =
    std::function<void(TObject* Sender, TCanvas* TargetCanvas, PQvNode Node, int Column, const String& S,
                       int TextMaxWidth, String& Result, bool& Done)>;
using TQvBackgroundPaintEvent =
    std::function<void(TObject* Sender, TCanvas* TargetCanvas, const TRect& R, bool& Handled)>;
using TQvGetImageIndexEvent = std::function<void(TObject* Sender, PQvNode Node, TQvImageKind Kind, int Column,
                                                 bool& Ghosted, int& ImageIndex)>;

// Raises an event through a copy of its handler: a handler may free the tree, and with it
// the handler object that is running.
template <class TEvent, class... TArgs>
void QvRaise(const TEvent& Event, TArgs&&... Args) {
    if (!Event) return;
    const TEvent Handler = Event;
    Handler(std::forward<TArgs>(Args)...);
}

// Registers the tree's enumerations for stored layouts (again: nothing happens).
void RegisterQvTreeTypes();
