#include "app/frmGallery.h"

#include "app/uDemoStyle.h"

#include "controls/uPelluxButton.h"
#include "controls/uPelluxCheckBox.h"
#include "controls/uPelluxScrollBar.h"
#include "controls/uPelluxCircleShape.h"
#include "controls/uPelluxColorButton.h"
#include "controls/uPelluxHtmlLabel.h"
#include "controls/uPelluxLine.h"
#include "controls/uPelluxMarker.h"
#include "controls/uPelluxShape.h"
#include "controls/uPelluxLabel.h"
#include "controls/uPelluxPanel.h"
#include "framework/uQvMenus.h"

namespace {

constexpr TColor Ink = DemoInk;
constexpr TColor Muted = DemoMuted;
constexpr TColor Line = RGB(218, 225, 234);

template <typename T>
T* Add(TWinControl* Parent, int X, int Y, int W, int H) {
    auto* C = new T(Parent);
    C->SetBounds(X, Y, W, H);
    C->SetParent(Parent);
    return C;
}

TPelluxLabel* MakeLabel(TWinControl* Parent, int X, int Y, const String& Caption, int Size = 9, TColor Color = Ink,
                   bool Bold = false) {
    return DemoLabel(Parent, X, Y, Caption, Size, Color, Bold);
}

// A white card with a hairline border and a heading.
TPelluxPanel* Card(TWinControl* Parent, int X, int Y, int W, int H, const String& Title) {
    auto* P = Add<TPelluxPanel>(Parent, X, Y, W, H);
    P->SetAlpha(255);
    P->SetDoubleBorder(false);
    P->SetBorderColor(Line);
    MakeLabel(P, 16, 12, Title, 10, Ink, true);
    return P;
}

TPelluxPanel* Tile(TWinControl* Parent, int X, int Y, const String& Caption) {
    auto* P = Add<TPelluxPanel>(Parent, X, Y, 132, 84);
    P->SetCaptionVisible(true);
    P->SetCaption(Caption);
    P->Font()->SetColor(Ink);
    return P;
}

TPelluxButton* Button(TWinControl* Parent, int X, int Y, const String& Caption, int W = 84) {
    auto* B = Add<TPelluxButton>(Parent, X, Y, W, 28);
    B->SetCaption(Caption);
    return B;
}

TPelluxLabel* Note(TWinControl* Parent, int X, int Y, const String& Caption) {
    return MakeLabel(Parent, X, Y, Caption, 8, Muted);
}

}  // namespace

TGalleryForm::TGalleryForm(TComponent* AOwner, TGalleryPage Page) : TForm(AOwner) {
    DemoFormStyle(this, u"GalleryForm", 900, 620);

    // Header: a left-anchored gradient band with the title.
    auto* Header = Add<TPelluxPanel>(this, 0, 0, 900, 52);
    Header->SetAlign(alTop);
    Header->SetAlpha(255);
    Header->SetBorderSides({});
    Header->SetBackgroundFillType(ftGradient);
    Header->SetGradientDirection(gdHorizontal);
    Header->SetGradientAlign(gaLeft);
    Header->SetGradientSize(100);
    Header->SetGradientStartColor(RGB(36, 104, 196));
    Header->SetGradientEndColor(RGB(64, 150, 230));
    MakeLabel(Header, 20, 13, u"Pellux 控件库", 13, clWhite, true);
    MakeLabel(Header, 170, 20, Page == gpControls ? u"按钮 · 面板 · 标签" : u"形状 · 线条 · 徽标 · HTML 标签 · 选择与滚动", 9,
              RGB(214, 232, 252));
    if (Page == gpControls)
        BuildControls();
    else
        BuildShapes();
}

