// The skinned message box: each button set with its results for Enter, Esc and the close
// button; the width rules (long text, a row of buttons, the check box); shared captions
// and a freed style; the check box written back; Ctrl+C; the layout at 144 dpi.

#include "controls/uPelluxButton.h"
#include "controls/uPelluxCheckBox.h"
#include "controls/uPelluxLabel.h"
#include "controls/uPelluxMessageBox.h"
#include "controls/uPelluxPanel.h"
#include "forms/uPelluxNCButton.h"
#include "forms/uPelluxNCLabel.h"
#include "framework/uQvControlFind.h"
#include "platform/uQvHighDpi.h"
#include "platform/uQvInput.h"
#include "platform/uQvWinPos.h"
#include "controls/pellux_fixture.h"

namespace {

class MessageBoxTest : public PelluxTest {
protected:
    // The message box open now.
    static TPelluxMessageForm* Open() { return dynamic_cast<TPelluxMessageForm*>(Screen->ActiveForm()); }
    // A box laid out but not shown; freed by the test.
    static TPelluxMessageForm* Laid(const String& Text, int Icon, TQvMsgButtons Buttons, bool Check = false) {
        auto* F = new TPelluxMessageForm(Application, -100000, -100000);
        F->Layout(u"标题", Text, Icon, Check, false, Buttons);
        return F;
    }
    // Once the box has faded in (it lets clicks through while transparent); Then queues
    // what follows the click.
    void ClickLater(std::function<TControl*(TPelluxMessageForm*)> Which, std::function<void()> Then = {}) {
        Headless->Delay(50);
        Headless->Step([this, Which, Then] {
            const TPoint P = QvControlCenter(Which(Open()));
            Headless->Click(P.X, P.Y);
            if (Then) Then();
        });
    }
};

TEST_F(MessageBoxTest, EachButtonSetAnswersEnterAndEscWithItsDefaultAndCancelButtons) {
    struct TCase {
        TQvMsgButtons Buttons;
        TModalResult Enter, Esc;
    };
    const TCase Cases[] = {
        {{}, mrOk, mrOk},
        {{mbOK, mbCancel}, mrOk, mrCancel},
        {{mbYes, mbNo}, mrYes, mrNo},
        {{mbYes, mbNo, mbCancel}, mrYes, mrCancel},
        {{mbAbort, mbRetry, mbIgnore}, mrRetry, mrNone},
    };
    for (const TCase& C : Cases) {
        Headless->Key(VK_RETURN);
        EXPECT_EQ(SkinMessageBox(u"问", u"继续吗？", micQuestion, C.Buttons), C.Enter);
        if (C.Esc == mrNone) {
            // No cancel button: Esc does nothing, the close button answers.
            Headless->Key(VK_ESCAPE);
            ClickLater([](TPelluxMessageForm* F) { return F->Button(mbIgnore); });
            EXPECT_EQ(SkinMessageBox(u"问", u"继续吗？", micError, C.Buttons), mrIgnore);
        } else {
            Headless->Key(VK_ESCAPE);
            EXPECT_EQ(SkinMessageBox(u"问", u"继续吗？", micNone, C.Buttons), C.Esc);
        }
    }
    // The close button of the title bar gives the platform's cancel result.
    Headless->Delay(50);
    Headless->Step([this] {
        const TRect R = Open()->CloseNCButton()->ClientRect();
        RECT W;
        GetWindowRect(Open()->Handle(), &W);
        Headless->Click(W.Left + (R.Left + R.Right) / 2, W.Top + (R.Top + R.Bottom) / 2 + 1);
    });
    EXPECT_EQ(SkinMessageBox(u"问", u"继续吗？", micNone, {mbYes, mbNo}), mrCancel);
    EXPECT_EQ(Screen->FormCount(), 1);  // the boxes are freed
}

TEST_F(MessageBoxTest, TheTextOrTheRowOfButtonsDecidesTheWidthAndTheCheckBoxPushesTheRowRight) {
    // A long single line: text right edge + 60; the icon sits at (10, 15), the text at 65.
    const String Long(60, u'长');
    TPelluxMessageForm* F = Laid(Long, micInfo, {mbOK});
    EXPECT_EQ(F->IconPanel()->BoundsRect(), Bounds(10, 15, 40, 40));
    EXPECT_EQ(F->Msg()->Left(), 65);
    EXPECT_EQ(F->Msg()->Top(), 25);
    EXPECT_EQ(F->ClientWidth(), 60 + F->Msg()->Left() + F->Msg()->Width());
    EXPECT_EQ(F->ClientHeight(), 60 + 27 + F->Msg()->Height());
    // The one OK button is centred.
    EXPECT_EQ(F->Button(mbOK)->Left(), (F->ClientWidth() - 70) / 2);
    F->Free();
    // Five buttons: the row (5 x 70 + 4 x 10) decides; a text with a line break starts
    // level with the icon.
    F = Laid(u"短\n两行", micQuestion, {mbYes, mbNo, mbCancel, mbAbort, mbRetry});
    EXPECT_EQ(F->ClientWidth(), 60 + 390);
    EXPECT_EQ(F->Msg()->Top(), 15);
    EXPECT_EQ(F->Button(mbYes)->Left(), 30);
    EXPECT_EQ(F->Button(mbNo)->Left(), 110);
    EXPECT_EQ(F->Button(mbYes)->Top(), (35 - 27) / 2 + 1);
    F->Free();
    // The check box at the left, three buttons right-aligned 8 pixels from the edge.
    F = Laid(u"短", micNone, {mbYes, mbNo, mbCancel}, true);
    TPelluxCheckBox* Box = F->CheckBox();
    EXPECT_EQ(Box->Left(), 5);
    EXPECT_EQ(Box->Caption(), u"下次不再显示");
    EXPECT_EQ(F->Button(mbCancel)->Left() + 70, F->ClientWidth() - 8);
    EXPECT_GE(F->Button(mbYes)->Left(), Box->Left() + Box->Width());
    EXPECT_EQ(F->ClientWidth(), Box->Width() + 230 + 40);
    F->Free();
    // A caption wider than the box ends in an ellipsis before the close button.
    F = new TPelluxMessageForm(Application, -100000, -100000);
    F->Layout(String(40, u'题'), u"短", micNone, false, false, {mbOK});
    EXPECT_EQ(F->CaptionLabel()->MaxWidth(), F->Width() - 5 - 28);
    EXPECT_EQ(F->CaptionLabel()->EllipsisPosition(), epEndEllipsis);
    F->Free();
}

TEST_F(MessageBoxTest, DefinedCaptionsReachLaterBoxesAndAFreedStyleLeavesTheBuiltInLook) {
    auto* Style = new TPelluxMessageBoxStyle(Form);
    Style->MessageFont()->SetName(u"微软雅黑");
    Style->ButtonPictures()->SetImage(u"an2");
    Style->SetDefineOKButtonText(u"OK");
    Style->SetHideLine(true);
    TPelluxMessageForm* F = Laid(u"文字", micNone, {mbOK, mbCancel});
    EXPECT_EQ(F->Button(mbOK)->Caption(), u"OK");
    EXPECT_EQ(F->Button(mbCancel)->Caption(), u"取消");
    EXPECT_EQ(F->Button(mbOK)->Pictures()->Image(), u"an2");
    EXPECT_EQ(F->Msg()->Font()->Name(), u"微软雅黑");
    EXPECT_TRUE(F->BottomPanel()->BorderSides().Empty());
    F->Free();
    Style->SetDefineOKButtonText(u"");
    F = Laid(u"文字", micNone, {mbOK});
    EXPECT_EQ(F->Button(mbOK)->Caption(), u"确定");
    F->Free();
    // Freed, the style takes its objects with it: boxes use the built-in ones.
    Style->SetDefineOKButtonText(u"Fine");
    Style->Free();
    EXPECT_EQ(CurrentMessageBoxStyle(), nullptr);
    F = Laid(u"文字", micNone, {mbOK});
    EXPECT_EQ(F->Button(mbOK)->Pictures()->Image(), u"PelluxButton");
    EXPECT_NE(F->Msg()->Font()->Name(), u"微软雅黑");
    EXPECT_EQ(F->BottomPanel()->BorderSides(), TSides{sdTop});
    EXPECT_EQ(F->Button(mbOK)->Caption(), u"Fine");  // captions are values, not references
    F->Free();
}

TEST_F(MessageBoxTest, TheCheckBoxIsWrittenBackAndCtrlCCopiesCaptionAndText) {
    bool DontShow = true;
    Headless->Step([this] { EXPECT_TRUE(Open()->CheckBox()->Checked()); });
    ClickLater([](TPelluxMessageForm* F) { return F->CheckBox(); },
               [this] {
                   Headless->KeyDown(VK_CONTROL);
                   Headless->Key('C');
                   Headless->KeyUp(VK_CONTROL);
                   Headless->Key(VK_RETURN);
               });
    EXPECT_EQ(SkinMessageBoxEx(u"提示", u"已保存。", micOK, 100, 80, DontShow, true, {mbOK}), mrOk);
    EXPECT_FALSE(DontShow);
    EXPECT_EQ(Headless->ClipboardText(), u"提示\r\n已保存。\r\n");
}

TEST_F(MessageBoxTest, At144DpiEverySizeIsScaled) {
    HighDPIEnabled = true;
    Headless->SetMonitors({TQvMonitorDesc{Rect(0, 0, 2880, 1620), Rect(0, 0, 2880, 1560), 144}});
    Form->ScaleForPPI(144);
    TPelluxMessageForm* F = Laid(u"短", micInfo, {mbYes, mbNo, mbCancel, mbAbort, mbRetry}, true);
    EXPECT_EQ(F->IconPanel()->BoundsRect(), Bounds(15, 23, 60, 60));
    EXPECT_EQ(F->Msg()->Left(), 98);
    // The check box and the row of five do not fit the text's width: box + row + 40.
    EXPECT_EQ(F->ClientWidth(), F->CheckBox()->Width() + 5 * 105 + 4 * 15 + 60);
    EXPECT_EQ(F->Button(mbRetry)->Left() + 105, F->ClientWidth() - 12);
    EXPECT_NEAR(F->BottomPanel()->Height(), 53, 1);  // its top rounds too
    EXPECT_EQ(F->Button(mbYes)->Height(), 41);
    EXPECT_EQ(F->ClientHeight(), 90 + 41 + F->Msg()->Height());
    EXPECT_EQ(F->CheckBox()->Height(), 26);
    EXPECT_EQ(F->CheckBox()->Left(), 8);
    F->Free();
    HighDPIEnabled = false;
}

}  // namespace
