#include "app/frmTreeGrid.h"

#include "app/uDemoStyle.h"

#include <array>

#include "controls/uPelluxPanel.h"
#include "controls/uPelluxScrollBar.h"
#include "controls/uPelluxTree.h"
#include "platform/uQvStrUtils.h"
#include "treeview/uQvTreeGlyphs.h"

namespace {

constexpr TColor Ink = DemoInk;
constexpr TColor Muted = DemoMuted;
constexpr int RowHeight = 26;

constexpr std::array<const char16_t*, 16> Customers{
    u"华信科技有限公司", u"远航物流", u"东方电子", u"金桥贸易", u"恒丰制造有限公司", u"蓝海软件",
    u"盛达商贸", u"新源能源", u"博雅文化传播", u"瑞丰食品", u"天成建设集团", u"永安医药",
    u"嘉禾农业", u"鼎力机械", u"云帆传媒", u"百川化工"};
constexpr std::array<const char16_t*, 7> Regions{u"华东", u"华北", u"华南", u"华中", u"西南", u"西北", u"东北"};
constexpr std::array<const char16_t*, 5> Notes{u"", u"加急", u"需开具增值税专用发票，送货前请电话联系收货人", u"",
                                               u"分批发货"};

enum TColumn { colOrder, colCustomer, colRegion, colAmount, colDate, colStatus, colNote };
struct TColumnSpec {
    const char16_t* Caption;
    int Width;
    TAlignment Alignment;
};
constexpr std::array<TColumnSpec, 7> Columns{{{u"订单号", 118, taLeftJustify},
                                              {u"客户", 170, taLeftJustify},
                                              {u"地区", 70, taLeftJustify},
                                              {u"金额 (元)", 120, taRightJustify},
                                              {u"下单日期", 110, taLeftJustify},
                                              {u"状态", 86, taLeftJustify},
                                              {u"备注", 300, taLeftJustify}}};

// The status of a row and its colour: most orders are done.
struct TStatus {
    const char16_t* Text;
    TColor Color;
};
TStatus StatusOf(uint32_t Hash) {
    switch (Hash % 10) {
        case 0: return {u"已取消", RGB(150, 158, 170)};
        case 1: return {u"待发货", RGB(214, 124, 20)};
        case 2: return {u"处理中", RGB(30, 120, 215)};
        case 3:
        case 4: return {u"已发货", RGB(60, 90, 200)};
        default: return {u"已完成", RGB(34, 145, 84)};
    }
}

// A row's own pseudo-random number: every text of the row comes from it.
uint32_t RowHash(uint32_t Row) {
    uint32_t H = Row * 2654435761u;
    H ^= H >> 15;
    H *= 2246822519u;
    H ^= H >> 13;
    return H;
}

// The order date: newest orders last, about 2,700 a day through 2026.
String OrderDate(uint32_t Row) {
    static constexpr std::array<int, 12> Days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int Day = static_cast<int>(Row / 2740 % 365);
    int Month = 0;
    while (Day >= Days[static_cast<size_t>(Month)]) Day -= Days[static_cast<size_t>(Month++)];
    return Format(u"2026-%.2d-%.2d", {Month + 1, Day + 1});
}

// A flat header cell: a pale band, a short hairline between columns and one under them.
void DrawHeaderCell(TQvTreeHeader* H, TCanvas* C, TQvTreeColumn* Col, const TRect& R, bool Hover, bool Pressed) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Pressed ? RGB(232, 237, 243) : Hover ? RGB(239, 243, 248) : RGB(247, 249, 251));
    C->FillRect(R);
    C->Brush()->SetColor(RGB(222, 228, 235));
    C->FillRect(Rect(R.Left, R.Bottom - 1, R.Right, R.Bottom));
    C->FillRect(Rect(R.Right - 1, R.Top + 8, R.Right, R.Bottom - 8));
    TRect Text = Rect(R.Left + Col->Margin(), R.Top, R.Right - Col->Margin(), R.Bottom - 1);
    if (Col->Index() == H->SortColumn()) {
        const int Right = Col->Alignment() == taRightJustify ? Text.Left + QvSortArrowWidth : Text.Right;
        QvDrawSortArrow(C, Right - QvSortArrowWidth, (Text.Top + Text.Bottom - QvSortArrowHeight) / 2,
                        H->SortDirection() == sdAscending, Muted);
        if (Col->Alignment() == taRightJustify)
            Text.Left += QvSortArrowWidth + 6;
        else
            Text.Right -= QvSortArrowWidth + 6;
    }
    C->SetFont(H->Font());
    C->Brush()->SetStyle(bsClear);
    TTextFormat Format{tfSingleLine, tfVerticalCenter, tfNoPrefix, tfEndEllipsis};
    if (Col->Alignment() == taRightJustify) Format.Include(tfRight);
    C->TextRect(Text, Col->Text(), Format);
}

}  // namespace