void TGalleryForm::BuildControls() {
    // Buttons.
    TPelluxPanel* Buttons = Card(this, 20, 68, 860, 176, u"按钮");
    FHotButton = Button(Buttons, 16, 44, u"悬停");
    auto* Ok = Button(Buttons, 112, 44, u"确定");
    Ok->SetDefault(true);
    Button(Buttons, 208, 44, u"取消");
    Button(Buttons, 304, 44, u"禁用")->SetEnabled(false);
    auto* More = Button(Buttons, 400, 44, u"更多", 96);
    auto* Menu = new TPopupMenu(this);
    auto* Item = new TMenuItem(this);
    Item->SetCaption(u"导出");
    Menu->Items()->Add(Item);
    More->SetDropdownMenu(Menu);
    const char16_t* const Toggles[] = {u"日", u"周", u"月"};
    for (int I = 0; I < 3; ++I) {
        TPelluxButton* T = Button(Buttons, 520 + I * 60, 44, Toggles[I], 56);
        T->SetGroupIndex(1);
        if (I == 1) T->SetDown(true);
    }
    const auto Flat = [&](int X, const String& Caption, TColor Normal, TColor Hot, TColor Pressed) {
        auto* B = Add<TPelluxColorButton>(Buttons, X, 86, 84, 28);
        B->SetCaption(Caption);
        B->SetNormalColor(Normal);
        B->SetHotColor(Hot);
        B->SetPressedColor(Pressed);
        B->SetRoundFrame(true);
        B->SetRoundSize(4);
        return B;
    };
    Flat(16, u"主要", RGB(36, 104, 196), RGB(56, 126, 218), RGB(26, 84, 166));
    Flat(112, u"成功", RGB(46, 160, 90), RGB(60, 180, 106), RGB(36, 134, 74));
    Flat(208, u"警告", RGB(255, 84, 56), RGB(224, 67, 67), RGB(190, 52, 40));
    Flat(304, u"禁用", RGB(36, 104, 196), RGB(56, 126, 218), RGB(26, 84, 166))->SetEnabled(false);
    const char16_t* const Segments[] = {u"列表", u"卡片", u"地图"};
    const TQvCorners SegmentCorners[] = {TQvCorners{TopLeft, BottomLeft}, TQvCorners{},
                                         TQvCorners{TopRight, BottomRight}};
    for (int I = 0; I < 3; ++I) {
        auto* S = Add<TPelluxCornerButton>(Buttons, 400 + I * 70, 86, 71, 28);
        S->SetCaption(Segments[I]);
        S->SetRoundSize(6);
        S->SetCorners(SegmentCorners[I]);
        S->SetGroupIndex(2);
        if (I == 0) S->SetDown(true);
    }
    auto* Outline = Add<TPelluxCornerButton>(Buttons, 624, 86, 96, 28);
    Outline->SetCaption(u"圆角描边");
    Outline->SetRoundSize(14);
    Note(Buttons, 16, 130,
         u"第一行：悬停、默认、普通、禁用、下拉菜单与互斥切换；第二行：纯色按钮、分段的圆角按钮（“列表”已按下）与描边按钮。");

    // Panels.
    TPelluxPanel* Panels = Card(this, 20, 256, 860, 168, u"面板");
    Tile(Panels, 16, 44, u"半透明");
    TPelluxPanel* Solid = Tile(Panels, 156, 44, u"不透明");
    Solid->SetAlpha(255);
    Solid->SetColor(RGB(232, 241, 252));
    Solid->SetDoubleBorder(false);
    TPelluxPanel* Vertical = Tile(Panels, 296, 44, u"纵向渐变");
    Vertical->SetAlpha(255);
    Vertical->SetBackgroundFillType(ftGradient);
    Vertical->SetDoubleBorder(false);
    TPelluxPanel* Horizontal = Tile(Panels, 436, 44, u"横向渐变");
    Horizontal->SetAlpha(255);
    Horizontal->SetBackgroundFillType(ftGradient);
    Horizontal->SetGradientDirection(gdHorizontal);
    Horizontal->SetGradientAlign(gaLeft);
    Horizontal->SetGradientSize(100);
    Horizontal->SetGradientStartColor(RGB(255, 196, 120));
    Horizontal->SetGradientEndColor(RGB(255, 240, 222));
    Horizontal->SetDoubleBorder(false);
    Horizontal->SetBorderColor(RGB(240, 200, 150));
    auto* Framed = Add<TPelluxBorderPanel>(Panels, 576, 44, 132, 84);
    Framed->SetCaptionVisible(true);
    Framed->SetCaption(u"边框");
    auto* FramedHot = Add<TPelluxBorderPanel>(Panels, 716, 44, 132, 84);
    FramedHot->SetCaptionVisible(true);
    FramedHot->SetCaption(u"边框（焦点）");
    FramedHot->SetInControl(true);
    Note(Panels, 16, 138, u"颜色与透明度、两种渐变、单线与双线边框，以及悬停或获得焦点时变色的边框面板。");

    // Labels.
    TPelluxPanel* Labels = Card(this, 20, 436, 860, 164, u"标签");
    const TAlignment Aligns[] = {taLeftJustify, taCenter, taRightJustify};
    const char16_t* const AlignNames[] = {u"左对齐", u"居中", u"右对齐"};
    for (int I = 0; I < 3; ++I) {
        auto* Well = Add<TPelluxPanel>(Labels, 16 + I * 150, 44, 138, 28);
        Well->SetAlpha(255);
        Well->SetColor(RGB(236, 242, 250));
        Well->SetBorderSides({});
        TPelluxLabel* L = MakeLabel(Well, 10, 0, AlignNames[I]);
        L->SetAutoSize(false);
        L->SetBounds(10, 0, 118, 28);
        L->SetAlignmentHorizontal(Aligns[I]);
        L->SetAlignmentVertical(taVerticalCenter);
    }
    TPelluxLabel* Badge = MakeLabel(Labels, 466, 45, u"圆角徽标", 9, clWhite, true);
    Badge->SetAutoSize(false);
    Badge->SetBounds(466, 45, 96, 26);
    Badge->SetAlignmentHorizontal(taCenter);
    Badge->SetAlignmentVertical(taVerticalCenter);
    Badge->SetRoundBackground(true);
    Badge->SetRoundSize(13);
    Badge->SetColor(RGB(46, 160, 90));
    auto* Night = Add<TPelluxPanel>(Labels, 578, 44, 104, 28);
    Night->SetAlpha(255);
    Night->SetColor(RGB(28, 52, 92));
    Night->SetBorderSides({});
    TPelluxLabel* Glow = MakeLabel(Night, 0, 0, u"发光文字", 10, clWhite, true);
    Glow->SetAutoSize(false);
    Glow->SetBounds(0, 0, 104, 28);
    Glow->SetAlignmentHorizontal(taCenter);
    Glow->SetAlignmentVertical(taVerticalCenter);
    Glow->Light()->SetColor(RGB(90, 170, 255));
    Glow->Light()->SetBlurRadius(2);
    Glow->Light()->SetActive(true);
    auto* Link = Add<TQvURLButton>(Labels, 700, 50, 10, 10);
    Link->Font()->SetName(DemoFaceName);
    Link->Font()->SetStyle(TFontStyles{fsUnderline});
    Link->Font()->SetColor(RGB(36, 104, 196));
    Link->FontHot()->SetColor(RGB(228, 86, 40));
    Link->SetCaption(u"www.varnoth.org");
    TPelluxLabel* Ellipsis = MakeLabel(Labels, 16, 88, u"很长的一段说明文字放不下时，会在末尾以省略号结束，而不是被截断在半个字上");
    Ellipsis->SetEllipsisPosition(epEndEllipsis);
    Ellipsis->SetBounds(16, 88, 300, 20);
    TPelluxLabel* Wrap = MakeLabel(Labels, 340, 88, u"自动换行的标签：文字在标签宽度处折行，行与行之间保持字体本身的行距。");
    Wrap->SetAutoSize(false);
    Wrap->SetWordWap(true);
    Wrap->SetBounds(340, 88, 340, 40);
    Note(Labels, 16, 134, u"对齐、圆角背景、发光、链接（悬停变色）、末尾省略与自动换行。");
}

