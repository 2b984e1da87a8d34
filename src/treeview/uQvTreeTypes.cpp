#include "treeview/uQvTreeTypes.h"

#include "framework/uQvRegistry.h"

void RegisterQvTreeTypes() {
    RegisterEnum<TQvPaintOption>(u"TQvPaintOption", {u"toHideFocusRect", u"toHideSelection", u"toHotTrack", u"toPopupMode", u"toShowBackground", u"toShowButtons", u"toShowDropmark", u"toShowHorzGridLines", u"toShowRoot", u"toShowTreeLines", u"toShowVertGridLines", u"toThemeAware", u"toUseBlendedImages", u"toGhostedIfUnfocused", u"toFullVertGridLines", u"toAlwaysHideSelection", u"toUseBlendedSelection", u"toStaticBackground", u"toChildrenAbove", u"toFixedIndent", u"toUseExplorerTheme", u"toHideTreeLinesIfThemed", u"toShowFilteredNodes"});
    RegisterEnum<TQvSelectionOption>(u"TQvSelectionOption", {u"toDisableDrawSelection", u"toExtendedFocus", u"toFullRowSelect", u"toLevelSelectConstraint", u"toMiddleClickSelect", u"toMultiSelect", u"toRightClickSelect", u"toSiblingSelectConstraint", u"toCenterScrollIntoView", u"toSimpleDrawSelection", u"toAlwaysSelectNode", u"toRestoreSelection"});
    RegisterEnum<TQvMiscOption>(u"TQvMiscOption", {u"toAcceptOLEDrop", u"toCheckSupport", u"toEditable", u"toFullRepaintOnResize", u"toGridExtensions", u"toInitOnSave", u"toReportMode", u"toToggleOnDblClick", u"toWheelPanning", u"toReadOnly", u"toVariableNodeHeight", u"toFullRowDrag", u"toNodeHeightResize", u"toNodeHeightDblClickResize", u"toEditOnClick", u"toEditOnDblClick", u"toReverseFullExpandHotKey"});
    RegisterEnum<TQvAutoOption>(u"TQvAutoOption", {u"toAutoDropExpand", u"toAutoExpand", u"toAutoScroll", u"toAutoScrollOnExpand", u"toAutoSort", u"toAutoSpanColumns", u"toAutoTristateTracking", u"toAutoHideButtons", u"toAutoDeleteMovedNodes", u"toDisableAutoscrollOnFocus", u"toAutoChangeScale", u"toAutoFreeOnCollapse", u"toDisableAutoscrollOnEdit", u"toAutoBidiColumnOrdering"});
    RegisterEnum<TQvNodeAlignment>(u"TQvNodeAlignment", {u"naFromBottom", u"naFromTop", u"naProportional"});
    RegisterEnum<TQvLineStyle>(u"TQvLineStyle", {u"lsCustomStyle", u"lsDotted", u"lsSolid"});
    RegisterEnum<TQvLineMode>(u"TQvLineMode", {u"lmNormal", u"lmBands"});
    RegisterEnum<TQvButtonStyle>(u"TQvButtonStyle", {u"bsRectangle", u"bsTriangle"});
    RegisterEnum<TQvButtonFillMode>(u"TQvButtonFillMode", {u"fmTreeColor", u"fmWindowColor", u"fmShaded", u"fmTransparent"});
    RegisterEnum<TQvCheckImageKind>(u"TQvCheckImageKind", {u"ckLightCheck", u"ckDarkCheck", u"ckLightTick", u"ckDarkTick", u"ckFlat", u"ckXP", u"ckCustom", u"ckSystemFlat", u"ckSystemDefault"});
    RegisterEnum<TQvDrawSelectionMode>(u"TQvDrawSelectionMode", {u"smDottedRectangle", u"smBlendedRectangle"});
    RegisterEnum<TQvHintMode>(u"TQvHintMode", {u"hmDefault", u"hmHint", u"hmHintAndDefault", u"hmTooltip"});
    RegisterEnum<TQvSortDirection>(u"TQvSortDirection", {u"sdAscending", u"sdDescending"});
    RegisterEnum<TCheckType>(u"TCheckType", {u"ctNone", u"ctTriStateCheckBox", u"ctCheckBox", u"ctRadioButton", u"ctButton"});
    RegisterEnum<TCheckState>(u"TCheckState", {u"csUncheckedNormal", u"csUncheckedPressed", u"csCheckedNormal", u"csCheckedPressed", u"csMixedNormal", u"csMixedPressed"});
    RegisterEnum<TScrollStyle>(u"TScrollStyle", {u"ssNone", u"ssHorizontal", u"ssVertical", u"ssBoth"});
}
