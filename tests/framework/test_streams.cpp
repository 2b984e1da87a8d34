#include <gtest/gtest.h>

#include <filesystem>

#include "framework/uQvStreams.h"

TEST(Streams, MemoryStreamReadsWritesAndSeeks) {
    TMemoryStream S;
    S.WriteUInt32(68);
    S.WriteUInt32(17);
    EXPECT_EQ(S.Size(), 8);
    EXPECT_EQ(S.Bytes(), std::string_view("\x44\0\0\0\x11\0\0\0", 8));
    S.SetPosition(4);
    EXPECT_EQ(S.ReadUInt32(), 17u);
    EXPECT_EQ(S.Remaining(), 0);
    char C;
    EXPECT_EQ(S.Read(&C, 1), 0);
    try {
        S.ReadBuffer(&C, 1);
        FAIL();
    } catch (const EReadError& E) {
        EXPECT_STREQ(E.what(), "Stream read error");
    }
    EXPECT_EQ(S.Seek(-1, soBeginning), -1);
    S.Seek(10, soBeginning);  // writing past the end fills the gap
    S.WriteBuffer("x", 1);
    EXPECT_EQ(S.Size(), 11);
    EXPECT_EQ(S.Memory()[9], 0);
    S.SetSize(2);
    EXPECT_EQ(S.Position(), 2);

    TMemoryStream Copy;
    Copy.CopyFrom(S, 0);
    EXPECT_EQ(Copy.Bytes(), std::string_view("\x44\0", 2));
}

TEST(Streams, FileStreamOpensCreatesAndReportsFailures) {
    {
        TFileStream F(u"data.bin", fmCreate);
        F.WriteBuffer("hello", 5);
        F.SetSize(4);
    }
    TFileStream R(u"data.bin", fmOpenRead);
    EXPECT_EQ(R.Size(), 4);
    char Buf[8] = {};
    R.ReadBuffer(Buf, 4);
    EXPECT_STREQ(Buf, "hell");
    EXPECT_THROW(R.WriteBuffer("x", 1), EWriteError);
    try {
        TFileStream Missing(u"missing.bin", fmOpenRead);
        FAIL();
    } catch (const EFOpenError& E) {
        EXPECT_EQ(std::string(E.what()).rfind("Cannot open file \"missing.bin\". ", 0), 0u) << E.what();
    }
    std::filesystem::create_directory("folder");
    EXPECT_THROW(TFileStream(u"folder", fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(u"nowhere/x.bin", fmCreate), EFCreateError);

    TMemoryStream M;
    M.LoadFromFile(u"data.bin");
    EXPECT_EQ(M.Bytes(), "hell");
    M.SaveToFile(u"copy.bin");
    TMemoryStream Back;
    Back.LoadFromFile(u"copy.bin");
    EXPECT_EQ(Back.Bytes(), "hell");
    EXPECT_THROW(Back.LoadFromFile(u"missing.bin"), EFOpenError);
    EXPECT_EQ(Back.Bytes(), "hell");
}
