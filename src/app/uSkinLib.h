#pragma once
// The skin scheme: the one colour of the application. It picks the colour from a fixed
// table or builds it from hue and saturation, tints a fixed list of skin images to it
// through the resource manager, and gives the tint's real colour to the title of every
// form skin bound to it. Its four values live in the settings' SkinStyle section, which
// it writes through the settings' setters, so every change reaches the file at once.
//
// Bound form skins are watched: one freed while bound leaves the list by itself.

#include <array>
#include <memory>
#include <vector>

#include "app/uProDefine.h"
#include "framework/uQvClasses.h"
#include "platform/uQvColor.h"

class TPelluxForm;
class TProSettings_SkinStyle;

// The colours of the default mode, by ColorIndex; the colour chooser shows the same.
inline constexpr std::array<TColor, 16> SkinSchemeColors = {
    14454598, 5538937,  3517159, 11317328, 13420079, 3021502, 4224730, 10378585,
    14392064, 8633962,  4411231, 613119,   10125568, 10445745, 9085893, 4671045,
};

// The images a scheme tints, in order; the first SchemeDPIImageCount go with their DPI
// variants, the others as stored.
inline constexpr int SchemeDPIImageCount = 14;
extern const std::array<const char16_t*, 58> SchemeImageNames;

class TSkinLib : public TObject {
public:
    // Takes ColorIndex, ColorMode, H and S from the settings (kept in range), then Apply.
    TSkinLib();
    ~TSkinLib() override;

    // 0..15; a value outside is taken as the nearest end.
    int ColorIndex() const { return FColorIndex; }
    void SetColorIndex(int Value);
    TColorMode ColorMode() const { return FColorMode; }
    void SetColorMode(TColorMode Value);
    // Hue and saturation in percent, 0..100; a value outside is taken as the nearest end.
    int H() const { return FH; }
    void SetH(int Value);
    int S() const { return FS; }
    void SetS(int Value);
    // Whether the scheme is applied. Asked while it is not, it first puts the default
    // colour back (mode cmDefault, index 0) here and in the settings.
    bool Active();

    // The scheme colour: the table's entry in cmDefault, the colour of hue H and
    // saturation S at half lightness in cmCustom.
    TColor Color() const;
    // The colour titles get: the average of the first tinted image, else Color().
    TColor RealColor() const { return FRealColor; }

    // Tints the images and recolours every bound form skin; the setters leave that to it.
    void Apply() { ApplyAll(); }
    // Lists Skin once (the first binding decides its place) and gives it the colour, also
    // when it was listed already.
    void BindingPelluxForm(TPelluxForm* Skin);
    // Takes Skin off the list; one not listed is ignored.
    void UnbindPelluxForm(TPelluxForm* Skin);
    // The bound form skins, in binding order.
    std::vector<TPelluxForm*> PelluxFormList() const;

    // RecolorImages, then ApplyToForm for every bound skin, in list order.
    virtual void ApplyAll();
    // The title colour and a full refresh of the skin.
    virtual void ApplyToForm(TPelluxForm* Skin);
    // Tints the listed images to the scheme colour; the default colour (index 0 in the
    // default mode) puts the stored images back instead.
    virtual void RecolorImages();

protected:
    bool FActive = false;

private:
    class TFormWatch;
    friend class TFormWatch;
    struct TBound {
        TPelluxForm* Skin;
        // The skin as a component, taken while it is whole: a dying skin is matched by
        // address only.
        TComponent* Component;
    };
    int IndexOf(const TPelluxForm* Skin) const;
    void Forget(const TComponent* Component);
    // The settings' section, nullptr when the settings are gone.
    static TProSettings_SkinStyle* Stored();

    std::unique_ptr<TFormWatch> FWatch;
    std::vector<TBound> FPelluxFormList;
    int FColorIndex = 0;
    TColorMode FColorMode = cmDefault;
    int FH = 50;
    int FS = 50;
    TColor FRealColor = SkinSchemeColors[0];
};

// The program's scheme, made on first use (after the settings).
TSkinLib& SkinLib();
// Whether the scheme exists now.
bool SkinLibAssigned();
// Frees the scheme (program end, before the settings); a later SkinLib() makes a new one.
void FreeSkinLib();
// Puts the making and freeing of the scheme into the program's set-up steps. Calling it
// again does nothing more.
void RegisterSkinLib();
