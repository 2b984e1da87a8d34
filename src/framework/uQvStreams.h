#pragma once
// Byte streams: the abstract TStream with exact-size reads and writes, a growable memory
// stream and a file stream.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/uQvClasses.h"
#include "platform/uQvFiles.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// Opening modes of TFileStream; fmCreate makes or truncates the file.
constexpr int fmCreate = 0xFF00;

class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class TStream : public TObject {
public:
    // Up to Count bytes; returns how many were moved.
    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    // Returns the new position, or -1 when the position would be negative.
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Value) { Seek(Value, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t NewSize);
    int64_t Remaining() { return Size() - Position(); }

    // Exactly Count bytes or EReadError "Stream read error" / EWriteError "Stream write error".
    void ReadBuffer(void* Buffer, int64_t Count);
    void WriteBuffer(const void* Buffer, int64_t Count);
    // Little-endian helpers over ReadBuffer/WriteBuffer.
    uint32_t ReadUInt32();
    void WriteUInt32(uint32_t Value);
    // Copies Count bytes from Source (all of it from its start when Count is 0).
    int64_t CopyFrom(TStream& Source, int64_t Count);
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string_view Bytes) : FData(Bytes.begin(), Bytes.end()) {}

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return static_cast<int64_t>(FData.size()); }
    void SetSize(int64_t NewSize) override;

    void Clear();
    const uint8_t* Memory() const { return FData.data(); }
    uint8_t* Memory() { return FData.data(); }
    std::string_view Bytes() const { return {reinterpret_cast<const char*>(FData.data()), FData.size()}; }

    // Raises EFOpenError when the file cannot be read; the stream is then unchanged.
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName);
    void LoadFromStream(TStream& Source);
    void SaveToStream(TStream& Dest);

private:
    std::vector<uint8_t> FData;
    int64_t FPosition = 0;
};

class TFileStream : public TStream {
public:
    // Mode: fmCreate, or fmOpenRead / fmOpenWrite / fmOpenReadWrite. Raises
    // EFCreateError "Cannot create file "%s". <reason>" or EFOpenError "Cannot open file
    // "%s". <reason>".
    TFileStream(const String& FileName, int Mode);
    ~TFileStream() override;

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    const String& FileName() const { return FFileName; }

private:
    String FFileName;
    intptr_t FHandle = -1;
};
