#include "platform/uQvWinState.h"

size_t TQvWinStateOwner::NewSlot() { return FSlots++; }

void* TQvWinStateOwner::Make(size_t Slot, void* (*Create)(), void (*Destroy)(void*)) {
    if (FLive == nullptr) FLive = new std::vector<TSlot>();
    if (FLive->size() <= Slot) FLive->resize(Slot + 1);
    void* Object = Create();
    (*FLive)[Slot] = TSlot{Object, Destroy, ++FMade};
    return Object;
}

void TQvWinStateOwner::Reset() {
    // A destructor may reach another unit's state; that one is then made afresh, which is
    // what a reset leaves anyway. So take the newest live state until none is left from
    // before the reset began.
    if (FLive == nullptr) return;
    const size_t Before = FMade;
    for (;;) {
        TSlot* Newest = nullptr;
        for (TSlot& S : *FLive)
            if (S.Object != nullptr && S.Made <= Before && (Newest == nullptr || S.Made > Newest->Made)) Newest = &S;
        if (Newest == nullptr) return;
        void* Object = Newest->Object;
        void (*Destroy)(void*) = Newest->Destroy;
        *Newest = TSlot{};
        Destroy(Object);
    }
}
