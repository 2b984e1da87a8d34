#pragma once
// The one owner of the window system's state. Each unit keeps its state type private (in
// its anonymous namespace) and reaches it through QvWinState<TState>(): the owner makes it
// on first use and QvWinStateReset destroys every unit's state in one place, newest first.
// A unit therefore takes part in a reset by construction; nothing needs registering.
//
// A state type must be default-constructible; what it holds beyond memory (a GDI object,
// say) its destructor gives back. Access is one indexed load after the first call.

#include <cstddef>
#include <vector>

class TQvWinStateOwner {
public:
    template <class T>
    static T& Get() {
        static const size_t Slot = NewSlot();
        if (FLive != nullptr && Slot < FLive->size() && (*FLive)[Slot].Object != nullptr)
            return *static_cast<T*>((*FLive)[Slot].Object);
        return *static_cast<T*>(Make(Slot, [] { return static_cast<void*>(new T()); },
                                     [](void* P) { delete static_cast<T*>(P); }));
    }
    // Destroys every state, newest first; each comes back fresh on its next use.
    static void Reset();

private:
    struct TSlot {
        void* Object = nullptr;
        void (*Destroy)(void*) = nullptr;
        size_t Made = 0;  // creation serial, for the newest-first order
    };
    static size_t NewSlot();
    static void* Make(size_t Slot, void* (*Create)(), void (*Destroy)(void*));
    // Never freed, so states that outlive the last reset stay reachable at exit rather than
    // being dropped by the vector's static destructor (a leak to the leak checker).
    static inline std::vector<TSlot>* FLive = nullptr;
    static inline size_t FSlots = 0;
    static inline size_t FMade = 0;
};

template <class T>
T& QvWinState() {
    return TQvWinStateOwner::Get<T>();
}
