#pragma once
// The two process-wide registries of the skin: every skinned form with its form skin
// (TQvFormSkinHelper) and every skinned control (TQvWinControlHelper), and the small
// interface through which the skin layer and the controls know a form skin. The form skin
// engine implements the interface and adds itself; the controls base adds each control.
//
// Both registries hold plain pointers and ask for free notification of what they hold, so
// an entry leaves by itself when its form, control or form skin component is freed.
// They are made on first use and freed by the library's shut-down (RegisterQvSkinRegistry
// puts that step in place).

#include <functional>
#include <vector>

#include "draw/uQvSurface.h"
#include "framework/uQvClasses.h"
#include "skin/uPelluxIntf.h"

class TCustomForm;
class TWinControl;

// Runs among the last shut-down steps, after the forms and the skin objects are gone.
inline constexpr int ioSkinRegistries = 50;

// What the skin layer and the controls need of a form's skin.
class TQvFormSkinIntf {
public:
    virtual ~TQvFormSkinIntf() = default;
    // The cached client background of the current style; nullptr when there is none.
    virtual TSurface32* GetBackgroundPicture() = 0;
    // Left, right and bottom frame width in pixels (0 while maximized).
    virtual int FramWidth() const = 0;
    // Title bar height at 96 pixels per inch.
    virtual int TitleHeight() const = 0;
    virtual TPelluxStyle Style() const = 0;
    // Rebuilds the background caches and repaints the form.
    virtual void RefreshSkin() = 0;
};

class TQvFormSkinHelper : public TComponent {
public:
    TQvFormSkinHelper();

    // Registers Form with Skin; a form already registered keeps its place and takes the
    // new skin. When the skin is a component, its free notification removes the entry too.
    void Add(TCustomForm* Form, TQvFormSkinIntf* Skin);
    void Remove(TCustomForm* Form);
    // -1 when absent.
    int IndexOf(const TCustomForm* Form) const;
    // The form's skin, nullptr when the form has none.
    TQvFormSkinIntf* Get(const TCustomForm* Form) const;
    int GetCount() const { return static_cast<int>(FItems.size()); }
    TCustomForm* Forms(int Index) const;
    TQvFormSkinIntf* Skins(int Index) const;
    // Calls Proc for each entry, from the first to the last, or from the last to the first
    // when Backward; entries that leave meanwhile are skipped.
    void ForEach(const std::function<void(TCustomForm* Form, TQvFormSkinIntf* Skin)>& Proc,
                 bool Backward = false);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TItem {
        TCustomForm* Form;
        TQvFormSkinIntf* Skin;
        // The skin as a component (nullptr when it is none), taken while it is whole: a
        // dying skin is matched by address only.
        TComponent* SkinComponent;
    };
    void Forget(int Index);
    // Whether an entry names C as its form or its skin.
    bool Uses(const TComponent* C) const;
    std::vector<TItem> FItems;
};

class TQvWinControlHelper : public TComponent {
public:
    TQvWinControlHelper();

    // Adding a control twice keeps one entry.
    void Add(TWinControl* Control);
    void Remove(TWinControl* Control);
    int IndexOf(const TWinControl* Control) const;
    int GetCount() const { return static_cast<int>(FItems.size()); }
    TWinControl* Items(int Index) const;
    // Calls Proc for each control, in registration order; controls that leave meanwhile
    // are skipped.
    void ForEach(const std::function<void(TWinControl* Control)>& Proc);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::vector<TWinControl*> FItems;
};

// The registries, made on first use.
TQvFormSkinHelper* FormSkinHelper();
TQvWinControlHelper* WinControlHelper();
// Whether they exist now (a control that dies after the shut-down must not make them again).
bool FormSkinHelperAssigned();
bool WinControlHelperAssigned();
// Frees both registries; a later use makes them anew.
void FreeSkinRegistries();
// Puts the freeing of the registries into the library's shut-down. Calling it again does
// nothing more.
void RegisterQvSkinRegistry();

// Fills Surface with the part R (in Form's client coordinates) of the background picture
// of Form's skin: R is moved past the frame (F = FramWidth) and, for the picture style,
// past the title bar (ScaleByDPI(Form, TitleHeight)); a form without a border moves
// nothing. The part is drawn into Surface's clip rectangle, stretched when the sizes
// differ. False, with Surface untouched, when Form has no skin or no picture, or R is
// empty: the caller then paints the background another way.
bool CopyFormSkinBackground(TCustomForm* Form, TSurface32* Surface, const TRect& R);
