#include "platform/uQvCodePages.h"

#include "platform/uQvCodePageNames.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace {

// One conversion descriptor per call: conversions are rare and short.
class TIconv {
public:
    TIconv(const char* To, const char* From) : FHandle(iconv_open(To, From)) {}
    ~TIconv() {
        if (Valid()) iconv_close(FHandle);
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;
    bool Valid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }
    // Converts as much as possible; returns false at a sequence it cannot convert.
    bool Convert(const char*& In, size_t& InLeft, std::string& Out) {
        char Buffer[256];
        while (InLeft > 0) {
            char* OutPtr = Buffer;
            size_t OutLeft = sizeof Buffer;
            const size_t R = iconv(FHandle, const_cast<char**>(&In), &InLeft, &OutPtr, &OutLeft);
            Out.append(Buffer, static_cast<size_t>(OutPtr - Buffer));
            if (R == static_cast<size_t>(-1) && errno != E2BIG) return false;
        }
        char* OutPtr = Buffer;
        size_t OutLeft = sizeof Buffer;
        iconv(FHandle, nullptr, nullptr, &OutPtr, &OutLeft);
        Out.append(Buffer, static_cast<size_t>(OutPtr - Buffer));
        return true;
    }

private:
    iconv_t FHandle;
};

std::string CodePageName(int CodePage) {
    const char* Name = CodePageIconvName(CodePage);
    return Name != nullptr ? Name : "CP" + std::to_string(CodePage);
}

}  // namespace

int GetACP() { return 936; }

std::string StringToCodePage(std::u16string_view S, int CodePage) {
    TIconv Conv(CodePageName(CodePage).c_str(), "UTF-16LE");
    if (!Conv.Valid()) return StringToUtf8(S);
    std::u16string Units(S);
    std::string Bytes;
    for (char16_t U : Units) {
        Bytes.push_back(static_cast<char>(U & 0xFF));
        Bytes.push_back(static_cast<char>(U >> 8));
    }
    std::string Out;
    const char* In = Bytes.data();
    size_t Left = Bytes.size();
    while (!Conv.Convert(In, Left, Out)) {
        // Skip the character it cannot hold (a surrogate pair counts as one).
        auto UnitAt = [&](size_t K) {
            return static_cast<uint16_t>(static_cast<uint8_t>(In[K]) | static_cast<uint8_t>(In[K + 1]) << 8);
        };
        const bool Pair = Left >= 4 && UnitAt(0) >= 0xD800 && UnitAt(0) < 0xDC00 && UnitAt(2) >= 0xDC00 &&
                          UnitAt(2) < 0xE000;
        const size_t Skip = Pair ? 4 : 2;
        Out.push_back('?');
        In += std::min(Skip, Left);
        Left -= std::min(Skip, Left);
    }
    return Out;
}

String CodePageToString(std::string_view Bytes, int CodePage) {
    TIconv Conv("UTF-16LE", CodePageName(CodePage).c_str());
    if (!Conv.Valid()) return Utf8ToString(Bytes);
    std::string Out;
    const char* In = Bytes.data();
    size_t Left = Bytes.size();
    std::string Units;
    while (true) {
        Units.clear();
        const bool Done = Conv.Convert(In, Left, Units);
        Out += Units;
        if (Done) break;
        Out += std::string("\xFD\xFF", 2);  // U+FFFD, little-endian
        ++In;
        --Left;
    }
    String R;
    for (size_t I = 0; I + 1 < Out.size(); I += 2)
        R.push_back(static_cast<char16_t>(static_cast<uint8_t>(Out[I]) | static_cast<uint8_t>(Out[I + 1]) << 8));
    return R;
}
