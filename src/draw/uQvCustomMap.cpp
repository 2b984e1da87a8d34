#include "draw/uQvCustomMap.h"

#include <algorithm>

// --- TNotifiablePersistent ------------------------------------------------------------

void TNotifiablePersistent::BeginUpdate() {
    ++FUpdateCount;
}

void TNotifiablePersistent::EndUpdate() {
    if (FUpdateCount <= 0) throw EQvError("Unpaired TThreadPersistent.EndUpdate");
    --FUpdateCount;
}

void TNotifiablePersistent::Changed() {
    if (FUpdateCount == 0 && OnChange) OnChange(this);
}

// --- TThreadPersistent ----------------------------------------------------------------

void TThreadPersistent::Lock() {
    ++FLockCount;
    FLock.lock();
}

void TThreadPersistent::Unlock() {
    FLock.unlock();
    --FLockCount;
}

// --- TCustomMap -----------------------------------------------------------------------

void TCustomMap::SetHeight(int NewHeight) {
    SetSize(FWidth, NewHeight);
}
void TCustomMap::SetWidth(int NewWidth) {
    SetSize(NewWidth, FHeight);
}
void TCustomMap::Delete() {
    SetSize(0, 0);
}

void TCustomMap::Resized() {
    if (OnResize) OnResize(this);
}

bool TCustomMap::SetSize(int NewWidth, int NewHeight) {
    NewWidth = std::max(NewWidth, 0);
    NewHeight = std::max(NewHeight, 0);
    const bool Resizing = NewWidth != FWidth || NewHeight != FHeight;
    ChangeSize(FWidth, FHeight, NewWidth, NewHeight);
    Changed();
    if (Resizing) Resized();
    return Resizing;
}

void TCustomMap::ChangeSize(int& Width, int& Height, int NewWidth, int NewHeight) {
    Width = NewWidth;
    Height = NewHeight;
}
