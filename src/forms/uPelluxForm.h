#pragma once
// TPelluxForm: the skin of one form. It takes over the form's non-client area: it reserves
// its own title bar and frame, answers hit tests (dragging, resizing, the title double
// click), paints the title bar and the frame from one reused surface and the client area
// from a cached background, keeps the title-bar controls, drives the layered shadow border,
// and hides the form (alpha 0) while it is first shown, minimized and restored so that no
// unskinned frame ever flashes. It is the form's skin in the registry of skinned forms.
//
// Plain values only store; the new look shows with the next Repaint or RefreshSkin.

#include <memory>
#include <vector>

#include "forms/uPelluxFormBackground.h"
#include "forms/uPelluxFormGeometry.h"
#include "forms/uQvStdCtrl.h"
#include "framework/uQvForms.h"
#include "skin/uQvSkinRegistry.h"

class TPelluxRes;
class TQvFormLayerBorder;
class TPelluxMainMenu;
class TPelluxNCCtrlBase;

enum TDragFullWindowsKind { wkSystem, wkActive, wkDisable };

class TPelluxFormOptions : public TPersistent {
public:
    // An owned form gets a taskbar button of its own.
    bool MinimizeToTaskbar() const { return FMinimizeToTaskbar; }
    void SetMinimizeToTaskbar(bool Value) { FMinimizeToTaskbar = Value; }
    bool HideInTaskbar() const { return FHideInTaskbar; }
    void SetHideInTaskbar(bool Value) { FHideInTaskbar = Value; }
    // Whether the window's content follows it while dragged or sized: as the system says,
    // always, or never (an outline only).
    TDragFullWindowsKind DragFullWindows() const { return FDragFullWindows; }
    void SetDragFullWindows(TDragFullWindowsKind Value) { FDragFullWindows = Value; }

    void Assign(const TPersistent* Source) override;

private:
    bool FMinimizeToTaskbar = false;
    bool FHideInTaskbar = false;
    TDragFullWindowsKind FDragFullWindows = wkSystem;
};

// A popup of the title-bar menu closed.
inline constexpr UINT MM_MENUCLOSED = 52057;

// FormState bits.
inline constexpr int QvFormMinimizing = 0x100;
inline constexpr int QvFormRestored = 0x200;

// The timers of the form window.
inline constexpr UINT_PTR SkinTimerNCPaint = 3332;    // repaint the frame once resizing paused
inline constexpr UINT_PTR SkinTimerShown = 3333;      // finish showing the form
inline constexpr UINT_PTR SkinTimerNextMenu = 3334;   // open the next title-bar menu
inline constexpr UINT_PTR SkinTimerMinimized = 3335;  // tell the border the form is minimized

class TPelluxForm : public TQvHookWindowProc, public TQvFormSkinIntf {
public:
    explicit TPelluxForm(TComponent* AOwner);
    ~TPelluxForm() override;

