#include "draw/uQvSurfaceRecord.h"

#include <cstring>

#include "framework/uQvStreams.h"

namespace {

uint32_t Get32(const uint8_t* At) {
    return uint32_t{At[0]} | uint32_t{At[1]} << 8 | uint32_t{At[2]} << 16 | uint32_t{At[3]} << 24;
}

void Put32(uint8_t* At, uint32_t V) {
    for (int I = 0; I < 4; ++I) At[I] = static_cast<uint8_t>(V >> (8 * I));
}

}  // namespace

TSize SurfaceRecordSize(const uint8_t* Head) {
    const uint32_t W = Get32(Head), H = Get32(Head + 4);
    constexpr auto Side = static_cast<uint32_t>(TCustomSurface32::MaxSurfaceSide);
    if (W > Side || H > Side || uint64_t{W} * H > static_cast<uint64_t>(TCustomSurface32::MaxSurfacePixels))
        throw EReadError("Stream read error");
    return TSize{static_cast<int>(W), static_cast<int>(H)};
}

void TCustomSurface32::DefineProperties(TFiler& Filer) {
    TNotifiablePersistent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        u"Data", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); }, !Empty());
}

void TCustomSurface32::ReadData(TStream& Stream) {
    uint8_t Head[SurfaceRecordHeadSize];
    Stream.ReadBuffer(Head, SurfaceRecordHeadSize);
    const TSize Size = SurfaceRecordSize(Head);
    // The stored size is trusted only as far as the stream can back it.
    const int64_t Bytes = int64_t{Size.cx} * Size.cy * 4;
    if (Stream.Remaining() < Bytes) throw EReadError("Stream read error");
    std::vector<uint8_t> Record(SurfaceRecordHeadSize + static_cast<size_t>(Bytes));
    std::memcpy(Record.data(), Head, SurfaceRecordHeadSize);
    Stream.ReadBuffer(Record.data() + SurfaceRecordHeadSize, Bytes);
    ReadDataRecord(Record.data(), Record.size());
}

void TCustomSurface32::WriteData(TStream& Stream) const {
    const std::vector<uint8_t> Record = DataRecord();
    Stream.WriteBuffer(Record.data(), static_cast<int64_t>(Record.size()));
}

std::vector<uint8_t> TCustomSurface32::DataRecord() const {
    const size_t Pixels = static_cast<size_t>(FWidth) * FHeight;
    std::vector<uint8_t> Out(SurfaceRecordHeadSize + Pixels * 4);
    Put32(Out.data(), static_cast<uint32_t>(FWidth));
    Put32(Out.data() + 4, static_cast<uint32_t>(FHeight));
    for (size_t I = 0; I < Pixels; ++I) Put32(Out.data() + SurfaceRecordHeadSize + 4 * I, FBits[I]);
    return Out;
}

size_t TCustomSurface32::ReadDataRecord(const uint8_t* Data, size_t Size) {
    if (Data == nullptr || Size < SurfaceRecordHeadSize) throw EReadError("Stream read error");
    const TSize Stored = SurfaceRecordSize(Data);
    // A stored size is trusted only as far as the record can back it.
    const size_t Pixels = static_cast<size_t>(Stored.cx) * static_cast<size_t>(Stored.cy);
    if ((Size - SurfaceRecordHeadSize) / 4 < Pixels) throw EReadError("Stream read error");
    BeginUpdate();
    try {
        // A record without pixels (one side 0) is an empty surface, as an empty surface
        // writes no record at all: the other side is not kept.
        SetSize(Pixels != 0 ? Stored.cx : 0, Pixels != 0 ? Stored.cy : 0);
    } catch (...) {
        EndUpdate();
        throw;
    }
    const uint8_t* Bytes = Data + SurfaceRecordHeadSize;
    PutPicture(Stored.cx, Stored.cy, [Bytes](size_t I) { return Get32(Bytes + 4 * I); });
    EndUpdate();
    Changed();
    return SurfaceRecordHeadSize + Pixels * 4;
}
