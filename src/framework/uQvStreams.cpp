#include "framework/uQvStreams.h"

#include <algorithm>
#include <cstring>

// ---- TStream --------------------------------------------------------------------------

int64_t TStream::Size() {
    const int64_t Pos = Seek(0, soCurrent);
    const int64_t End = Seek(0, soEnd);
    Seek(Pos, soBeginning);
    return End;
}

void TStream::SetSize(int64_t) { throw EStreamError("Stream size cannot be changed"); }

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
    if (Count < 0 || (Count > 0 && Read(Buffer, Count) != Count)) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
    if (Count < 0 || (Count > 0 && Write(Buffer, Count) != Count)) throw EWriteError("Stream write error");
}

uint32_t TStream::ReadUInt32() {
    uint8_t B[4];
    ReadBuffer(B, 4);
    return uint32_t{B[0]} | uint32_t{B[1]} << 8 | uint32_t{B[2]} << 16 | uint32_t{B[3]} << 24;
}

void TStream::WriteUInt32(uint32_t Value) {
    const uint8_t B[4] = {static_cast<uint8_t>(Value), static_cast<uint8_t>(Value >> 8),
                          static_cast<uint8_t>(Value >> 16), static_cast<uint8_t>(Value >> 24)};
    WriteBuffer(B, 4);
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    char Buffer[65536];
    int64_t Left = Count;
    while (Left > 0) {
        const int64_t N = std::min<int64_t>(Left, sizeof Buffer);
        Source.ReadBuffer(Buffer, N);
        WriteBuffer(Buffer, N);
        Left -= N;
    }
    return Count;
}

// ---- TMemoryStream --------------------------------------------------------------------

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0 || FPosition >= Size()) return 0;
    const int64_t N = std::min(Count, Size() - FPosition);
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(N));
    FPosition += N;
    return N;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    if (FPosition + Count > Size()) FData.resize(static_cast<size_t>(FPosition + Count));
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition += Count;
    return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    const int64_t Base = Origin == soBeginning ? 0 : (Origin == soCurrent ? FPosition : Size());
    if (Base + Offset < 0) return -1;
    FPosition = Base + Offset;
    return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize) {
    FData.resize(static_cast<size_t>(std::max<int64_t>(NewSize, 0)));
    FPosition = std::min(FPosition, Size());
}

void TMemoryStream::Clear() {
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const String& FileName) {
    std::vector<uint8_t> Bytes;
    if (const TQvFileResult R = ReadFileBytes(FileName, Bytes); !R)
        throw EFOpenError(u"Cannot open file \"" + FileName + u"\". " + R.Reason());
    FData = std::move(Bytes);
    FPosition = 0;
}

void TMemoryStream::SaveToFile(const String& FileName) {
    TFileStream File(FileName, fmCreate);
    SaveToStream(File);
}

void TMemoryStream::LoadFromStream(TStream& Source) {
    Source.SetPosition(0);
    const int64_t N = Source.Size();
    std::vector<uint8_t> Data(static_cast<size_t>(N));
    Source.ReadBuffer(Data.data(), N);
    FData = std::move(Data);
    FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream& Dest) { Dest.WriteBuffer(FData.data(), Size()); }

// ---- TFileStream ----------------------------------------------------------------------

TFileStream::TFileStream(const String& FileName, int Mode) : FFileName(FileName) {
    if (Mode == fmCreate) {
        FHandle = FileCreate(FileName);
        if (FHandle < 0)
            throw EFCreateError(u"Cannot create file \"" + FileName + u"\". " + LastOSErrorText());
    } else {
        FHandle = FileOpen(FileName, Mode);
        if (FHandle < 0) throw EFOpenError(u"Cannot open file \"" + FileName + u"\". " + LastOSErrorText());
    }
}

TFileStream::~TFileStream() { FileClose(FHandle); }

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
    const int64_t N = FileRead(FHandle, Buffer, Count);
    return N < 0 ? 0 : N;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
    const int64_t N = FileWrite(FHandle, Buffer, Count);
    return N < 0 ? 0 : N;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    return FileSeek(FHandle, Offset,
                    Origin == soBeginning ? soFromBeginning : (Origin == soCurrent ? soFromCurrent : soFromEnd));
}

void TFileStream::SetSize(int64_t NewSize) {
    if (NewSize < 0 || !FileTruncate(FHandle, NewSize)) throw EStreamError("Stream size cannot be changed");
    if (Position() > NewSize) Seek(NewSize, soBeginning);
}
