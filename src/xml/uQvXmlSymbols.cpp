#include "xml/uQvXmlSymbols.h"

#include <cstring>
#include <functional>

namespace {

constexpr size_t BlockSize = 64 * 1024;

uint32_t HashOf(std::string_view Text) { return static_cast<uint32_t>(std::hash<std::string_view>()(Text)); }

}  // namespace

TQvXmlSymbolTable::TQvXmlSymbolTable() { Clear(); }

void TQvXmlSymbolTable::Clear() {
    FTexts.assign(1, std::string_view());
    FSlots.assign(64, TSlot{0, 0});
    FBlocks.clear();
    FFree = nullptr;
    FFreeLeft = 0;
    FTextBytes = 0;
}

std::string_view TQvXmlSymbolTable::Store(std::string_view Text) {
    if (Text.size() > BlockSize / 4) {
        // A large text gets a block of its own; the current block keeps filling.
        FBlocks.push_back(std::make_unique<char[]>(Text.size()));
        std::memcpy(FBlocks.back().get(), Text.data(), Text.size());
        return {FBlocks.back().get(), Text.size()};
    }
    if (Text.size() > FFreeLeft) {
        FBlocks.push_back(std::make_unique<char[]>(BlockSize));
        FFree = FBlocks.back().get();
        FFreeLeft = BlockSize;
    }
    std::memcpy(FFree, Text.data(), Text.size());
    const std::string_view Stored(FFree, Text.size());
    FFree += Text.size();
    FFreeLeft -= Text.size();
    return Stored;
}

void TQvXmlSymbolTable::Reserve(size_t Count) {
    size_t Slots = FSlots.size();
    while (Slots < Count * 2) Slots *= 2;
    if (Slots > FSlots.size()) Rehash(Slots);
    FTexts.reserve(Count);
}

void TQvXmlSymbolTable::Rehash(size_t Count) {
    std::vector<TSlot> Slots(Count, TSlot{0, 0});
    const size_t Mask = Slots.size() - 1;
    for (const TSlot& S : FSlots) {
        if (S.ID == 0) continue;
        size_t I = S.Hash & Mask;
        while (Slots[I].ID != 0) I = (I + 1) & Mask;
        Slots[I] = S;
    }
    FSlots.swap(Slots);
}

int TQvXmlSymbolTable::Add(std::string_view Text) {
    if (Text.empty()) return 0;
    const uint32_t Hash = HashOf(Text);
    const size_t Mask = FSlots.size() - 1;
    size_t I = Hash & Mask;
    for (; FSlots[I].ID != 0; I = (I + 1) & Mask)
        if (FSlots[I].Hash == Hash && FTexts[static_cast<size_t>(FSlots[I].ID)] == Text) return FSlots[I].ID;
    const int ID = static_cast<int>(FTexts.size());
    FTexts.push_back(Store(Text));
    FTextBytes += Text.size();
    FSlots[I] = TSlot{Hash, ID};
    // At most half full, so probes stay short.
    if (FTexts.size() * 2 > FSlots.size()) Rehash(FSlots.size() * 2);
    return ID;
}
