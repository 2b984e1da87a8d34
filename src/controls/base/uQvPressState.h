#pragma once
// The hover, press and release behaviour every clickable thing shares: buttons, title-bar
// controls, menu entries. It knows nothing of controls or windows: its owner feeds it the
// pointer's events, asks it what to show, and repaints when OnChange fires.

#include <functional>

// What a clickable thing shows.
enum class TQvVisualState { Normal, Hot, Pressed, Disabled };

class TQvPressState {
public:
    // The pointer is over the thing.
    bool Inside() const { return FInside; }
    // The button went down over the thing and is still held.
    bool Held() const { return FHeld; }

    void Enter() { Set(true, FHeld); }
    // Leaving also ends a press: a release elsewhere clicks nothing.
    void Leave() { Set(false, false); }
    void Press() { Set(true, true); }
    // The button came up with the pointer Inside or not. True when this ends a click: the
    // press began here and the release is here too.
    bool Release(bool Inside) {
        const bool Click = FHeld && Inside;
        Set(Inside, false);
        return Click;
    }
    // Capture lost, disabled or hidden: neither hot nor held.
    void Cancel() { Set(false, false); }

    // The look of a button: a latched (Down) thing reads as pressed and never as hot; hot
    // goes before disabled, which goes before pressed.
    TQvVisualState ButtonState(bool Enabled, bool Latched) const {
        if (FInside && !Latched) return TQvVisualState::Hot;
        if (!Enabled) return TQvVisualState::Disabled;
        if (FHeld || Latched) return TQvVisualState::Pressed;
        return TQvVisualState::Normal;
    }

    std::function<void()> OnChange;

private:
    void Set(bool Inside, bool Held) {
        if (Inside == FInside && Held == FHeld) return;
        FInside = Inside;
        FHeld = Held;
        if (OnChange) OnChange();
    }

    bool FInside = false;
    bool FHeld = false;
};
