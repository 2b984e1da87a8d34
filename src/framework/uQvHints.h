#pragma once
// The hint window and what the hint cycle hands a control before a hint shows.
//
// THintWindow is a borderless-looking popup (one-pixel frame, info colours) that shows one
// text at a time, topmost and never activated. The application keeps one, made from its
// HintWindowClass; skinned hint windows derive from it and override CalcHintRect,
// ActivateHint and Paint.

#include "framework/uQvWinControl.h"

// What CM_HINTSHOW (lParam) lets the hint control see and change before its hint shows.
// CursorRect and CursorPos are in the control's client coordinates, HintPos on the screen.
struct THintInfo {
    TControl* HintControl = nullptr;
    // Where the hint's top-left goes; the cursor plus (0, 20) unless changed.
    TPoint HintPos;
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    // The pointer may move inside this rectangle without the hint starting over.
    TRect CursorRect;
    TPoint CursorPos;
    String HintStr;
    // Above 0: the cycle asks again after this many ms while the hint shows.
    int ReshowTimeout = 0;
    // Above 0: the hint hides after this many ms.
    int HideTimeout = 0;
    void* HintData = nullptr;
};

// The text before the first '|' (all of it when there is none), and the text after it.
String GetShortHint(const String& Hint);
String GetLongHint(const String& Hint);

class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* AOwner);
    ~THintWindow() override;

    // Shows Text at Rect (screen), topmost, without taking the activation.
    virtual void ActivateHint(const TRect& Rect, const String& Text);
    virtual void ActivateHintData(const TRect& Rect, const String& Text, void* Data);
    // The rectangle at (0, 0) that shows Text no wider than MaxWidth: the word-wrapped text
    // measured with the canvas font, plus 6 wide and 2 high.
    virtual TRect CalcHintRect(int MaxWidth, const String& Text, void* Data);
    // Hides the window (it is made again at the next activation).
    void ReleaseHandle();
    // Shown now.
    bool Active() const;

protected:
    void CreateParams(TCreateParams& Params) override;
    // The plain look: info background, text in the info text colour 2 pixels in.
    void Paint() override;
    void WndProc(TMessage& Message) override;
};

// How the application makes its hint window: &CreateHintWindow<TMyHintWindow>.
using THintWindowClass = THintWindow* (*)(TComponent* AOwner);
template <class T>
THintWindow* CreateHintWindow(TComponent* AOwner) {
    return new T(AOwner);
}
