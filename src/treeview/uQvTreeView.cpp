#include "treeview/uQvTreeView.h"

#include "framework/uQvRegistry.h"

namespace {

template <typename T>
void PublishTree(TClassBuilder<T>&& B) {
    B.Prop(u"BorderStyle", &T::BorderStyle, &T::SetBorderStyle, bsSingle)
        .Prop(u"ButtonFillMode", &T::ButtonFillMode, &T::SetButtonFillMode, fmTreeColor)
        .Prop(u"ButtonStyle", &T::ButtonStyle, &T::SetButtonStyle, bsRectangle)
        .Prop(u"CheckImageKind", &T::CheckImageKind, &T::SetCheckImageKind, ckSystemDefault)
        .Object(u"Colors", &T::Colors)
        .Prop(u"DefaultNodeHeight", &T::DefaultNodeHeight, &T::SetDefaultNodeHeight, 18)
        .Prop(u"DrawSelectionMode", &T::DrawSelectionMode, &T::SetDrawSelectionMode, smDottedRectangle)
        .Prop(u"EditDelay", &T::EditDelay, &T::SetEditDelay, 1000)
        .Object(u"Header", &T::Header)
        .Prop(u"HintMode", &T::HintMode, &T::SetHintMode, hmDefault)
        .Prop(u"HotCursor", &T::HotCursor, &T::SetHotCursor, crDefault)
        .Prop(u"Indent", &T::Indent, &T::SetIndent, 18)
        .Prop(u"LineMode", &T::LineMode, &T::SetLineMode, lmNormal)
        .Prop(u"LineStyle", &T::LineStyle, &T::SetLineStyle, lsDotted)
        .Prop(u"Margin", &T::Margin, &T::SetMargin, 4)
        .Prop(u"NodeAlignment", &T::NodeAlignment, &T::SetNodeAlignment, naProportional)
        .Prop(u"NodeDataSize", &T::NodeDataSize, &T::SetNodeDataSize, -1)
        .Object(u"ScrollBarOptions", &T::ScrollBarOptions)
        .Prop(u"SelectionBlendFactor", &T::SelectionBlendFactor, &T::SetSelectionBlendFactor, 128)
        .Prop(u"SelectionCurveRadius", &T::SelectionCurveRadius, &T::SetSelectionCurveRadius, 0)
        .Prop(u"TextMargin", &T::TextMargin, &T::SetTextMargin, 4)
        .Object(u"TreeOptions", &T::TreeOptions);
}

}  // namespace

void RegisterQvTreeView() {
    RegisterQvTreeTypes();
    RegisterQvTreeOptions();
    RegisterQvTreeColumns();
    RegisterQvTreeHeader();
    RegisterClass<TQvBaseTree, TCustomControl>(u"TQvBaseTree");
    RegisterClass<TQvCustomStringTree, TQvBaseTree>(u"TQvCustomStringTree");
    PublishTree(RegisterClass<TQvStringTree, TQvCustomStringTree>(u"TQvStringTree"));
    RegisterClass<TQvCustomDrawTree, TQvBaseTree>(u"TQvCustomDrawTree");
    PublishTree(RegisterClass<TQvDrawTree, TQvCustomDrawTree>(u"TQvDrawTree"));
}
