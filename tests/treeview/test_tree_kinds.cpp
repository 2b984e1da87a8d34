// The string and draw trees: texts from OnGetText measured for hit testing and drawn
// unless OnDrawText takes over, owner drawing in row coordinates, the selection fill, the
// asked data size, and a tree read from a stored layout.

#include <cstring>

#include "framework/uQvFormReader.h"
#include "framework/uQvPictures.h"
#include "platform/uQvScreen.h"
#include "treeview/tree_fixture.h"
#include "treeview/uQvTreeView.h"

namespace {

class TreeKindsTest : public TreeTest {
protected:
    void SetUp() override {
        TreeTest::SetUp();
        RegisterQvTreeView();
    }
    // The composed screen's pixel at a client point of C, as 0x00RRGGBB.
    static uint32_t At(const TControl* C, int X, int Y) {
        const TPoint S = C->ClientToScreen(TPoint{X, Y});
        const RECT B = QvScreenBounds();
        return QvComposedScreen().Pixel(S.X - B.Left, S.Y - B.Top) & 0xFFFFFF;
    }
    // Whether any pixel of a client rectangle differs from Background.
    static bool Inked(const TControl* C, TRect R, uint32_t Background) {
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X)
                if (At(C, X, Y) != Background) return true;
        return false;
    }
    static uint32_t Rgb(TColor C) {
        const uint32_t V = static_cast<uint32_t>(ColorToRGB(C));
        return (V & 0xFF) << 16 | (V & 0xFF00) | (V >> 16 & 0xFF);
    }
};

TEST_F(TreeKindsTest, StringTreesMeasureAndDrawTheirTexts) {
    auto* T = NewTree<TQvStringTree>();
    T->SetColor(clWhite);
    T->OnGetText = [](TObject*, PQvNode N, int Column, TQvTextType, String& Text) {
        EXPECT_EQ(Column, -1);
        Text = N->Index == 0 ? u"Hello" : u"x";
    };
    bool DrawnByHandler = false;
    T->OnDrawText = [&](TObject*, TCanvas*, PQvNode N, int, const String& Text, const TRect& R, bool& Default) {
        if (N->Index != 1) return;
        EXPECT_EQ(Text, u"x");
        EXPECT_EQ(R.Top, 0);  // row coordinates
        DrawnByHandler = true;
        Default = false;
    };
    const std::vector<PQvNode> R = AddRows(T, 2);
    ProcessMessages();
    const int Width = T->NodeWidth(R[0], -1);
    TBitmap Probe(1, 1);
    Probe.Canvas()->SetFont(T->Font());
    EXPECT_EQ(Width, Probe.Canvas()->TextWidth(u"Hello") + 8);
    // The text starts after indentation and margin: 22.
    EXPECT_TRUE(T->GetHitTestInfoAt(23, 10).HitPositions.Contains(hiOnItemLabel));
    EXPECT_TRUE(T->GetHitTestInfoAt(22 + Width, 10).HitPositions.Contains(hiOnItemRight));
    EXPECT_EQ(T->GetDisplayRect(R[0], -1, true), Rect(22, 0, 22 + Width, 20));
    EXPECT_TRUE(Inked(T, Rect(26, 2, 22 + Width, 18), 0xFFFFFF));
    EXPECT_TRUE(DrawnByHandler);

    // The handler drew nothing instead of the text: the row background only.
    EXPECT_FALSE(Inked(T, Rect(22, 20, 200, 40), 0xFFFFFF));
    // A focused selected row fills its text's width with the focused selection colour.
    T->SetFocusedNode(R[1]);
    T->SetSelected(R[1], true);
    ProcessMessages();
    EXPECT_EQ(At(T, 24, 30), Rgb(T->Colors()->FocusedSelectionColor()));
    EXPECT_EQ(At(T, 150, 30), 0xFFFFFFu);
    EXPECT_EQ(At(T, 10, 30), 0xFFFFFFu);
}

