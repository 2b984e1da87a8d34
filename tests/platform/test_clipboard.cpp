// Clipboard: who may open it, when data may be set and read, and text passing through the
// backend unchanged.

#include "platform/uQvClipboard.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"

class Clipboard : public TQvHeadlessTest {};

TEST_F(Clipboard, OneWindowHoldsItOpenAtATime) {
    TQvMessageLog Log;
    HWND A = Log.Create("a", WS_POPUP, Bounds(0, 0, 100, 100));
    HWND B = Log.Create("b", WS_POPUP, Bounds(0, 0, 100, 100));
    EXPECT_FALSE(CloseClipboard());
    ASSERT_TRUE(OpenClipboard(A));
    EXPECT_FALSE(OpenClipboard(B));
    EXPECT_FALSE(OpenClipboard(nullptr));
    EXPECT_TRUE(OpenClipboard(A));
    EXPECT_TRUE(CloseClipboard());
    EXPECT_TRUE(OpenClipboard(B));
    EXPECT_EQ(GetOpenClipboardWindow(), B);
    // A holder that dies does not lock the clipboard for the rest of the run.
    DestroyWindow(B);
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
    EXPECT_TRUE(OpenClipboard(A));
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(OpenClipboard(B));  // a dead handle
}

TEST_F(Clipboard, DataIsSetOnlyAfterAnEmptyWithinTheSameOpening) {
    TQvMessageLog Log;
    HWND A = Log.Create("a", WS_POPUP, Bounds(0, 0, 100, 100));
    Headless->SetClipboardText(u"theirs");
    EXPECT_FALSE(SetClipboardData(CF_UNICODETEXT, u"mine"));
    String Got = u"unchanged";
    EXPECT_FALSE(GetClipboardData(CF_UNICODETEXT, &Got));
    EXPECT_EQ(Got, u"unchanged");
    EXPECT_FALSE(EmptyClipboard());

    ASSERT_TRUE(OpenClipboard(A));
    EXPECT_FALSE(SetClipboardData(CF_UNICODETEXT, u"mine"));
    EXPECT_EQ(Headless->ClipboardText(), u"theirs");
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_FALSE(SetClipboardData(CF_TEXT, u"mine"));
    EXPECT_TRUE(SetClipboardData(CF_UNICODETEXT, u"mine"));
    EXPECT_EQ(Headless->ClipboardText(), u"mine");
    CloseClipboard();

    // The empty belonged to the earlier opening.
    ASSERT_TRUE(OpenClipboard(A));
    EXPECT_FALSE(SetClipboardData(CF_UNICODETEXT, u"again"));
    EXPECT_FALSE(GetClipboardData(CF_TEXT, &Got));
    EXPECT_TRUE(GetClipboardData(CF_UNICODETEXT, &Got));
    EXPECT_EQ(Got, u"mine");
    CloseClipboard();
}

TEST_F(Clipboard, UnicodeTextRoundTripsAndStopsAtATerminator) {
    const String Text = u"中文 text\r\n😀𠀀 end";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, Text);
    String Got;
    EXPECT_TRUE(GetClipboardData(CF_UNICODETEXT, &Got));
    EXPECT_EQ(Got, Text);
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, String(u"before\0after", 12));
    EXPECT_EQ(Headless->ClipboardText(), u"before");
    CloseClipboard();

    // Another program's text is seen without opening; a text that ends at once is none.
    Headless->ExternalCopy(u"粘贴");
    RunScript();
    EXPECT_TRUE(QvClipboardHasText());
    Headless->SetClipboardText(String(u"\0x", 2));
    EXPECT_FALSE(QvClipboardHasText());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
}
