// Painting probes on a grid of three columns: dotted grid and tree lines, the expand
// button, the check box, the full-row selection with its frames, texts cut with "..." (at
// whole characters only), and partial repaints that match a full one pixel for pixel.

#include "framework/uQvImgList.h"
#include "framework/uQvPictures.h"
#include "treeview/tree_fixture.h"
#include "treeview/uQvTreeText.h"
#include "treeview/uQvTreeView.h"

namespace {

constexpr TColor GridColor = 15987699, LineColor = 9471874, SelectionColor = 15385233;

uint32_t Rgb(TColor C) {
    const uint32_t V = static_cast<uint32_t>(ColorToRGB(C));
    return (V & 0xFF) << 16 | (V & 0xFF00) | (V >> 16 & 0xFF);
}

class TreePaintTest : public TreeTest {
protected:
    void SetUp() override {
        TreeTest::SetUp();
        RegisterQvTreeView();
    }
    // Three columns (main, a long text, one narrower than "..."), rows of "Row n".
    TQvStringTree* NewGrid(int Width, int Height, int Rows, int ColumnWidth) {
        auto* T = NewTree<TQvStringTree>(Width, Height);
        T->SetColor(clWhite);
        T->Colors()->SetColor(tciGridLineColor, GridColor);
        T->Colors()->SetColor(tciTreeLineColor, LineColor);
        T->Colors()->SetColor(tciFocusedSelectionColor, SelectionColor);
        T->Colors()->SetColor(tciFocusedSelectionBorderColor, clRed);
        TQvTreeOptions* O = T->TreeOptions();
        O->SetPaintOptions(O->PaintOptions().Include(toShowHorzGridLines).Include(toShowVertGridLines));
        O->SetSelectionOptions(O->SelectionOptions().Include(toFullRowSelect));
        O->SetMiscOptions(O->MiscOptions().Include(toCheckSupport));
        for (int W : {ColumnWidth, ColumnWidth, 12}) T->Header()->Columns()->Add()->SetWidth(W);
        T->OnGetText = [](TObject*, PQvNode N, int Column, TQvTextType, String& Text) {
            Text = Column == 0 ? u"Row " + String(1, char16_t(u'0' + N->Index % 10))
                               : u"The quick brown fox jumps over the lazy dog";
        };
        for (int I = 0; I < Rows; ++I) T->AddChild(nullptr);
        T->AddChild(T->GetFirst());
        return T;
    }
    static std::unique_ptr<TBitmap> Paint(TQvBaseTree* T) {
        auto B = std::make_unique<TBitmap>(T->ClientWidth(), T->ClientHeight());
        T->PaintTree(B->Canvas(), Rect(0, 0, B->Width(), B->Height()), TPoint{0, 0});
        return B;
    }
};

TEST_F(TreePaintTest, GridLinesSelectionCheckBoxesButtonsAndCutTexts) {
    auto* T = NewGrid(300, 100, 3, 100);
    PQvNode R0 = T->GetFirst(), R1 = T->GetNextSibling(R0);
    T->SetCheckType(R0, ctCheckBox);
    T->SetCheckState(R0, csCheckedNormal);
    T->SetFocusedNode(R1);
    T->SetSelected(R1, true);
    std::vector<std::pair<int, String>> Drawn;
    T->OnDrawText = [&](TObject*, TCanvas* C, PQvNode N, int Column, const String& S, const TRect& R, bool&) {
        if (N != R1) return;
        Drawn.emplace_back(Column, S);
        if (Column == 1) {
            EXPECT_LE(C->TextWidth(S), R.Width());
        }
    };
    const auto B = Paint(T);
    const auto Px = [&](int X, int Y) { return B->ScanLine(Y)[X] & 0xFFFFFF; };
    const auto Dot = [&](int X, int Y, TColor Line, TColor Back) {
        return Px(X, Y) == Rgb((X + Y) % 2 ? Line : Back);
    };
    // The last pixel row of row 2 and the last pixel column of its first cell are dotted.
    for (int X = 40; X < 60; ++X) EXPECT_TRUE(Dot(X, 59, GridColor, clWhite)) << X;
    for (int Y = 42; Y < 58; ++Y) EXPECT_TRUE(Dot(99, Y, GridColor, clWhite)) << Y;
    // Row 1 is selected across the row: every cell framed in the border colour, filled
    // above the grid line.
    EXPECT_EQ(Px(95, 21), Rgb(SelectionColor));
    EXPECT_EQ(Px(98, 25), Rgb(clRed));
    EXPECT_EQ(Px(100, 25), Rgb(clRed));
    EXPECT_EQ(Px(150, 20), Rgb(clRed));
    EXPECT_TRUE(Dot(150, 39, GridColor, clWhite));
    // Tree lines at half the indent: row 0 from its middle down, row 1 the whole height.
    EXPECT_TRUE(Dot(9, 16, LineColor, clWhite));
    EXPECT_TRUE(Dot(9, 17, LineColor, clWhite));
    EXPECT_TRUE(Dot(9, 3, clWhite, clWhite));
    // Row 0's collapsed button (5..13) with its plus sign, and the ticked check box at
    // 22 (margin 4 after one level of 18) in the 16-pixel image from y 2.
    EXPECT_EQ(Px(5, 9), Rgb(clBtnShadow));
    EXPECT_EQ(Px(9, 7), Rgb(clWindowText));
    EXPECT_EQ(Px(7, 9), Rgb(clWindowText));
    EXPECT_EQ(Px(6, 6), Rgb(clWhite));
    EXPECT_EQ(Px(23, 8), Rgb(clBtnShadow));
    EXPECT_EQ(Px(26, 9), Rgb(clWindowText));
    EXPECT_EQ(Px(25, 4), Rgb(clWindow));
    // The long text ends in "..." after its longest fitting prefix; the cell narrower
    // than "..." gets nothing.
    ASSERT_EQ(Drawn.size(), 3u);
    const String Long = u"The quick brown fox jumps over the lazy dog";
    const String& Cut = Drawn[1].second;
    ASSERT_GT(Cut.size(), 3u);
    EXPECT_EQ(Cut.substr(Cut.size() - 3), u"...");
    EXPECT_EQ(Long.substr(0, Cut.size() - 3), Cut.substr(0, Cut.size() - 3));
    TBitmap Probe(1, 1);
    Probe.Canvas()->SetFont(T->Font());
    EXPECT_GT(Probe.Canvas()->TextWidth(Long.substr(0, Cut.size() - 2) + u"..."), 100 - 1 - 4 - 8);
    EXPECT_EQ(Drawn[2], (std::pair<int, String>{2, u""}));
    // With hot tracking the button under the mouse turns hot.
    T->TreeOptions()->SetPaintOptions(T->TreeOptions()->PaintOptions().Include(toHotTrack));
    MoveTo(T, 9, 9);
    EXPECT_EQ(Paint(T)->ScanLine(9)[5] & 0xFFFFFF, Rgb(clHighlight));
    MoveTo(T, 150, 9);
    EXPECT_EQ(Paint(T)->ScanLine(9)[5] & 0xFFFFFF, Rgb(clBtnShadow));
}

TEST_F(TreePaintTest, PartialRepaintsEqualAFullOne) {
    auto* T = NewGrid(300, 100, 12, 150);
    T->Header()->Columns()->Items(0)->SetColor(clYellow);
    T->SetExpanded(T->GetFirst(), true);
    PQvNode F = T->GetNext(T->GetNext(T->GetFirst()));
    T->SetFocusedNode(F);
    T->SetSelected(F, true);
    T->SetOffsetXY(-3, -7);
    ASSERT_EQ(T->OffsetX(), -3);
    const auto Full = Paint(T);
    TBitmap Tiles(300, 100);
    for (int X0 : {0, 37, 151})
        for (int Y0 : {0, 13, 50}) {
            const int X1 = X0 == 151 ? 300 : X0 == 37 ? 151 : 37, Y1 = Y0 == 50 ? 100 : Y0 == 13 ? 50 : 13;
            T->PaintTree(Tiles.Canvas(), Rect(X0, Y0, X1, Y1), TPoint{X0, Y0});
        }
    int Differ = 0;
    for (int Y = 0; Y < 100; ++Y)
        for (int X = 0; X < 300; ++X)
            Differ +=
                (Full->PixelData()[Y * 300 + X] & 0xFFFFFF) != (Tiles.PixelData()[Y * 300 + X] & 0xFFFFFF);
    EXPECT_EQ(Differ, 0);
    // Below the last row each column keeps its colour.
    T->SetOffsetXY(0, 0);
    auto* Short = NewGrid(300, 100, 1, 120);
    Short->Header()->Columns()->Items(0)->SetColor(clYellow);
    const auto B = Paint(Short);
    EXPECT_EQ(B->ScanLine(90)[50] & 0xFFFFFF, Rgb(clYellow));
    EXPECT_EQ(B->ScanLine(90)[150] & 0xFFFFFF, 0xFFFFFFu);
    // A background handler paints that area instead, in client coordinates.
    Short->OnPaintBackground = [](TObject*, TCanvas* C, const TRect& R, bool& Handled) {
        EXPECT_EQ(R, Rect(0, 20, 300, 100));  // below the one row (its child is collapsed)
        C->Brush()->SetColor(clLime);
        C->FillRect(R);
        Handled = true;
    };
    EXPECT_EQ(Paint(Short)->ScanLine(90)[50] & 0xFFFFFF, 0x00FF00u);
}

TEST_F(TreePaintTest, RubberBandsSelectTheRowsTheyCrossAndShowWhileDragged) {
    auto* T = NewTree<TQvStringTree>(200, 100);
    T->SetColor(clWhite);
    T->SetDrawSelectionMode(smBlendedRectangle);
    T->Colors()->SetColor(tciSelectionRectangleBlendColor, clBlue);
    T->Colors()->SetColor(tciSelectionRectangleBorderColor, clRed);
    T->TreeOptions()->SetSelectionOptions(TQvSelectionOptions{toMultiSelect});
    const std::vector<PQvNode> R = AddRows(T, 3);
    const auto At = [&](int X, int Y) { return T->ClientToScreen(TPoint{X, Y}); };
    // From the empty space below the rows up into row 1.
    Headless->MouseMove(At(150, 90).X, At(150, 90).Y);
    Headless->Press();
    Headless->MouseMove(At(120, 25).X, At(120, 25).Y);
    RunScript();
    EXPECT_EQ(T->SelectedNodes(), (std::vector<PQvNode>{R[1], R[2]}));
    const auto B = Paint(T);
    EXPECT_EQ(B->ScanLine(80)[130] & 0xFFFFFF, 0x7F7FFFu);   // blue over white at 128 of 255
    EXPECT_EQ(B->ScanLine(80)[120] & 0xFFFFFF, Rgb(clRed));  // the frame
    EXPECT_EQ(B->ScanLine(45)[110] & 0xFFFFFF, 0xFFFFFFu);   // outside the band
    Headless->Release();
    RunScript();
    EXPECT_EQ(Paint(T)->ScanLine(80)[130] & 0xFFFFFF, 0xFFFFFFu);  // gone with the release
    // With Ctrl the band adds to the selection; Esc gives back the one it started from.
    Headless->KeyDown(VK_CONTROL);
    Headless->MouseMove(At(150, 95).X, At(150, 95).Y);
    Headless->Press();
    Headless->MouseMove(At(150, 5).X, At(150, 5).Y);
    Headless->KeyUp(VK_CONTROL);
    RunScript();
    EXPECT_EQ(T->SelectedCount(), 3u);
    Key(VK_ESCAPE);
    EXPECT_EQ(T->SelectedNodes(), (std::vector<PQvNode>{R[1], R[2]}));
    Headless->Release();
    RunScript();
}

TEST_F(TreePaintTest, ImagesComeBeforeTheTextAndGoWithTheirList) {
    auto* T = NewTree<TQvStringTree>(200, 100);
    auto* Images = new TImageList(Form);
    Images->SetSize(16, 16);
    std::vector<uint32_t> Red(16 * 16, 0xFFFF0000u);
    Images->AddPixels(Red.data(), 16, 16, 16 * 4);
    T->SetImages(Images);
    T->OnGetImageIndex = [](TObject*, PQvNode, TQvImageKind Kind, int, bool&, int& Index) {
        if (Kind == ikNormal) Index = 0;
    };
    T->OnGetText = [](TObject*, PQvNode, int, TQvTextType, String& Text) { Text = u"Row"; };
    PQvNode N = T->AddChild(nullptr);
    // After the margin and one level, 16 + 2 pixels; centred on the row (top 2).
    EXPECT_EQ(T->GetDisplayRect(N, -1, true).Left, 4 + 18 + 18);
    EXPECT_TRUE(T->GetHitTestInfoAt(30, 10).HitPositions.Contains(hiOnNormalIcon));
    const auto B = Paint(T);
    EXPECT_EQ(B->ScanLine(2)[22] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(B->ScanLine(17)[37] & 0xFFFFFF, 0xFF0000u);
    EXPECT_NE(B->ScanLine(1)[22] & 0xFFFFFF, 0xFF0000u);
    delete Images;  // the tree forgets the list
    EXPECT_EQ(T->Images(), nullptr);
    EXPECT_EQ(T->GetDisplayRect(N, -1, true).Left, 4 + 18);
}

TEST_F(TreePaintTest, TooltipHintsShowOnlyTextsThatAreCutOff) {
    auto* T = NewTree<TQvStringTree>(200, 100);
    T->SetHintMode(hmTooltip);
    T->SetShowHint(true);
    T->Header()->Columns()->Add()->SetWidth(90);
    const String Long = u"A text far too long for its column";
    T->OnGetText = [&](TObject*, PQvNode N, int, TQvTextType, String& Text) {
        Text = N->Index == 0 ? u"Fits" : Long;
    };
    AddRows(T, 2);
    const auto Hint = [&](int X, int Y, String& Text) {
        THintInfo Info;
        Info.CursorPos = TPoint{X, Y};
        Info.HintStr = u"tree";
        const bool Shows = T->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info)) == 0;
        Text = Info.HintStr;
        return Shows;
    };
    String Text;
    EXPECT_FALSE(Hint(30, 10, Text));  // "Fits" fits
    EXPECT_TRUE(Hint(30, 30, Text));
    EXPECT_EQ(Text, Long);
    EXPECT_FALSE(Hint(150, 30, Text));  // right of the column: no text there
    T->SetHintMode(hmDefault);          // the tree's own hint
    EXPECT_TRUE(Hint(30, 10, Text));
    EXPECT_EQ(Text, u"tree");
}

