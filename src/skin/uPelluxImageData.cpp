#include "skin/uPelluxImageData.h"

#include <cstring>
#include <string>

#include "framework/uQvClasses.h"

namespace {

constexpr uint8_t Magic[4] = {'Q', 'V', 'I', 'L'};
constexpr uint32_t Version = 1;
constexpr size_t HeadSize = 12;

void Put32(std::vector<uint8_t>& Out, uint32_t V) {
    for (int I = 0; I < 4; ++I) Out.push_back(static_cast<uint8_t>(V >> (8 * I)));
}

void PutText(std::vector<uint8_t>& Out, const String& S) {
    const std::string U = StringToUtf8(S);
    Put32(Out, static_cast<uint32_t>(U.size()));
    Out.insert(Out.end(), U.begin(), U.end());
}

uint32_t Get32(const uint8_t* At) {
    return uint32_t{At[0]} | uint32_t{At[1]} << 8 | uint32_t{At[2]} << 16 | uint32_t{At[3]} << 24;
}

[[noreturn]] void Damaged() {
    throw EReadError("Stream read error");
}

// Reads forward through the container, never past its end.
class TCursor {
public:
    TCursor(const uint8_t* Data, size_t Size) : FAt(Data), FLeft(Size) {}
    const uint8_t* Take(size_t N) {
        if (N > FLeft) Damaged();
        const uint8_t* P = FAt;
        FAt += N;
        FLeft -= N;
        return P;
    }
    uint32_t U32() { return Get32(Take(4)); }
    String Text() {
        const uint32_t N = U32();
        const uint8_t* P = Take(N);
        return Utf8ToString(std::string_view(reinterpret_cast<const char*>(P), N));
    }
    const uint8_t* Position() const { return FAt; }

private:
    const uint8_t* FAt;
    size_t FLeft;
};

}  // namespace

void AppendImageDataItem(std::vector<uint8_t>& Out, const TImageDataItem& Item) {
    if (Out.empty()) {
        Out.insert(Out.end(), Magic, Magic + 4);
        Put32(Out, Version);
        Put32(Out, 0);
    }
    PutText(Out, Item.ResID);
    Out.push_back(static_cast<uint8_t>(Item.DrawMode));
    PutText(Out, Item.ResamplerClassName);
    PutText(Out, Item.Description);
    Out.insert(Out.end(), Item.Record, Item.Record + Item.RecordSize);
    const uint32_t Count = Get32(Out.data() + 8) + 1;
    for (int I = 0; I < 4; ++I) Out[8 + I] = static_cast<uint8_t>(Count >> (8 * I));
}

void ReadImageData(const uint8_t* Data, size_t Size, const std::function<void(const TImageDataItem&)>& OnItem) {
    if (Data == nullptr) Damaged();
    TCursor C(Data, Size);
    if (std::memcmp(C.Take(4), Magic, 4) != 0 || C.U32() != Version) Damaged();
    const uint32_t Count = C.U32();
    for (uint32_t I = 0; I < Count; ++I) {
        TImageDataItem Item;
        Item.ResID = C.Text();
        Item.DrawMode = *C.Take(1);
        Item.ResamplerClassName = C.Text();
        Item.Description = C.Text();
        const uint8_t* Head = C.Position();
        const uint64_t W = Get32(C.Take(4)), H = Get32(C.Take(4));
        // Sizes are checked again when the record is read into a surface; here they only
        // need to stay inside the container.
        if (W * H > (uint64_t{1} << 28)) Damaged();
        C.Take(static_cast<size_t>(W * H * 4));
        Item.Record = Head;
        Item.RecordSize = static_cast<size_t>(8 + W * H * 4);
        OnItem(Item);
    }
}