TTreeGridForm::TTreeGridForm(TComponent* AOwner, int Rows) : TForm(AOwner) {
    DemoFormStyle(this, u"TreeGridForm", 980, 620);

    DemoLabel(this, 24, 18, u"订单明细", 13, Ink, true);
    DemoLabel(this, 128, 25, Format(u"共 %.0n 行 · 按订单号升序 · 行在绘制时生成", {static_cast<double>(Rows)}), 9,
              Muted, false);

    FFrame = new TPelluxBorderPanel(this);
    FFrame->SetParent(this);
    FFrame->SetAlpha(255);
    FFrame->SetColor(clWhite);
    FFrame->SetBounds(20, 60, 940, 540);

    FGrid = new TPelluxStringTree(this);
    FGrid->SetName(u"Grid");
    FGrid->SetParent(FFrame);
    FGrid->SetColor(clWhite);
    FGrid->SetDefaultNodeHeight(RowHeight);
    FGrid->SetTextMargin(10);
    FGrid->SetMargin(0);
    TQvTreeOptions* O = FGrid->TreeOptions();
    O->SetPaintOptions(
        O->PaintOptions().Include(toShowHorzGridLines).Include(toShowVertGridLines).Exclude(toShowTreeLines).Exclude(
            toShowRoot).Exclude(toShowButtons).Include(toHideFocusRect));
    O->SetSelectionOptions(O->SelectionOptions().Include(toFullRowSelect).Include(toMultiSelect));
    TQvTreeColors* C = FGrid->Colors();
    C->SetColor(tciGridLineColor, RGB(233, 237, 242));
    C->SetColor(tciFocusedSelectionColor, RGB(222, 235, 252));
    C->SetColor(tciFocusedSelectionBorderColor, RGB(222, 235, 252));
    C->SetColor(tciUnfocusedSelectionColor, RGB(234, 238, 244));
    C->SetColor(tciUnfocusedSelectionBorderColor, RGB(234, 238, 244));
    C->SetColor(tciSelectionTextColor, Ink);
    FGrid->Font()->SetColor(Ink);

    TQvTreeHeader* H = FGrid->Header();
    for (const TColumnSpec& S : Columns) {
        TQvTreeColumn* Col = H->Columns()->Add();
        Col->SetText(S.Caption);
        Col->SetWidth(S.Width);
        Col->SetAlignment(S.Alignment);
        Col->SetMargin(10);
        Col->SetStyle(vsOwnerDraw);
    }
    H->SetHeight(30);
    H->SetStyle(hsFlatButtons);
    H->SetBackground(RGB(247, 249, 251));  // beyond the last column
    H->Font()->SetName(DemoFaceName);
    H->Font()->SetColor(Muted);
    H->SetOptions(H->Options().Include(hoVisible).Include(hoOwnerDraw).Include(hoHotTrack));
    FGrid->OnHeaderDraw = [](TQvTreeHeader* Sender, TCanvas* Canvas, TQvTreeColumn* Column, const TRect& R,
                             bool Hover, bool Pressed, TQvDropMarkMode) {
        DrawHeaderCell(Sender, Canvas, Column, R, Hover, Pressed);
    };
    H->SetSortColumn(colOrder);
    H->SetSortDirection(sdAscending);

    FGrid->OnGetText = [this](TObject*, PQvNode Node, int Column, TQvTextType, String& Text) {
        GetText(Node, Column, Text);
    };
    FGrid->OnPaintText = [](TObject*, TCanvas* Canvas, PQvNode Node, int Column, TQvTextType) {
        if (Column == colStatus) Canvas->Font()->SetColor(StatusOf(RowHash(Node->Index)).Color);
        if (Column == colOrder) Canvas->Font()->SetColor(RGB(30, 100, 190));
    };
    // Every second row a shade darker, so a wide row stays easy to follow.
    FGrid->OnBeforeItemErase = [](TObject*, TCanvas*, PQvNode Node, const TRect&, TColor& Color,
                                  TQvItemEraseAction& Action) {
        if (Node->Index % 2 == 0) return;
        Color = RGB(249, 250, 252);
        Action = eaColor;
    };

    FVBar = new TPelluxScrollBar(this);
    FVBar->SetParent(FFrame);
    FVBar->SetKind(sbVertical);
    FHBar = new TPelluxScrollBar(this);
    FHBar->SetParent(FFrame);
    FHBar->SetKind(sbHorizontal);
    LayOut();
    FGrid->SetPelluxBorderPanel(FFrame);
    FGrid->SetVScrollBar(FVBar);
    FGrid->SetHScrollBar(FHBar);

    FGrid->BeginUpdate();
    for (int I = 0; I < Rows; ++I) FGrid->AddChild(nullptr);
    FGrid->EndUpdate();
}

void TTreeGridForm::LayOut() {
    TRect R = FFrame->ClientRect();
    FFrame->AdjustClientRect(R);  // inside the frame's ring
    const int V = FVBar->GetRealSize(), HBar = FHBar->GetRealSize();
    FGrid->SetBounds(R.Left, R.Top, R.Width() - V, R.Height() - HBar);
    FVBar->SetBounds(R.Right - V, R.Top, V, R.Height() - HBar);
    FHBar->SetBounds(R.Left, R.Bottom - HBar, R.Width() - V, HBar);
}

void TTreeGridForm::GetText(PQvNode Node, int Column, String& Text) const {
    const uint32_t Row = Node->Index;
    const uint32_t Hash = RowHash(Row);
    switch (Column) {
        case colOrder: Text = Format(u"SO%.7d", {static_cast<int64_t>(Row) + 1}); break;
        case colCustomer: Text = Customers[Hash % Customers.size()]; break;
        case colRegion: Text = Regions[(Hash >> 4) % Regions.size()]; break;
        case colAmount: Text = Format(u"%.2n", {static_cast<double>((Hash >> 7) % 4000000 + 5000) / 100.0}); break;
        case colDate: Text = OrderDate(Row); break;
        case colStatus: Text = StatusOf(Hash).Text; break;
        case colNote: Text = Notes[(Hash >> 11) % Notes.size()]; break;
        default: Text.clear(); break;
    }
}

void TTreeGridForm::ShowRow(int Row) {
    // Rows are one height, so the row's top is known without a walk.
    FGrid->SetOffsetY(-(Row * RowHeight - (FGrid->ClientHeight() - RowHeight) / 2));
    PQvNode Node = FGrid->GetNodeAt(0, (FGrid->ClientHeight() - RowHeight) / 2 + 1);
    if (Node == nullptr) return;
    FGrid->SetFocusedNode(Node);
    FGrid->SetSelected(Node, true);
}
