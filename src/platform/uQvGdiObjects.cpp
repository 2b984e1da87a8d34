#include "platform/uQvGdiObjects.h"

#include <array>
#include <vector>

#include "platform/uQvGdiPens.h"

namespace {

// Handle value = generation << SlotBits | slot. The generation comes from one counter
// for every object ever created, so no two objects of a run share a handle.
constexpr int SlotBits = 24;
constexpr uint64_t SlotMask = (uint64_t{1} << SlotBits) - 1;

struct TSlot {
    std::shared_ptr<TGdiObject> Object;
    uint64_t Generation = 0;
};

struct TTable {
    std::vector<TSlot> Slots;
    std::vector<uint32_t> Free;
    uint64_t NextGeneration = 1;
    size_t Live = 0;
    std::array<HGDIOBJ, GDI_DEFAULT_BITMAP + 1> Stock{};
    TGdiStockFactory FontFactory = nullptr;
};

TTable& Table() {
    static TTable T;
    return T;
}

TSlot* SlotOf(const void* Handle) {
    const auto Value = reinterpret_cast<uintptr_t>(Handle);
    if (Value == 0) return nullptr;
    TTable& T = Table();
    const uint64_t Index = Value & SlotMask;
    if (Index >= T.Slots.size()) return nullptr;
    TSlot& S = T.Slots[Index];
    if (!S.Object || S.Generation != (Value >> SlotBits)) return nullptr;
    return &S;
}

bool IsStockFont(int Index) {
    return Index == OEM_FIXED_FONT || Index == ANSI_FIXED_FONT || Index == ANSI_VAR_FONT ||
           Index == SYSTEM_FONT || Index == DEVICE_DEFAULT_FONT || Index == SYSTEM_FIXED_FONT ||
           Index == DEFAULT_GUI_FONT;
}

std::shared_ptr<TGdiObject> CreateStockFont(int Index) {
    TGdiStockFactory F = Table().FontFactory;
    return F != nullptr ? F(Index) : nullptr;
}

}  // namespace

int TGdiObject::Describe(int, void*) const {
    return 0;
}

HGDIOBJ GdiAddObject(std::shared_ptr<TGdiObject> Object) {
    if (!Object) return nullptr;
    TTable& T = Table();
    uint32_t Index;
    if (!T.Free.empty()) {
        Index = T.Free.back();
        T.Free.pop_back();
    } else {
        if (T.Slots.size() > SlotMask) return nullptr;
        Index = static_cast<uint32_t>(T.Slots.size());
        T.Slots.emplace_back();
    }
    TSlot& S = T.Slots[Index];
    S.Generation = T.NextGeneration++;
    const auto Value = static_cast<uintptr_t>((S.Generation << SlotBits) | Index);
    Object->FHandle = reinterpret_cast<HGDIOBJ>(Value);
    S.Object = std::move(Object);
    ++T.Live;
    return S.Object->FHandle;
}

bool GdiRemoveObject(HGDIOBJ Handle) {
    TSlot* S = SlotOf(Handle);
    if (S == nullptr) return false;
    TTable& T = Table();
    // Reset before the destructor runs, so a destructor that touches the table sees a
    // consistent slot.
    std::shared_ptr<TGdiObject> Dying = std::move(S->Object);
    S->Object.reset();
    T.Free.push_back(static_cast<uint32_t>(S - T.Slots.data()));
    --T.Live;
    Dying.reset();
    return true;
}

TGdiObject* GdiLookup(const void* Handle) {
    TSlot* S = SlotOf(Handle);
    return S != nullptr ? S->Object.get() : nullptr;
}

std::shared_ptr<TGdiObject> GdiLookupShared(const void* Handle) {
    TSlot* S = SlotOf(Handle);
    return S != nullptr ? S->Object : nullptr;
}

size_t GdiObjectCount() {
    return Table().Live;
}

void GdiSetStockFontFactory(TGdiStockFactory Factory) {
    Table().FontFactory = Factory;
}

HGDIOBJ GdiStockHandle(int Index, std::shared_ptr<TGdiObject> (*Create)(int)) {
    if (Index < 0 || Index > GDI_DEFAULT_BITMAP || Create == nullptr) return nullptr;
    TTable& T = Table();
    if (T.Stock[Index] != nullptr && GdiLookup(T.Stock[Index]) != nullptr) return T.Stock[Index];
    std::shared_ptr<TGdiObject> Object = Create(Index);
    if (!Object) return nullptr;
    Object->FStock = true;
    T.Stock[Index] = GdiAddObject(std::move(Object));
    return T.Stock[Index];
}

BOOL DeleteObject(HGDIOBJ Object) {
    TGdiObject* O = GdiLookup(Object);
    if (O == nullptr) return FALSE;
    if (O->ObjectType() == OBJ_DC || O->ObjectType() == OBJ_MEMDC) return FALSE;
    if (O->IsStock()) return TRUE;
    return GdiRemoveObject(Object) ? TRUE : FALSE;
}

DWORD GetObjectType(HGDIOBJ Object) {
    TGdiObject* O = GdiLookup(Object);
    return O != nullptr ? static_cast<DWORD>(O->ObjectType()) : 0;
}

int GetObject(HGDIOBJ Object, int Size, void* Buffer) {
    TGdiObject* O = GdiLookup(Object);
    if (O == nullptr || (Buffer != nullptr && Size <= 0)) return 0;
    return O->Describe(Size, Buffer);
}

HGDIOBJ GetStockObject(int Index) {
    if (Index < 0 || Index > STOCK_LAST) return nullptr;
    if (IsStockFont(Index)) return GdiStockHandle(Index, CreateStockFont);
    return GdiStockHandle(Index, GdiCreateStockPenOrBrush);
}
