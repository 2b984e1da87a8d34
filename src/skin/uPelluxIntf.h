#pragma once
// The enumerations and event types every skinned control shares, and the small value
// objects controls own and publish for their texts: the glow behind a text
// (TQvLightClass), a text with a glow (TQvTextObj), a caption with a font and an offset
// (TQvCaption) and a point offset (TQvOffset). Each tells its owner about a change through
// OnChanged; the owner repaints.

#include <functional>
#include <memory>

#include "draw/uPelluxGraphics.h"
#include "draw/uQvSurface.h"
#include "framework/uQvClasses.h"
#include "framework/uQvGraphics.h"

// ---- Enumerations -----------------------------------------------------------------------
// TQvPngFillType (ftNormal .. ftGradient) lives with the drawing helpers that take it.

enum TEllipsisPosition { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };
enum TGradientDirection { gdHorizontal, gdVertical };
enum TGradientAlign { gaCenter, gaLeft, gaRight };
enum TQvTextKind { tkAll, tkEN, tkNumInt, tkNumReal, tkENandNum };
// sbcaRigth keeps the spelling stored layouts use.
enum TQvSwitchButtonCaptionAlign { sbcaLeft, sbcaRigth };
enum TQvCorner { TopLeft, TopRight, BottomLeft, BottomRight };
enum TPelluxStyle { ssColor, ssPicture };
enum TQvFillStyle { mfsBlur, mfsTile, mfsStretch, mfs9Block };
enum TPelluxCustomComboBoxStyle { csDropDown, csDropDownList };
enum TSide { sdLeft, sdTop, sdRight, sdBottom };
using TSides = TSet<TSide>;
// The single value of the components' About property, which is never stored.
enum TQvAboutInfo { aiPelluxComponent };

// ---- The library's window messages (fixed numbers, shared by controls and form skins) ----

inline constexpr UINT MM_REFRESHCONTROL = 3025;  // a control repaints itself and its non-client area
inline constexpr UINT MM_NCPAINT = 3027;         // repaint the non-client area now
inline constexpr UINT MM_REFRESHSKIN = 3028;     // rebuild the background caches and repaint
inline constexpr UINT MM_SKINRESCHANGED = 3029;  // the skin configuration changed: re-read it
inline constexpr UINT MM_ADDNCCTRL = 3030;       // a title-bar control joins its form skin
inline constexpr UINT MM_REMOVENCCTRL = 3031;    // a title-bar control leaves its form skin

// ---- Event types --------------------------------------------------------------------------

// Lets the application paint a control's background itself (Handled := true).
using TQvBackgroundEvent = std::function<void(TObject* Sender, TSurface32* Background, bool& Handled)>;
using TQvCustomDrawEvent = std::function<void(TObject* Sender, TSurface32* ACanvas)>;
using TQvDPIChangedEvent = std::function<void(TObject* Sender, int NewPPI)>;

// ---- Value objects ------------------------------------------------------------------------

// The glow DrawGlowText paints behind a text: 2 * BlurRadius darkening rounds of Color.
class TQvLightClass : public TPersistent {
public:
    int BlurRadius() const { return FBlurRadius; }
    void SetBlurRadius(int Value);
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

    // From another glow: Active and Color; the strength stays the target's own.
    void Assign(const TPersistent* Source) override;
    // Raises OnChanged.
    virtual void Changed();

    TNotifyEvent OnChanged;

private:
    int FBlurRadius = 1;
    bool FActive = false;
    TColor FColor = 0xFFFFFE;
};

// A text that may be hidden and may glow. A change of the glow is a change of the text.
class TQvTextObj : public TPersistent {
public:
    TQvTextObj();

    TQvLightClass* Light() const { return FLight.get(); }
    void SetLight(const TQvLightClass* Value);
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    // From another text object: Light, Text and Visible.
    void Assign(const TPersistent* Source) override;
    // Raises OnChanged.
    virtual void Changed();

    TNotifyEvent OnChanged;

private:
    std::unique_ptr<TQvLightClass> FLight;
    String FText;
    bool FVisible = true;
};

// A text object with its own font, drawn shifted by (OffsetX, OffsetY). Any change of the
// font, and every assignment to it, is a change of the caption.
class TQvCaption : public TQvTextObj {
public:
    TQvCaption();

    int OffsetX() const { return FOffsetX; }
    void SetOffsetX(int Value);
    int OffsetY() const { return FOffsetY; }
    void SetOffsetY(int Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value);

    // Light, Text and Visible as a text object, then the font; the offsets stay the
    // target's own.
    void Assign(const TPersistent* Source) override;

private:
    std::unique_ptr<TFont> FFont;
    int FOffsetX = 0;
    int FOffsetY = 0;
};

class TQvOffset : public TPersistent {
public:
    int X() const { return FX; }
    void SetX(int Value);
    int Y() const { return FY; }
    void SetY(int Value);

    // From another offset: X and Y, with one OnChanged when either differed.
    void Assign(const TPersistent* Source) override;
    // Raises OnChanged.
    virtual void Changed();

    TNotifyEvent OnChanged;

private:
    int FX = 0;
    int FY = 0;
};

// Registers the enumerations above (and TQvPngFillType) by value name and the value
// objects with their published properties, after the framework's fonts. Calling it again
// does nothing.
void RegisterPelluxIntf();
