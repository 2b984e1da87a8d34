#pragma once
// The document's string table: every node name and text is kept once, in UTF-8, and
// nodes refer to it by an integer ID. ID 0 is the empty text.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class TQvXmlSymbolTable {
public:
    TQvXmlSymbolTable();
    TQvXmlSymbolTable(const TQvXmlSymbolTable&) = delete;
    TQvXmlSymbolTable& operator=(const TQvXmlSymbolTable&) = delete;

    // The ID of Text, added when it is new.
    int Add(std::string_view Text);
    // The text of an ID; empty for an ID the table does not hold.
    std::string_view Text(int ID) const {
        return ID > 0 && static_cast<size_t>(ID) < FTexts.size() ? FTexts[static_cast<size_t>(ID)] : std::string_view();
    }
    int Count() const { return static_cast<int>(FTexts.size()); }
    // The bytes of all texts held.
    size_t TextBytes() const { return FTextBytes; }
    // Room for Count texts without growing.
    void Reserve(size_t Count);
    // Back to the empty text alone.
    void Clear();

private:
    std::string_view Store(std::string_view Text);
    void Rehash(size_t Slots);

    struct TSlot {
        uint32_t Hash;
        int ID;  // 0: a free slot
    };
    std::vector<std::string_view> FTexts;  // by ID
    std::vector<TSlot> FSlots;             // open addressing, with the hash beside the ID
    // Text bytes live in blocks that never move, so the views above stay valid.
    std::vector<std::unique_ptr<char[]>> FBlocks;
    char* FFree = nullptr;
    size_t FFreeLeft = 0;
    size_t FTextBytes = 0;
};
