#pragma once
// The plain (unskinned) button and label: light faces with a one-pixel border, an accent
// frame for the focused and the default button, text centred on its line. Dialogs of the
// framework and the forms that have no skin yet are made of them.

#include "framework/uQvWinControl.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

// A push button. Clicking it (mouse, Space, its mnemonic, Enter while it is the active
// default button, Esc when it is the cancel button) copies ModalResult to its form and
// then raises OnClick.
class TButton : public TCustomControl {
public:
    explicit TButton(TComponent* AOwner);

    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    // The button that takes Enter: the focused button, else the default one while no
    // other button has the focus.
    bool Active() const { return FActive; }

    void Click() override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void SetActive(bool Value);
    void SetDown(bool Value);

    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
    bool FActive = false;
    bool FHot = false;
    bool FDown = false;        // drawn pressed
    bool FSpaceDown = false;   // Space held on it
    bool FMouseDown = false;   // left button pressed on it
};

// Text on its parent. Its mnemonic focuses FocusControl; AutoSize fits the bounds to the
// text (keeping the edge Alignment names, or the centre); WordWrap breaks lines at the
// width; Transparent leaves the background to the parent.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);

    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // Where the text block sits between the top and the bottom.
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);

    void WndProc(TMessage& Message) override;
    void Loaded() override;

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    UINT TextFlags() const;
    // The text's rectangle for Width (DT_CALCRECT).
    TRect MeasureText(int Width) const;
    // Fits the bounds to the text when AutoSize is on and nothing is being read.
    void AdjustBounds();

    TWinControl* FFocusControl = nullptr;
    bool FAutoSize = true;
    bool FWordWrap = false;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FTransparent = false;
    bool FShowAccelChar = true;
};

// Registers TButton and TLabel for stored layouts (after the form classes). Calling it
// again does nothing.
void RegisterQvStdCtrls();