TEST_F(TreeKindsTest, DrawTreesPaintEveryRowInItsOwnCoordinates) {
    auto* T = NewTree<TQvDrawTree>();
    std::vector<PQvNode> Painted;
    T->OnDrawNode = [&](TObject*, const TQvPaintInfo& P) {
        Painted.push_back(P.Node);
        EXPECT_EQ(P.CellRect.Top, 0);
        EXPECT_EQ(P.CellRect.Bottom, P.Node->NodeHeight);
        P.Canvas->Brush()->SetColor(P.Node->Index % 2 ? clRed : clBlue);
        P.Canvas->FillRect(P.CellRect);
    };
    int Asked = 0;
    T->OnGetNodeWidth = [&](TObject*, TCanvas*, PQvNode, int, int& Width) {
        EXPECT_EQ(Width, 8);
        Width = 50;
        ++Asked;
    };
    const std::vector<PQvNode> R = AddRows(T, 8);
    T->SetOffsetY(-30);  // rows 1 (half) to 6 show
    Painted.clear();
    T->Invalidate();
    ProcessMessages();
    EXPECT_EQ(Painted, (std::vector<PQvNode>{R[1], R[2], R[3], R[4], R[5], R[6]}));
    EXPECT_EQ(At(T, 100, 5), 0xFF0000u);   // row 1, odd
    EXPECT_EQ(At(T, 100, 15), 0x0000FFu);  // row 2
    EXPECT_EQ(T->RangeX(), 22 + 50);
    EXPECT_GT(Asked, 0);
}

TEST_F(TreeKindsTest, AskedDataSizeAndStoredLayouts) {
    auto* T = NewTree<TQvStringTree>();
    T->OnGetNodeDataSize = [](TObject*, int& Size) {
        EXPECT_EQ(Size, static_cast<int>(sizeof(void*)));
        Size = 32;
    };
    for (int I = 0; I < 3; ++I) {
        auto* Bytes = static_cast<unsigned char*>(T->GetNodeData(T->AddChild(nullptr)));
        for (int K = 0; K < 32; ++K) ASSERT_EQ(Bytes[K], 0);
    }
    EXPECT_EQ(T->NodeDataSize(), 32);

    TComponent* C = ReadNewComponentText(u"object vstList: TQvStringTree\n"
                                         u"  DefaultNodeHeight = 25\n"
                                         u"  Margin = 0\n"
                                         u"  HintMode = hmTooltip\n"
                                         u"  BorderStyle = bsNone\n"
                                         u"  Colors.BorderColor = 15987699\n"
                                         u"  Colors.HotColor = clBlack\n"
                                         u"  TreeOptions.PaintOptions = [toHotTrack, toShowButtons]\n"
                                         u"  TreeOptions.SelectionOptions = [toFullRowSelect]\n"
                                         u"  ScrollBarOptions.VerticalIncrement = 30\n"
                                         u"end\n",
                                         Form);
    auto* S = dynamic_cast<TQvStringTree*>(C);
    ASSERT_NE(S, nullptr);
    EXPECT_EQ(S->DefaultNodeHeight(), 25);
    EXPECT_EQ(S->Margin(), 0);
    EXPECT_EQ(S->HintMode(), hmTooltip);
    EXPECT_EQ(S->BorderStyle(), bsNone);
    EXPECT_EQ(S->Colors()->BorderColor(), 15987699);
    EXPECT_EQ(S->Colors()->GetColor(tciHotColor), clBlack);
    EXPECT_EQ(S->TreeOptions()->PaintOptions(), (TQvPaintOptions{toHotTrack, toShowButtons}));
    EXPECT_EQ(S->TreeOptions()->SelectionOptions(), TQvSelectionOptions{toFullRowSelect});
    EXPECT_EQ(S->TreeOptions()->MiscOptions(), DefaultMiscOptions);
    EXPECT_EQ(S->ScrollBarOptions()->VerticalIncrement(), 30);
    EXPECT_TRUE(S->TabStop());
}

}  // namespace
