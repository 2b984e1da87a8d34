#pragma once
// The bases of the surfaces: change notification with batching, the lock painting code
// takes, and a width and a height.

#include <atomic>
#include <mutex>

#include "framework/uQvClasses.h"

// An object that tells its listeners when it changed, unless changes are being batched
// between BeginUpdate and EndUpdate.
class TNotifiablePersistent : public TPersistent {
public:
    virtual void BeginUpdate();
    // Fires nothing itself; callers that batch drawing raise Changed afterwards.
    virtual void EndUpdate();
    virtual void Changed();
    int UpdateCount() const { return FUpdateCount; }

    TNotifyEvent OnChange;

protected:
    int FUpdateCount = 0;
};

// Adds a lock that painting code takes around copying or resizing a surface.
class TThreadPersistent : public TNotifiablePersistent {
public:
    void Lock();
    void Unlock();
    int LockCount() const { return FLockCount.load(); }

private:
    std::recursive_mutex FLock;
    std::atomic<int> FLockCount{0};
};

// Something with a width and a height.
class TCustomMap : public TThreadPersistent {
public:
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    virtual void SetHeight(int NewHeight);
    virtual void SetWidth(int NewWidth);
    virtual void Delete();
    virtual bool Empty() const { return FWidth == 0 || FHeight == 0; }
    virtual void Resized();
    // Negative sizes count as 0.
    virtual bool SetSize(int NewWidth, int NewHeight);

    TNotifyEvent OnResize;

protected:
    // Reallocates for the new size; the base only records it.
    virtual void ChangeSize(int& Width, int& Height, int NewWidth, int NewHeight);

    int FWidth = 0;
    int FHeight = 0;
};