void TGalleryForm::BuildShapes() {
    SetBounds(40, 40, 900, 632);

    // Shapes: each figure, fill opacity and outline style.
    TPelluxPanel* Shapes = Card(this, 20, 68, 860, 172, u"形状");
    const auto Figure = [&](int X, TQvShapeKind Kind, TColor Fill) {
        const bool Wide = Kind == skEllipse || Kind == skRoundRect;
        auto* S = Add<TPelluxShape>(Shapes, X, 44, Wide ? 110 : 80, 80);
        S->SetShape(Kind);
        S->Brush()->SetColor(Fill);
        return S;
    };
    Figure(16, skCircle, RGB(36, 104, 196));
    auto* Ellipse = Figure(108, skEllipse, RGB(255, 196, 120));
    Ellipse->Pen()->SetVisible(true);
    Ellipse->Pen()->SetColor(RGB(230, 140, 40));
    auto* Rounded = Figure(230, skRoundRect, clWhite);
    Rounded->Pen()->SetVisible(true);
    Rounded->Pen()->SetColor(RGB(150, 170, 196));
    Rounded->Pen()->SetWidth(1);
    Rounded->Pen()->SetStyle(psDash);
    auto* Square = Figure(352, skRoundSquare, RGB(46, 160, 90));
    Square->SetAlpha(128);
    Square->SetRoundRadius(12);
    auto* Dotted = Figure(444, skSquare, RGB(236, 242, 250));
    Dotted->Pen()->SetVisible(true);
    Dotted->Pen()->SetColor(RGB(36, 104, 196));
    Dotted->Pen()->SetStyle(psDot);
    auto* Star = Figure(536, skSVG, RGB(255, 84, 56));
    Star->SetSvgPath(u"M 40 4 L 49 30 L 76 30 L 54 47 L 62 74 L 40 58 L 18 74 L 26 47 L 4 30 L 31 30 Z");
    auto* Face = Add<TPelluxCircleShape>(Shapes, 628, 44, 80, 80);
    Face->SetPicture(u"default_handsome");
    // A badge drawn by its host as the last step of the host's paint.
    auto* Host = Add<TPelluxButton>(Shapes, 736, 70, 96, 28);
    Host->SetCaption(u"消息");
    auto* Badge = new TPelluxCircleMarker(this);
    Badge->SetText(u"12");
    Badge->SetX(70);
    Badge->SetY(0);
    Badge->SetWidth(24);
    Badge->SetHeight(15);
    Badge->SetRoundSize(15);
    Badge->Pen()->SetStyle(psClear);
    Badge->Brush()->SetColor(RGB(243, 156, 18));
    Badge->Font()->SetName(DemoFaceName);
    Badge->Font()->SetSize(7);
    Host->OnCustomPaint = [Badge](TObject*, TSurface32* Surface) { Badge->Draw(Surface->Handle()); };
    Note(Shapes, 16, 140, u"圆、带描边的椭圆、虚线圆角卡片、半透明圆角方块、点线方框、SVG 路径、圆形头像与数字徽标。");

    // Lines.
    TPelluxPanel* Lines = Card(this, 20, 252, 860, 104, u"线条");
    Add<TPelluxLine>(Lines, 16, 48, 400, 3);
    auto* Dashed = Add<TPelluxLine>(Lines, 440, 44, 400, 3);
    Dashed->SetActiveGradient(false);
    Dashed->SetStyle(psDash);
    Dashed->SetColor(RGB(150, 170, 196));
    auto* Dots = Add<TPelluxLine>(Lines, 440, 56, 400, 3);
    Dots->SetActiveGradient(false);
    Dots->SetStyle(psDot);
    Dots->SetColor(RGB(36, 104, 196));
    Note(Lines, 16, 74, u"中心渐变的分隔线、虚线与点线。");

    // HTML labels.
    TPelluxPanel* Html = Card(this, 20, 368, 860, 120, u"HTML 标签");
    auto* Rich = Add<TPelluxHtmlLabel>(Html, 16, 44, 10, 10);
    Rich->Font()->SetName(DemoFaceName);
    Rich->Font()->SetSize(10);
    Rich->Font()->SetColor(Ink);
    Rich->SetCaption(u"<B>粗体</B>、<I>斜体</I>、<U>下划线</U>、<S>删除线</S>、"
                     u"<FONT COLOR=\"#C46824\" SIZE=3>彩色大字</FONT>、H<SUB>2</SUB>O 与 E=mc<SUP>2</SUP>，"
                     u"以及一个<A HREF=\"home\">链接</A>。");
    auto* Ruled = Add<TPelluxHtmlLabel>(Html, 16, 84, 10, 10);
    Ruled->Font()->SetName(DemoFaceName);
    Ruled->Font()->SetColor(Muted);
    Ruled->SetCaption(u"&copy; 2026 Varnoth &amp; Pellux<BR>第二行：&lt;标签&gt; 按原样显示");

    // Toggles and the skinned scroll bar.
    TPelluxPanel* Choices = Card(this, 20, 500, 860, 112, u"选择与滚动");
    const auto Check = [&](int X, const String& Caption, bool Checked) {
        auto* C = Add<TPelluxCheckBox>(Choices, X, 46, 110, 17);
        C->SetCaption(Caption);
        C->SetChecked(Checked);
        return C;
    };
    Check(16, u"记住用户名", true);
    Check(130, u"自动登录", false)->SetEnabled(false);
    const char16_t* const Sizes[] = {u"小", u"中", u"大"};
    for (int I = 0; I < 3; ++I) {
        auto* R = Add<TPelluxRadioBox>(Choices, 250 + I * 64, 46, 60, 17);
        R->SetCaption(Sizes[I]);
        R->SetGroupIndex(1);
        R->SetChecked(I == 1);
    }
    auto* On = Add<TPelluxSwitchButton>(Choices, 460, 45, 34, 18);
    On->SetChecked(true);
    Add<TPelluxSwitchButton>(Choices, 506, 45, 34, 18);
    auto* Bar = Add<TPelluxScrollBar>(Choices, 570, 46, 270, 16);
    Bar->SetKind(sbHorizontal);
    Bar->SetRange(0, 100, 30, 25);
    Note(Choices, 16, 80, u"复选框（含禁用）、单选组、开关，以及比例滑块的滚动条。");
}
