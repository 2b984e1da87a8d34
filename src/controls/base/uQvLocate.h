#pragma once
// Two small value objects of the edit items: where an item sits (anchored to its host's
// left or right edge at an offset) and inner margins that apply while active. Every setter
// raises OnChange only when the value changed.

#include "framework/uQvClasses.h"

enum TQvAlign { agLeft, agRight };

class TQvLocateObj : public TPersistent {
public:
    TQvAlign Align() const { return FAlign; }
    void SetAlign(TQvAlign Value);
    int X() const { return FX; }
    void SetX(int Value);
    int Y() const { return FY; }
    void SetY(int Value);

    // From another position: X, then Y, then Align, each through its setter.
    void Assign(const TPersistent* Source) override;

    // Raises OnChange.
    void Changed();

    TNotifyEvent OnChange;

private:
    TQvAlign FAlign = agLeft;
    int FX = 0;
    int FY = 0;
};

class TQvSpaceSize : public TPersistent {
public:
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    int Left() const { return FLeft; }
    void SetLeft(int Value);
    int Top() const { return FTop; }
    void SetTop(int Value);
    int Right() const { return FRight; }
    void SetRight(int Value);
    int Bottom() const { return FBottom; }
    void SetBottom(int Value);

    // From other margins: Active, Left, Top, Right, Bottom, each through its setter.
    void Assign(const TPersistent* Source) override;

    // Raises OnChange.
    void Changed();

    TNotifyEvent OnChange;

private:
    bool FActive = true;
    int FLeft = 0;
    int FTop = 0;
    int FRight = 0;
    int FBottom = 0;
};

// Registers TQvAlign by value name and both classes with their stored properties, after
// the framework's classes. Calling it again does nothing.
void RegisterQvLocate();
