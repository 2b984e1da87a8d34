// The header and its columns: geometry in display order with hidden and moved columns,
// the auto-size column, columns read from a stored layout, sorting by header clicks, and
// resizing and moving columns with the mouse.

#include <climits>
#include <string>

#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"
#include "framework/uQvPictures.h"
#include "platform/uQvScreen.h"
#include "treeview/tree_fixture.h"
#include "treeview/uQvTreeView.h"

namespace {

class TreeHeaderTest : public TreeTest {
protected:
    void SetUp() override {
        TreeTest::SetUp();
        RegisterQvTreeView();
    }
    static TQvTreeColumn* AddColumn(TQvBaseTree* T, int Width, const String& Text = u"") {
        TQvTreeColumn* C = T->Header()->Columns()->Add();
        C->SetWidth(Width);
        C->SetText(Text);
        return C;
    }
};

TEST_F(TreeHeaderTest, ColumnsLayOutInDisplayOrderAndTheAutoSizeColumnTakesTheRest) {
    auto* T = NewTree<TQvStringTree>(100, 100);
    TQvTreeColumns* Cols = T->Header()->Columns();
    EXPECT_EQ(T->Header()->MainColumn(), -1);
    AddColumn(T, 50);
    AddColumn(T, 60);
    AddColumn(T, 70);
    EXPECT_EQ(T->Header()->MainColumn(), 0);
    Cols->Items(1)->SetOptions(Cols->Items(1)->Options().Exclude(coVisible));
    Cols->Items(2)->SetPosition(0);  // order: 2, 0, (1 hidden)
    EXPECT_EQ(Cols->ColumnFromPosition(0), 2);
    EXPECT_EQ(Cols->Items(0)->Position(), 1);
    EXPECT_EQ(Cols->Items(1)->Position(), 2);
    EXPECT_EQ(Cols->TotalWidth(), 120);
    EXPECT_EQ(T->RangeX(), 120);
    int L, R;
    EXPECT_EQ(Cols->ColumnFromX(69, L, R), 2);
    EXPECT_EQ(Cols->ColumnFromX(70, L, R), 0);
    EXPECT_EQ(Rect(L, 0, R, 0), Rect(70, 0, 120, 0));
    EXPECT_EQ(Cols->ColumnFromX(120, L, R), -1);
    EXPECT_EQ(Cols->NextVisibleColumn(2), 0);
    EXPECT_EQ(Cols->NextVisibleColumn(0), -1);
    // Scrolled: bounds, hit tests and display rectangles move with the offset.
    T->AddChild(nullptr);
    T->SetOffsetX(-15);
    Cols->GetColumnBounds(0, L, R);
    EXPECT_EQ(Rect(L, 0, R, 0), Rect(55, 0, 105, 0));
    EXPECT_EQ(T->GetHitTestInfoAt(56, 5).HitColumn, 0);
    EXPECT_EQ(T->GetHitTestInfoAt(54, 5).HitColumn, 2);
    EXPECT_EQ(T->GetDisplayRect(T->GetFirst(), 2, false), Rect(-15, 0, 55, 20));
    // Widths keep to their limits.
    Cols->Items(0)->SetMaxWidth(40);
    EXPECT_EQ(Cols->Items(0)->Width(), 40);
    Cols->Items(0)->SetWidth(5);
    EXPECT_EQ(Cols->Items(0)->Width(), 10);

    // Auto size: column 1 of a 757-pixel tree whose column 0 is 30 wide.
    auto* A = NewTree<TQvStringTree>(757, 100);
    std::vector<int> Resized;
    A->OnColumnResize = [&](TQvTreeHeader*, int Column) { Resized.push_back(Column); };
    AddColumn(A, 30);
    AddColumn(A, 50);
    A->Header()->SetAutoSizeIndex(1);
    A->Header()->SetOptions(A->Header()->Options().Include(hoAutoResize));
    TQvTreeColumns* AC = A->Header()->Columns();
    EXPECT_EQ(AC->Items(1)->Width(), 727);
    A->SetWidth(700);
    EXPECT_EQ(AC->Items(1)->Width(), 670);
    A->SetWidth(20);
    EXPECT_EQ(AC->Items(1)->Width(), 10);                // its MinWidth
    EXPECT_EQ(Resized, (std::vector<int>{0, 1, 1, 1}));  // 0: set to 30
    // An index beyond the columns sizes the last one; widening column 0 narrows it.
    A->SetWidth(300);
    A->Header()->SetAutoSizeIndex(5);
    AC->Items(0)->SetWidth(100);
    EXPECT_EQ(AC->Items(1)->Width(), 200);
    // Deleting the main column moves the main column into range.
    A->Header()->SetMainColumn(1);
    EXPECT_EQ(A->FocusedColumn(), 1);
    AC->Delete(1);
    EXPECT_EQ(A->Header()->MainColumn(), 0);

    // Widths beyond the int range saturate instead of wrapping: the content ends at
    // 2,147,483,647, scrolling there works, and a row paints into a window-sized buffer.
    auto* Wide = NewTree<TQvStringTree>(200, 100);
    for (int I = 0; I < 3; ++I) {
        TQvTreeColumn* C = Wide->Header()->Columns()->Add();
        C->SetMaxWidth(INT_MAX);
        C->SetWidth(1000000000);
    }
    Wide->AddChild(nullptr);
    TQvTreeColumns* WC = Wide->Header()->Columns();
    EXPECT_EQ(WC->TotalWidth(), INT_MAX);
    EXPECT_EQ(WC->Items(2)->Left(), 2000000000);
    EXPECT_EQ(Wide->RangeX(), INT_MAX);
    Wide->SetOffsetX(-INT_MAX);
    EXPECT_EQ(Wide->OffsetX(), 200 - INT_MAX);
    EXPECT_EQ(Wide->GetHitTestInfoAt(100, 5).HitColumn, 2);
    WC->GetColumnBounds(2, L, R);
    EXPECT_EQ(Rect(L, 0, R, 0), Rect(2000000000 + 200 - INT_MAX, 0, 200, 0));  // ends at the client edge
    TBitmap B(200, 100);
    Wide->PaintTree(B.Canvas(), Rect(0, 0, 200, 100), TPoint{0, 0});
    Wide->ChangeScale(3, 2);  // toAutoChangeScale: every width grows, none wraps
    EXPECT_EQ(WC->Items(0)->Width(), 1500000000);
}

TEST_F(TreeHeaderTest, StoredLayoutsKeepColumnsAndTheirOrder) {
    TComponent* C = ReadNewComponentText(
        u"object vstTable: TQvDrawTree\n"
        u"  Header.AutoSizeIndex = 1\n"
        u"  Header.Background = clWhite\n"
        u"  Header.Height = 36\n"
        u"  Header.Options = [hoAutoResize, hoOwnerDraw, hoVisible]\n"
        u"  Header.Style = hsPlates\n"
        u"  Header.Font.Color = 5722185\n"
        u"  Header.Columns = <\n"
        u"    item\n"
        u"      Options = [coEnabled, coParentBidiMode, coParentColor, coVisible]\n"
        u"      Position = 1\n"
        u"      Style = vsOwnerDraw\n"
        u"      Width = 30\n"
        u"    end\n"
        u"    item\n"
        u"      Position = 0\n"
        u"      Text = '\u540d\u79f0'\n"
        u"      Width = 120\n"
        u"    end>\n"
        u"  Header.MainColumn = 1\n"
        u"end\n",
        Form);
    auto* T = dynamic_cast<TQvDrawTree*>(C);
    ASSERT_NE(T, nullptr);
    TQvTreeHeader* H = T->Header();
    TQvTreeColumns* Cols = H->Columns();
    ASSERT_EQ(Cols->Count(), 2);
    EXPECT_EQ(H->Height(), 36);
    EXPECT_EQ(H->Style(), hsPlates);
    EXPECT_EQ(H->Background(), clWhite);
    EXPECT_EQ(H->Font()->Color(), 5722185);
    EXPECT_EQ(H->MainColumn(), 1);
    EXPECT_FALSE(Cols->Items(0)->Options().Contains(coAllowClick));
    EXPECT_EQ(Cols->Items(0)->Style(), vsOwnerDraw);
    EXPECT_EQ(Cols->ColumnFromPosition(0), 1);
    EXPECT_EQ(Cols->Items(1)->Width(), 170);  // the auto-size column
    EXPECT_EQ(Cols->Items(0)->Left(), 170);
    // Written out and read again, the layout is the same.
    const String Text = WriteComponentText(T);
    T->SetName(u"vstOld");
    auto* Copy = dynamic_cast<TQvDrawTree*>(ReadNewComponentText(Text, Form));
    ASSERT_NE(Copy, nullptr);
    EXPECT_EQ(WriteComponentText(Copy), Text);
    EXPECT_EQ(Copy->Header()->Columns()->Items(1)->Text(), u"\u540d\u79f0");
}

TEST_F(TreeHeaderTest, HeaderClicksSortAndTheMouseResizesAndMovesColumns) {
    auto* T = NewTree<TQvStringTree>(300, 120);
    TQvTreeHeader* H = T->Header();
    H->SetHeight(20);
    H->SetOptions(H->Options().Include(hoVisible).Include(hoHeaderClickAutoSort));
    EXPECT_EQ(T->ClientHeight(), 100);  // the header sits above the rows, in the frame
    TQvTreeColumns* Cols = H->Columns();
    AddColumn(T, 50, u"No");
    AddColumn(T, 100, u"Name");
    AddColumn(T, 100, u"Size");
    Cols->Items(0)->SetOptions(Cols->Items(0)->Options().Exclude(coAllowClick));
    Cols->Items(2)->SetDefaultSortDirection(sdDescending);
    ProcessMessages();
    const auto Screen = [&](int X, int Y) {
        const TPoint S = T->ClientToScreen(TPoint{X, Y});
        const RECT B = QvScreenBounds();
        return QvComposedScreen().Pixel(S.X - B.Left, S.Y - B.Top) & 0xFFFFFF;
    };
    const uint32_t Face = ColorToRGB(clBtnFace);
    EXPECT_EQ(Screen(120, -10),
              (Face & 0xFF) << 16 | (Face & 0xFF00) | (Face >> 16 & 0xFF));  // a column's middle
    const auto Key = [&](PQvNode N) { return *T->GetNodeData<int>(N); };
    for (int K : {2, 3, 1}) *T->GetNodeData<int>(T->AddChild(nullptr)) = K;
    T->OnCompareNodes = [&](TObject*, PQvNode A, PQvNode B, int, int& Result) { Result = Key(A) - Key(B); };
    std::vector<int> Clicked;
    T->OnHeaderClick = [&](TQvTreeHeader*, const TQvHeaderHitInfo& Hit) { Clicked.push_back(Hit.Column); };
    const auto Order = [&] {
        std::vector<int> Out;
        for (PQvNode N = T->GetFirst(); N != nullptr; N = T->GetNextSibling(N)) Out.push_back(Key(N));
        return Out;
    };
    ClickAt(T, 100, -10);  // Name: sorts ascending by it
    EXPECT_EQ(H->SortColumn(), 1);
    EXPECT_EQ(H->SortDirection(), sdAscending);
    EXPECT_EQ(Order(), (std::vector<int>{1, 2, 3}));
    ClickAt(T, 100, -10);
    EXPECT_EQ(H->SortDirection(), sdDescending);
    EXPECT_EQ(Order(), (std::vector<int>{3, 2, 1}));
    ClickAt(T, 100, -10);
    EXPECT_EQ(H->SortDirection(), sdAscending);
    ClickAt(T, 200, -10);  // another column takes its own default direction
    EXPECT_EQ(H->SortColumn(), 2);
    EXPECT_EQ(H->SortDirection(), sdDescending);
    ClickAt(T, 20, -10);  // no coAllowClick: neither pressed nor sorted
    EXPECT_EQ(H->SortColumn(), 2);
    EXPECT_EQ(Clicked, (std::vector<int>{1, 1, 1, 2}));
    // A press and a release on different columns is no click.
    Headless->Drag(T->ClientToScreen(TPoint{100, -10}).X, T->ClientOrigin().Y - 10,
                   T->ClientToScreen(TPoint{80, -10}).X, T->ClientOrigin().Y - 10);
    RunScript();
    EXPECT_EQ(Clicked.size(), 4u);

    // Column 1's right border (x 150) dragged 40 pixels right, then far left.
    const int Y = T->ClientOrigin().Y - 10;
    const int X0 = T->ClientOrigin().X;
    Headless->Drag(X0 + 150, Y, X0 + 190, Y);
    RunScript();
    EXPECT_EQ(Cols->Items(1)->Width(), 140);
    EXPECT_EQ(T->RangeX(), 290);
    Headless->Drag(X0 + 190, Y, X0 + 20, Y);
    RunScript();
    EXPECT_EQ(Cols->Items(1)->Width(), 10);
    Cols->Items(1)->SetWidth(100);
    // Column 0 dragged onto the right half of column 2: order Name, Size, No. On the
    // way, owner drawing hears of the hover and the drop mark on column 2.
    H->SetOptions(H->Options().Include(hoOwnerDraw).Include(hoHotTrack));
    for (int I = 0; I < 3; ++I) Cols->Items(I)->SetStyle(vsOwnerDraw);
    std::vector<std::string> Marks;
    T->OnHeaderDraw = [&](TQvTreeHeader*, TCanvas*, TQvTreeColumn* C, const TRect&, bool Hover, bool Pressed,
                          TQvDropMarkMode Drop) {
        Marks.push_back(std::to_string(C->Index()) + (Hover ? "h" : "") + (Pressed ? "p" : "") +
                        (Drop == dmmLeft    ? "<"
                         : Drop == dmmRight ? ">"
                                            : ""));
    };
    Headless->MouseMove(X0 + 20, Y);
    Headless->Press();
    RunScript();
    // Column 0 cannot be clicked: pressing it shows no press.
    EXPECT_EQ(std::vector<std::string>(Marks.end() - 3, Marks.end()),
              (std::vector<std::string>{"0h", "1", "2"}));
    Headless->MouseMove(X0 + 230, Y);
    RunScript();
    EXPECT_EQ(std::vector<std::string>(Marks.end() - 3, Marks.end()),
              (std::vector<std::string>{"0h", "1", "2>"}));
    Headless->Release();
    RunScript();
    EXPECT_EQ(Cols->ColumnFromPosition(0), 1);
    EXPECT_EQ(Cols->ColumnFromPosition(1), 2);
    EXPECT_EQ(Cols->ColumnFromPosition(2), 0);
    EXPECT_EQ(Cols->Items(0)->Left(), 200);
    EXPECT_EQ(Clicked.size(), 4u);  // a drag clicks nothing
    EXPECT_EQ(Cols->PressedColumn(), -1);
    // A click on a column's check box (Name's, now leftmost) toggles it and sorts nothing.
    H->SetOptions(H->Options().Include(hoShowImages));
    Cols->Items(1)->SetCheckBox(true);
    ClickAt(T, 14, -10);
    EXPECT_EQ(Cols->Items(1)->CheckState(), csCheckedNormal);
    EXPECT_EQ(H->SortColumn(), 2);
    EXPECT_EQ(Clicked, (std::vector<int>{1, 1, 1, 2, 1}));
}

TEST_F(TreeHeaderTest, GridKeysMoveTheFocusedColumnAndFitTheColumns) {
    auto* T = NewTree<TQvStringTree>(200, 100);
    TQvTreeOptions* O = T->TreeOptions();
    O->SetSelectionOptions(TQvSelectionOptions{toExtendedFocus});
    O->SetMiscOptions(O->MiscOptions().Include(toGridExtensions));
    for (int I = 0; I < 3; ++I) AddColumn(T, 60);
    T->OnGetText = [](TObject*, PQvNode, int Column, TQvTextType, String& Text) {
        Text = String(static_cast<size_t>(Column + 1) * 10, u'W');
    };
    const std::vector<PQvNode> R = AddRows(T, 3);
    T->SetFocusedNode(R[0]);
    const auto At = [&](PQvNode N, int C) { return T->FocusedNode() == N && T->FocusedColumn() == C; };
    Key(VK_RIGHT);
    EXPECT_TRUE(At(R[0], 1));
    Key(VK_RIGHT);
    Key(VK_RIGHT);  // no column after the last
    EXPECT_TRUE(At(R[0], 2));
    Key(VK_TAB);  // on into the next row
    EXPECT_TRUE(At(R[1], 0));
    Key(VK_TAB, {VK_SHIFT});
    EXPECT_TRUE(At(R[0], 2));
    Key(VK_HOME);  // the column moves, the row stays
    EXPECT_TRUE(At(R[0], 0));
    Key(VK_END, {VK_CONTROL});
    EXPECT_TRUE(At(R[2], 2));
    Key(VK_PRIOR, {VK_MENU, VK_SHIFT});  // two columns of 60 fit in 200 pixels
    EXPECT_TRUE(At(R[2], 0));
    // Ctrl with the number-pad + fits every column to its widest row; - restores them.
    TQvTreeColumns* Cols = T->Header()->Columns();
    const int Main = T->CellGeometry(R[0], 0).TextLeft() + T->NodeWidth(R[0], 0);
    Key(VK_ADD, {VK_CONTROL});
    EXPECT_EQ(Cols->Items(0)->Width(), Main);
    EXPECT_EQ(Cols->Items(2)->Width(), T->Margin() + T->NodeWidth(R[0], 2));
    EXPECT_GT(Cols->Items(2)->Width(), 60);
    Key(VK_SUBTRACT, {VK_CONTROL});
    EXPECT_EQ(Cols->Items(2)->Width(), 60);
    // A double click on column 1's right border fits that column alone.
    T->Header()->SetHeight(20);
    T->Header()->SetOptions(T->Header()->Options().Include(hoVisible).Include(hoDblClickResize));
    DoubleClickAt(T, 120, -10);
    EXPECT_EQ(Cols->Items(1)->Width(), T->Margin() + T->NodeWidth(R[0], 1));
    EXPECT_EQ(Cols->Items(2)->Width(), 60);
}

TEST_F(TreeHeaderTest, OwnerDrawnHeadersShowTheBackgroundAndWhatTheHandlerDraws) {
    auto* T = NewTree<TQvDrawTree>(200, 100);
    TQvTreeHeader* H = T->Header();
    H->SetOptions(H->Options().Include(hoOwnerDraw).Include(hoVisible));
    H->SetBackground(clWhite);
    H->SetHeight(20);
    AddColumn(T, 60)->SetStyle(vsOwnerDraw);
    AddColumn(T, 60)->SetStyle(vsOwnerDraw);
    AddColumn(T, 50, u"Plain");
    std::vector<TRect> Drawn;
    T->OnHeaderDraw = [&](TQvTreeHeader*, TCanvas* C, TQvTreeColumn* Col, const TRect& R, bool, bool,
                          TQvDropMarkMode) {
        Drawn.push_back(R);
        if (Col->Index() != 1) return;
        C->Brush()->SetColor(clRed);
        C->FillRect(Rect(R.Left + 5, 5, R.Left + 10, 10));
    };
    TBitmap B(200, 20);
    H->Columns()->PaintHeader(B.Canvas(), Rect(0, 0, 200, 20), TPoint{0, 0});
    EXPECT_EQ(Drawn, (std::vector<TRect>{Rect(0, 0, 60, 20), Rect(60, 0, 120, 20)}));
    const auto Px = [&](int X, int Y) { return B.ScanLine(Y)[X] & 0xFFFFFF; };
    EXPECT_EQ(Px(30, 10), 0xFFFFFFu);  // nothing drawn: the background
    EXPECT_EQ(Px(67, 7), 0xFF0000u);
    EXPECT_EQ(Px(190, 10), 0xFFFFFFu);  // right of the columns
    // The plain column is a raised edge: dark at its bottom-right.
    EXPECT_NE(Px(169, 19), 0xFFFFFFu);
}

}  // namespace