    // ---- Published ----
    // At 96 dpi; scaled for the form's dpi.
    int TitleHeight() const override { return FTitleHeight; }
    void SetTitleHeight(int Value) { FTitleHeight = Value; }
    // Left, right and bottom frame in pixels, 0 while maximized. A negative value is
    // ignored; 0 also sets FlatFrame; every value set is also RealFrameWidth.
    int FramWidth() const override { return FFramWidth; }
    void SetFramWidth(int Value);
    int HitTestWidth() const { return FHitTestWidth; }
    void SetHitTestWidth(int Value) { FHitTestWidth = Value; }
    // Also sets NCBkColor.
    TColor TitlerColor() const { return FTitlerColor; }
    void SetTitlerColor(TColor Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    bool FlatFrame() const { return FFlatFrame; }
    void SetFlatFrame(bool Value) { FFlatFrame = Value; }
    bool RoundWindow() const { return FRoundWindow; }
    void SetRoundWindow(bool Value) { FRoundWindow = Value; }
    bool DoubleFrame() const { return FDoubleFrame; }
    void SetDoubleFrame(bool Value) { FDoubleFrame = Value; }
    TColor FrameColor() const { return FFrameColor; }
    void SetFrameColor(TColor Value) { FFrameColor = Value; }
    bool KeepFrameColor() const { return FKeepFrameColor; }
    void SetKeepFrameColor(bool Value) { FKeepFrameColor = Value; }
    bool KeepTitlerColor() const { return FKeepTitlerColor; }
    void SetKeepTitlerColor(bool Value) { FKeepTitlerColor = Value; }
    bool ActiveGradient() const { return FActiveGradient; }
    void SetActiveGradient(bool Value) { FActiveGradient = Value; }
    int GradientHeight() const { return FGradientHeight; }
    void SetGradientHeight(int Value) { FGradientHeight = Value; }
    TPelluxStyle Style() const override { return FStyle; }
    void SetStyle(TPelluxStyle Value) { FStyle = Value; }
    // A new picture is also copied into the shared form-skin settings.
    const TQvResID& CustomPicture() const { return FCustomPicture; }
    void SetCustomPicture(const TQvResID& Value);
    TQvFillStyle FillStyle() const { return FFillStyle; }
    void SetFillStyle(TQvFillStyle Value) { FFillStyle = Value; }
    bool EraseBackGround() const { return FEraseBackGround; }
    void SetEraseBackGround(bool Value) { FEraseBackGround = Value; }
    TPelluxFormOptions* Options() const { return FOptions.get(); }
    void SetOptions(const TPelluxFormOptions* Value) { FOptions->Assign(Value); }
    // Applied at once.
    TPelluxRes* SkinRes() const { return FSkinRes; }
    void SetSkinRes(TPelluxRes* Value);
    TQvFormLayerBorder* ImageBorder() const { return FImageBorder; }
    void SetImageBorder(TQvFormLayerBorder* Value);
    TPelluxMainMenu* MainMenu() const { return FMainMenu.get(); }
    void SetMainMenu(const TPelluxMainMenu* Value);
    // After every full repaint.
    TNotifyEvent Changed;

    // ---- Public ----
    // While false the skin leaves the frame to the window.
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    bool BlockUIFlash() const { return true; }
    TColor ClientBkColor() const { return FBackground.ClientBkColor(); }
    TColor NCBkColor() const { return FBackground.NCBkColor(); }
    TColor PictureBgColor() const { return FBackground.PictureBgColor(); }
    TSurface32* BackgroundPicture() { return GetBackgroundPicture(); }
    TSurface32* GetBackgroundPicture() override;
    const std::vector<TPelluxNCCtrlBase*>& NCCtrlList() const { return FNCCtrlList; }
    // Whether Control is in the list now.
    bool Listed(const TPelluxNCCtrlBase* Control) const;
    int RealFrameWidth() const { return FRealFrameWidth; }
    int FormState() const { return FFormState; }

    // The EndChange that closes the outermost BeginChange repaints.
    void BeginChange() { ++FChangeCount; }
    void EndChange();
    // The full repaint: frame, client area, every skinned control; then Changed.
    void Repaint();
    void Invalidate() { Repaint(); }
    // Repaints the frame now.
    void InvalidateNC();
    // Rebuilds the background and repaints (only once the form has a window).
    void RefreshSkin() override;
    // The restore step: the form visible again with its own alpha, the border back.
    void Restoring();

protected:
    void NewWndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Counts a dispatch to the title-bar controls; the outermost one frees what was
    // removed meanwhile once it unwinds.
    class TDispatch {
    public:
        explicit TDispatch(TPelluxForm* S) : FSkin(S), FAlive(S->AliveCheck()) { ++FSkin->FDispatchDepth; }
        ~TDispatch() {
            if (FAlive.Alive() && --FSkin->FDispatchDepth == 0) FSkin->Sweep();
        }
        TDispatch(const TDispatch&) = delete;
        TDispatch& operator=(const TDispatch&) = delete;

    private:
        TPelluxForm* FSkin;
        TQvAliveCheck FAlive;
    };

    void PassOn(TMessage& M) { TQvHookWindowProc::NewWndProc(M); }
    HWND Wnd() const;
    bool HasBorder() const;
    bool Zoomed() const;
    bool Iconic() const;
    // The title bar height in pixels.
    int ScaledTitle() const;
    TQvNCMetrics Metrics() const;
    TQvBackgroundLook Look() const;
    void RebuildCaches() { FBackground.Build(Look()); }

    // ---- Messages ----
    void WMSize(TMessage& M);
    void WMPaint(TMessage& M);
    void WMGetMinMaxInfo(TMessage& M);
    void WMWindowPosChanging(TMessage& M);
    void WMWindowPosChanged(TMessage& M);
    void WMNCCalcSize(TMessage& M);
    void WMNCHitTest(TMessage& M);
    void WMNCMouseMove(TMessage& M);
    void WMNCLButtonDown(TMessage& M);
    void WMNCLButtonUp(TMessage& M);
    void WMNCLButtonDblClk(TMessage& M);
    void WMSysCommand(TMessage& M);
    void WMTimer(TMessage& M);
    void WMDpiChanged(TMessage& M);
    void CMShowingChanged(TMessage& M);
    bool AppHook(TMessage& M);

    // ---- Title-bar controls ----
    // A press or release for the first visible control under the mouse; false when none
    // took it (or the press fell on a resize zone).
    bool DispatchClick(bool Press);
    void AddNCCtrl(WPARAM Control);
    void RemoveNCCtrl(WPARAM Control);
    // Frees the controls whose removal waited for a dispatch or their own handler.
    void Sweep();

    // ---- Steps ----
    void Minimizing();
    void SaveAlpha();
    void RebuildRegion();
    // Marked, or made for another size or state of the window than it has now.
    bool RegionStale() const;
    void PaintNC();
    void PaintTitleControls(TSurface32* Strip);
    void CopyToShared();
    void FollowSkinRes();
    // The frame width for the window's state: none while maximized.
    void SyncFrame();

    int FTitleHeight = 27;
    int FFramWidth = 2;
    int FRealFrameWidth = 2;
    int FHitTestWidth = 5;
    TColor FTitlerColor = 16761926;
    TColor FColor = 15920353;
    bool FFlatFrame = false;
    bool FRoundWindow = true;
    bool FDoubleFrame = true;
    TColor FFrameColor = 0;
    bool FKeepFrameColor = false;
    bool FKeepTitlerColor = false;
    bool FActiveGradient = true;
    int FGradientHeight = 168;
    TPelluxStyle FStyle = ssColor;
    TQvResID FCustomPicture;
    TQvFillStyle FFillStyle = mfsBlur;
    bool FEraseBackGround = false;
    std::unique_ptr<TPelluxFormOptions> FOptions;
    TPelluxRes* FSkinRes = nullptr;
    TQvFormLayerBorder* FImageBorder = nullptr;
    std::unique_ptr<TPelluxMainMenu> FMainMenu;
    bool FActive = false;

    TBorderIcons FOldBorderIcons;
    TWindowState FOldWS = wsNormal;
    int FChangeCount = 0;
    bool FDoChanging = false;
    bool FRgnChanged = true;
    bool FRgnChanging = false;
    // The window size and state the region was made for.
    TSize FRgnSize;
    bool FRgnZoomed = false;
    bool FIgnoreNCHit = false;
    bool FFixedStartFlash = false;
    struct {
        bool Enabled = false;
        BYTE Value = 255;
    } FOldAlphaBlend;
    HBRUSH FBgDefBrush = nullptr;
    bool FMM_SKINRESCHANGED = false;
    int FFormState = 0;
    TQvFormBackground FBackground;
    std::vector<TPelluxNCCtrlBase*> FNCCtrlList;
    // Removed while something was dispatching to them; freed by Sweep.
    std::vector<TPelluxNCCtrlBase*> FPendingFree;
    int FDispatchDepth = 0;
    int FAppHookId = -1;
};

// Registers TPelluxFormOptions and TPelluxForm for stored layouts.
void RegisterPelluxForm();