TEST(TreeTextTest, TextsAreCutBetweenWholeCharactersOnly) {
    // Every UTF-16 unit one pixel wide; "..." three.
    const auto Width = [](const String& S) { return static_cast<int>(S.size()); };
    EXPECT_EQ(QvShortenText(u"abcdefgh", 6, 3, Width), u"abc...");
    EXPECT_EQ(QvShortenText(u"abcdefgh", 3, 3, Width), u"...");
    EXPECT_EQ(QvShortenText(u"abcdefgh", 2, 3, Width), u"");
    EXPECT_EQ(QvShortenText(u"abcdefgh", 0, 0, Width), u"");
    // A surrogate pair, an accent, a flag (two regional indicators) and a family joined by
    // zero-width joiners each stay whole.
    EXPECT_EQ(QvShortenText(u"a\U0001F600bc", 5, 3, Width), u"a...");
    EXPECT_EQ(QvShortenText(u"ae\u0301bcd", 5, 3, Width), u"a...");
    EXPECT_EQ(QvShortenText(u"\U0001F1E8\U0001F1F3\U0001F1E8\U0001F1F3", 8, 3, Width),
              u"\U0001F1E8\U0001F1F3...");
    const String Family = u"\U0001F468\u200D\U0001F469\u200D\U0001F467";
    EXPECT_EQ(QvGraphemeBoundaries(Family + u"x"),
              (std::vector<size_t>{0, Family.size(), Family.size() + 1}));
    EXPECT_EQ(QvGraphemeBoundaries(u"a\r\nb"), (std::vector<size_t>{0, 1, 3, 4}));
    // A lone surrogate is a character of its own, never half of one.
    EXPECT_EQ(QvGraphemeBoundaries(String(u"a") + char16_t(0xD800) + u"b"),
              (std::vector<size_t>{0, 1, 2, 3}));
}

}  // namespace
