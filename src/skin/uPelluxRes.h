#pragma once
// The look of skinned forms in one settings object (TQvFormSkinRes): caption and client
// colours, frame width, caption height, background picture, gradient height and a few
// switches. The skin configuration component (TPelluxRes) keeps one in "Skin/Config.xml"
// beside the program, with the three global recolouring offsets, and pushes it to every
// skinned form; one shared settings object, into which every form skin copies its own,
// lets dialogs made later look the same.

#include <memory>

#include "framework/uQvClasses.h"
#include "platform/uQvColor.h"
#include "skin/uPelluxIntf.h"
#include "skin/uPelluxResManager.h"

class TPelluxRes;
class TQvXmlDocument;

// The shared settings object is made before the light timers and freed after them.
inline constexpr int ioFormSkinRes = 250;

// The configuration's recolouring offsets, which the form skins apply to their colours and
// background pictures: hue shift in degrees, saturation and brightness change in percent.
// They change only through TPelluxRes::Load and ApplyDefault.
extern int HSB_H;
extern int HSB_S;
extern int HSB_B;

class TQvFormSkinRes : public TPersistent {
public:
    // Owner, when given, is told of every change (its Apply runs) before OnChanged.
    explicit TQvFormSkinRes(TPelluxRes* AOwner = nullptr);
    ~TQvFormSkinRes() override;

    // The setters below tell of a change (see Changed) only when the value differs.
    const TQvResID& CustomPicture() const { return FCustomPicture; }
    void SetCustomPicture(const TQvResID& Value);
    int HitTestWidth() const { return FHitTestWidth; }
    void SetHitTestWidth(int Value);
    int TitleHeight() const { return FTitleHeight; }
    void SetTitleHeight(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TColor TitlerColor() const { return FTitlerColor; }
    void SetTitlerColor(TColor Value);
    TPelluxStyle Style() const { return FStyle; }
    void SetStyle(TPelluxStyle Value);
    int FramWidth() const { return FFramWidth; }
    // Negative widths are ignored.
    void SetFramWidth(int Value);
    int DefaultSkinOrder() const { return FDefaultSkinOrder; }
    void SetDefaultSkinOrder(int Value);
    int GradientHeight() const { return FGradientHeight; }
    void SetGradientHeight(int Value);

    // These are stored without telling anyone.
    // The file name (no folder) of the background picture the configuration names.
    const String& CustomPictureName() const { return FCustomPictureName; }
    void SetCustomPictureName(const String& Value) { FCustomPictureName = Value; }
    // The layered border component of the form; its holder clears it before freeing it.
    TComponent* ImageBorder() const { return FImageBorder; }
    void SetImageBorder(TComponent* Value) { FImageBorder = Value; }
    bool ActiveGradient() const { return FActiveGradient; }
    void SetActiveGradient(bool Value) { FActiveGradient = Value; }
    bool DoubleFrame() const { return FDoubleFrame; }
    void SetDoubleFrame(bool Value) { FDoubleFrame = Value; }
    TQvFillStyle FillStyle() const { return FFillStyle; }
    void SetFillStyle(TQvFillStyle Value) { FFillStyle = Value; }
    bool RoundWindow() const { return FRoundWindow; }
    void SetRoundWindow(bool Value) { FRoundWindow = Value; }
    bool FlatFrame() const { return FFlatFrame; }
    void SetFlatFrame(bool Value) { FFlatFrame = Value; }

    // Changes between the two are told once, by the EndUpdate that closes the outermost
    // update (whether or not anything changed).
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    // While locked nothing is told; UnLock tells nothing either.
    void Lock() { FLocked = true; }
    void UnLock() { FLocked = false; }
    bool Locked() const { return FLocked; }

    // Every setting of another settings object, told once.
    void Assign(const TPersistent* Source) override;
    TPersistent* GetOwner() const override;

    TNotifyEvent OnChanged;

protected:
    // Outside an update and unlocked: the owner's Apply, then OnChanged. The object may be
    // freed by what Apply lets happen; OnChanged is then not raised.
    virtual void Changed();

private:
    template <typename V>
    void Store(V& Field, const V& Value);

    TQvResID FCustomPicture;
    int FHitTestWidth = 5;
    int FTitleHeight = 27;
    TColor FColor = 15920353;
    TColor FTitlerColor = 16761926;
    TPelluxStyle FStyle = ssColor;
    int FFramWidth = 2;
    int FUpdateCount = 0;
    String FCustomPictureName;
    int FDefaultSkinOrder = 0;
    int FGradientHeight = 168;
    TPelluxRes* FOwner;
    bool FLocked = false;
    TComponent* FImageBorder = nullptr;
    bool FActiveGradient = true;
    bool FDoubleFrame = true;
    TQvFillStyle FFillStyle = mfsBlur;
    bool FRoundWindow = true;
    bool FFlatFrame = false;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The skin configuration component. Its file is <program folder>Skin/Config.xml; the
// background pictures it names are in Skin/Custom/, the default one is
// Skin/Default/skin_bk_leaf.jpg.
class TPelluxRes : public TComponent {
public:
    explicit TPelluxRes(TComponent* AOwner);
    // With the folder that holds "Skin/" in place of the program's own (ending in '/').
    TPelluxRes(TComponent* AOwner, const String& ProgramFolder);
    ~TPelluxRes() override;

    TQvFormSkinRes* Form() const { return FForm.get(); }
    // Copies Value into Form.
    void SetForm(const TQvFormSkinRes* Value);
    bool UseSkinFile() const { return FUseSkinFile; }
    void SetUseSkinFile(bool Value) { FUseSkinFile = Value; }
    TQvAboutInfo About() const { return aiPelluxComponent; }
    const String& FileName() const { return FFileName; }

    // Reads the file into Form and the offsets, telling nothing (callers Apply). Whatever
    // the file holds, nothing is raised: a value that is missing, not a number or out of
    // range (a style other than the two, a size outside 0..1000) leaves its setting as it
    // was, and a background picture is looked for only inside Skin/Custom/. Without a
    // file, only the default picture is taken (told, when it changes anything).
    void Load();
    // Writes Form and the offsets as UTF-8, beside the file and renamed over it, making the
    // folder first. A file that cannot be written is left as it was, silently.
    void Save();
    // Tells every skinned form, from the last registered to the first, to re-read its
    // settings (MM_SKINRESCHANGED), letting pending messages run before each; forms freed
    // or unregistered meanwhile are passed over.
    void Apply();
    // The default settings and offsets, told once. CustomPictureName stays.
    void ApplyDefault();

    // After a stored layout: Load when UseSkinFile, else Save.
    void Loaded() override;

private:
    // The picture Name in Skin/Custom/ when it is a plain file name of a file there, else
    // the default picture when it exists; otherwise the picture settings stay.
    void TakePicture(const String& Name);
    // The default picture, when it exists; false when it does not.
    bool TakeDefaultPicture();
    void ReadDocument();

    std::unique_ptr<TQvXmlDocument> FXml;
    std::unique_ptr<TQvFormSkinRes> FForm;
    String FFolder;
    String FFileName;
    bool FUseSkinFile = true;
};

// The shared settings object (no owner), made on first use (again after
// FreeSharedFormSkinRes, which the library's shut-down calls).
TQvFormSkinRes* SharedFormSkinRes();
void FreeSharedFormSkinRes();
// Registers the classes for stored layouts and puts the shared settings object into the
// library's set-up and shut-down. Calling it again does nothing more.
void RegisterPelluxRes();
