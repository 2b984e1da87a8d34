#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "framework/uQvStreams.h"
#include "framework/uQvStringList.h"
#include "platform/uQvStrUtils.h"

namespace {

void WriteBytes(const char* Name, const std::string& Bytes) { std::ofstream(Name, std::ios::binary) << Bytes; }

}  // namespace

TEST(StringList, TextSplitsAtEveryLineBreakAndJoinsWithCrLf) {
    TStringList L;
    L.SetText(u"a\r\nb\rc\n\nd\n");
    ASSERT_EQ(L.Count(), 5);
    EXPECT_EQ(L.Strings(2), u"c");
    EXPECT_EQ(L.Strings(3), u"");  // an empty middle line stays
    EXPECT_EQ(L.Text(), u"a\r\nb\r\nc\r\n\r\nd\r\n");
    L.SetText(u"");
    EXPECT_EQ(L.Count(), 0);
    L.SetText(u"\n");
    EXPECT_EQ(L.Count(), 1);
    try {
        L.Strings(3);
        FAIL();
    } catch (const EListError& E) {
        EXPECT_STREQ(E.what(), "List index out of bounds (3)");
    }
}

TEST(StringList, LoadsUtf8WithOrWithoutMarkAndUtf16) {
    TStringList L;
    WriteBytes("bom.txt", "\xEF\xBB\xBF" "功能一\r\n功能二\r\n");
    L.LoadFromFile(u"bom.txt");
    EXPECT_EQ(L.Count(), 2);
    EXPECT_EQ(L.Strings(0), u"功能一");
    WriteBytes("plain.txt", "x\ny");
    L.LoadFromFile(u"plain.txt");
    EXPECT_EQ(L.Text(), u"x\r\ny\r\n");
    WriteBytes("bad.txt", "ok\xFF\n");
    L.LoadFromFile(u"bad.txt");
    EXPECT_EQ(L.Strings(0), u"ok\uFFFD");
    WriteBytes("le.txt", std::string("\xFF\xFE" "a\0\n\0\x4B\x51", 8));
    L.LoadFromFile(u"le.txt");
    EXPECT_EQ(L.Text(), u"a\r\n克\r\n");
    WriteBytes("be.txt", std::string("\xFE\xFF\0b", 4));
    L.LoadFromFile(u"be.txt");
    EXPECT_EQ(L.Strings(0), u"b");
    EXPECT_THROW(L.LoadFromFile(u"missing.txt"), EFOpenError);
    EXPECT_EQ(L.Strings(0), u"b");  // unchanged

    L.SetText(u"中文\nline");
    L.SaveToFile(u"out.txt");
    TStringList Back;
    Back.LoadFromFile(u"out.txt");
    EXPECT_TRUE(Back.Equals(L));
}

TEST(StringList, LookupIgnoresCaseAndKnowsNameValuePairs) {
    TStringList L;
    L.AddStrings({u"École", u"Key=Value", u"Other=1"});
    EXPECT_EQ(L.IndexOf(u"ÉCOLE"), 0);
    EXPECT_EQ(L.IndexOf(u"missing"), -1);
    EXPECT_EQ(L.Values(u"key"), u"Value");
    EXPECT_EQ(L.Names(2), u"Other");
    L.SetValues(u"Other", u"2");
    EXPECT_EQ(L.Strings(2), u"Other=2");
    L.SetValues(u"New", u"x");
    EXPECT_EQ(L.Count(), 4);
    L.SetValues(u"Key", u"");
    EXPECT_EQ(L.IndexOfName(u"Key"), -1);
    L.SetCaseSensitive(true);
    EXPECT_EQ(L.IndexOf(u"ÉCOLE"), -1);
}

TEST(StringList, SortedListsKeepOrderAndHandleDuplicates) {
    TStringList L;
    L.SetSorted(true);
    for (const char16_t* S : {u"pear", u"Apple", u"fig", u"apple"}) L.Add(S);
    EXPECT_EQ(L.Text(), u"Apple\r\nfig\r\npear\r\n");  // dupIgnore, without regard to case
    int Index;
    EXPECT_TRUE(L.Find(u"FIG", Index));
    EXPECT_EQ(Index, 1);
    EXPECT_FALSE(L.Find(u"grape", Index));
    EXPECT_EQ(Index, 2);
    EXPECT_THROW(L.Insert(0, u"x"), EListError);
    L.SetDuplicates(dupError);
    EXPECT_THROW(L.Add(u"PEAR"), EListError);
    L.SetDuplicates(dupAccept);
    L.Add(u"PEAR");
    EXPECT_EQ(L.Count(), 4);
}

TEST(StringList, ChangeEventsAreBatchedByUpdates) {
    TStringList L;
    int Changes = 0, Changings = 0;
    L.OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &L);
        ++Changes;
    };
    L.OnChanging = [&](TObject*) { ++Changings; };
    L.Add(u"a");
    L.Delete(0);
    EXPECT_EQ(Changes, 2);
    L.SetText(u"1\n2\n3");
    EXPECT_EQ(Changes, 3);
    EXPECT_EQ(Changings, 3);
    L.Move(0, 2);
    EXPECT_EQ(L.Text(), u"2\r\n3\r\n1\r\n");
    L.Exchange(0, 1);
    EXPECT_EQ(L.Strings(0), u"3");
    EXPECT_EQ(Changes, 5);
}

TEST(StringList, OwnedObjectsAndAssignment) {
    auto* Owned = new TStringList;
    Owned->SetOwnsObjects(true);
    Owned->AddObject(u"one", new TStringList);
    Owned->AddObject(u"two", new TStringList);
    Owned->Delete(0);  // frees its object (ASan)
    TStringList Copy;
    Copy.Assign(Owned);
    EXPECT_EQ(Copy.Text(), u"two\r\n");
    EXPECT_EQ(Copy.Objects(0), Owned->Objects(0));
    Copy.SetObjects(0, nullptr);
    delete Owned;
    TPersistent Plain;
    try {
        Copy.Assign(&Plain);
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_STREQ(E.what(), "Cannot assign a TPersistent to a TStringList");
    }
}
