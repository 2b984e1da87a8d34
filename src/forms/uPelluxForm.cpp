#include "forms/uPelluxForm.h"

#include <algorithm>

#include "controls/base/uPelluxCtrls.h"
#include "draw/uPelluxCanvas.h"
#include "draw/uPelluxDPI.h"
#include "draw/uQvColor32.h"
#include "forms/uPelluxFormPaint.h"
#include "forms/uPelluxMainMenu.h"
#include "forms/uPelluxNCCtrlBase.h"
#include "forms/uPelluxNCImage.h"
#include "forms/uPelluxNCLabel.h"
#include "forms/uQvFormBorder.h"
#include "framework/uQvApplication.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvGdiObjects.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvTimers.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "skin/uPelluxRes.h"

namespace {

TColor32 Opaque(TColor C) {
    return ToColor32(C) | 0xFF000000u;
}

}  // namespace

// ---- TPelluxFormOptions -------------------------------------------------------------------

void TPelluxFormOptions::Assign(const TPersistent* Source) {
    const auto* From = dynamic_cast<const TPelluxFormOptions*>(Source);
    if (From == nullptr) return TPersistent::Assign(Source);
    FMinimizeToTaskbar = From->FMinimizeToTaskbar;
    FHideInTaskbar = From->FHideInTaskbar;
    FDragFullWindows = From->FDragFullWindows;
}

// ---- Life -----------------------------------------------------------------------------------

TPelluxForm::TPelluxForm(TComponent* AOwner)
    : TQvHookWindowProc(AOwner),
      FOptions(std::make_unique<TPelluxFormOptions>()),
      FMainMenu(std::make_unique<TPelluxMainMenu>(this)) {
    TCustomForm* F = DestForm();
    if (F == nullptr) return;
    FormSkinHelper()->Add(F, this);
    FOldBorderIcons = F->BorderIcons();
    FOldWS = F->WindowState();
    FOldAlphaBlend.Enabled = F->AlphaBlend();
    FOldAlphaBlend.Value = F->AlphaBlendValue();
    FActive = true;
    if (!HighDPIEnabled) F->SetScaled(false);
    if (Application != nullptr)
        FAppHookId = Application->HookMainWindow([this](TMessage& M) { return AppHook(M); });
}

TPelluxForm::~TPelluxForm() {
    if (FBgDefBrush != nullptr) DeleteObject(FBgDefBrush);
    if (FAppHookId >= 0 && Application != nullptr) Application->UnhookMainWindow(FAppHookId);
    if (DestForm() != nullptr && FormSkinHelperAssigned()) FormSkinHelper()->Remove(DestForm());
    const std::vector<TPelluxNCCtrlBase*> Pending = std::move(FPendingFree);
    for (TPelluxNCCtrlBase* C : Pending) delete C;
    for (TPelluxNCCtrlBase* C : FNCCtrlList) C->SetParentObject(nullptr);
}

void TPelluxForm::Notification(TComponent* AComponent, TOperation Operation) {
    TQvHookWindowProc::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FSkinRes) FSkinRes = nullptr;
    if (AComponent == FImageBorder) FImageBorder = nullptr;
    FMainMenu->Forget(AComponent);
    std::erase(FNCCtrlList, AComponent);
    std::erase(FPendingFree, AComponent);
}

// ---- Properties -----------------------------------------------------------------------------

void TPelluxForm::SetFramWidth(int Value) {
    if (Value < 0) return;
    FFramWidth = Value;
    if (Value == 0) FFlatFrame = true;
    FRealFrameWidth = Value;
}

void TPelluxForm::SetTitlerColor(TColor Value) {
    FTitlerColor = Value;
    FBackground.SetNCBkColor(Value);
}

void TPelluxForm::SetCustomPicture(const TQvResID& Value) {
    if (FCustomPicture == Value) return;
    FCustomPicture = Value;
    SharedFormSkinRes()->SetCustomPicture(Value);
}

void TPelluxForm::SetSkinRes(TPelluxRes* Value) {
    if (FSkinRes == Value) return;
    if (FSkinRes != nullptr) RemoveFreeNotification(FSkinRes);
    FSkinRes = Value;
    if (Value == nullptr) return;
    FreeNotification(Value);
    FollowSkinRes();
}

void TPelluxForm::SetImageBorder(TQvFormLayerBorder* Value) {
    if (FImageBorder == Value) return;
    if (FImageBorder != nullptr) {
        // The border given up lets the form go and leaves the screen with its sides.
        FImageBorder->InitFrame(nullptr);
        FImageBorder->FreeLayerWindow();
        RemoveFreeNotification(FImageBorder);
    }
    FImageBorder = Value;
    if (Value == nullptr) return;
    FreeNotification(Value);
    TCustomForm* F = DestForm();
    if (F != nullptr && F->Visible()) {
        Value->InitFrame(F);
        Value->CheckFormAlpha(true);
        Value->ShowWithForm(FNCCtrlList);
    }
}

void TPelluxForm::SetMainMenu(const TPelluxMainMenu* Value) {
    FMainMenu->Assign(Value);
}

void TPelluxForm::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    // The window asks again what its frame is.
    if (HWND H = Wnd())
        SetWindowPos(H, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

TSurface32* TPelluxForm::GetBackgroundPicture() {
    return FBackground.Picture(FStyle);
}

bool TPelluxForm::Listed(const TPelluxNCCtrlBase* Control) const {
    return std::find(FNCCtrlList.begin(), FNCCtrlList.end(), Control) != FNCCtrlList.end();
}

// ---- Helpers --------------------------------------------------------------------------------

HWND TPelluxForm::Wnd() const {
    TCustomForm* F = DestForm();
    return F != nullptr && F->HandleAllocated() ? F->Handle() : nullptr;
}

bool TPelluxForm::HasBorder() const {
    return DestForm() != nullptr && DestForm()->BorderStyle() != bsNone;
}

bool TPelluxForm::Zoomed() const {
    const HWND H = Wnd();
    return H != nullptr && IsZoomed(H);
}

bool TPelluxForm::Iconic() const {
    const HWND H = Wnd();
    return H != nullptr && IsIconic(H);
}

int TPelluxForm::ScaledTitle() const {
    return ScaleByDPI(DestForm(), FTitleHeight);
}

TQvNCMetrics TPelluxForm::Metrics() const {
    return TQvNCMetrics{ScaledTitle(), FFramWidth};
}

void TPelluxForm::SyncFrame() {
    FFramWidth = Zoomed() ? 0 : FRealFrameWidth;
}

TQvBackgroundLook TPelluxForm::Look() const {
    TCustomForm* F = DestForm();
    TQvBackgroundLook L;
    L.Style = FStyle;
    L.Color = FColor;
    L.TitlerColor = FTitlerColor;
    L.ActiveGradient = FActiveGradient;
    L.GradientHeight = ScaleByDPI(F, FGradientHeight);
    L.Title = ScaledTitle();
    L.Frame = FFramWidth;
    L.FormWidth = F != nullptr ? F->Width() : 0;
    L.FormHeight = F != nullptr ? F->Height() : 0;
    MONITORINFO Mi;
    const HWND H = Wnd();
    if (GetMonitorInfo(H != nullptr ? MonitorFromWindow(H, MONITOR_DEFAULTTONEAREST) : QvMonitorAt(0), &Mi))
        L.MonitorWidth = Mi.rcMonitor.Width();
    L.CustomPicture = FCustomPicture;
    L.FillStyle = FFillStyle;
    L.HueShift = HSB_H;
    L.SaturationShift = HSB_S;
    L.BrightnessShift = HSB_B;
    return L;
}

// ---- Repainting -----------------------------------------------------------------------------

void TPelluxForm::EndChange() {
    if (FChangeCount > 0 && --FChangeCount == 0) Repaint();
}

void TPelluxForm::Repaint() {
    if (DestForm() == nullptr || FChangeCount > 0 || FDoChanging) return;
    FDoChanging = true;
    const TQvAliveCheck Alive = AliveCheck();
    auto Finish = [&] {
        if (!Alive.Alive()) return;
        FDoChanging = false;
        if (Changed) Changed(this);
    };
    try {
        PaintNC();
        if (HWND H = Wnd()) RedrawWindow(H, nullptr, nullptr, RDW_INVALIDATE);
        if (Tag() != 99999) CopyToShared();
        if (WinControlHelperAssigned())
            WinControlHelper()->ForEach([](TWinControl* C) {
                if (auto* P = dynamic_cast<TPelluxCustomControl*>(C)) P->InvalidateNC();
                C->Invalidate();
            });
    } catch (...) {
        Finish();
        throw;
    }
    Finish();
}

void TPelluxForm::InvalidateNC() {
    if (HWND H = Wnd()) SendMessage(H, MM_NCPAINT, 0, 0);
}

void TPelluxForm::RefreshSkin() {
    if (HWND H = Wnd()) SendMessage(H, MM_REFRESHSKIN, 0, 0);
}

void TPelluxForm::CopyToShared() {
    TQvFormSkinRes* S = SharedFormSkinRes();
    S->BeginUpdate();
    S->SetColor(FColor);
    S->SetCustomPicture(FCustomPicture);
    // The designed width: a maximized form must not leave later dialogs without a frame.
    S->SetFramWidth(FRealFrameWidth);
    S->SetHitTestWidth(FHitTestWidth);
    S->SetStyle(FStyle);
    S->SetTitlerColor(FTitlerColor);
    S->EndUpdate();
}

void TPelluxForm::FollowSkinRes() {
    if (FSkinRes == nullptr || DestForm() == nullptr) return;
    const TQvFormSkinRes* R = FSkinRes->Form();
    FColor = R->Color();
    FCustomPicture = R->CustomPicture();
    FGradientHeight = R->GradientHeight();
    FStyle = R->Style();
    SetTitlerColor(R->TitlerColor());
    RebuildCaches();
    CopyToShared();
    Repaint();
}

// ---- Region and non-client painting ---------------------------------------------------------

bool TPelluxForm::RegionStale() const {
    const HWND H = Wnd();
    if (FRgnChanged || H == nullptr) return FRgnChanged;
    RECT W;
    GetWindowRect(H, &W);
    // The window system paints the frame of a new size before it reports the size.
    return TSize{W.Width(), W.Height()} != FRgnSize || IsZoomed(H) != FRgnZoomed;
}

void TPelluxForm::RebuildRegion() {
    const HWND H = Wnd();
    if (H == nullptr || FRgnChanging) return;
    FRgnChanging = true;
    FRgnChanged = false;
    TCustomForm* F = DestForm();
    F->DisableAlign();
    RECT W;
    GetWindowRect(H, &W);
    FRgnSize = TSize{W.Width(), W.Height()};
    FRgnZoomed = IsZoomed(H) != FALSE;
    SetWindowRgn(H,
                 CreateSkinRegion(SkinRegionShape(FRoundWindow, IsZoomed(H), FFramWidth, FFlatFrame),
                                  W.Width(), W.Height()),
                 TRUE);
    const LONG_PTR Style = GetWindowLongPtr(H, GWL_STYLE);
    if (Style & (WS_BORDER | WS_DLGFRAME))
        SetWindowLongPtr(H, GWL_STYLE, Style & ~static_cast<LONG_PTR>(WS_BORDER | WS_DLGFRAME));
    const HBRUSH Brush =
        CreateSolidBrush(ColorToRGB(FStyle == ssPicture ? PictureBgColor() : ClientBkColor()));
    SetClassLongPtr(H, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(Brush));
    if (FBgDefBrush != nullptr) DeleteObject(FBgDefBrush);
    FBgDefBrush = Brush;
    const ULONG_PTR ClassStyle = GetClassLongPtr(H, GCL_STYLE);
    if (ClassStyle & (CS_HREDRAW | CS_VREDRAW))
        SetClassLongPtr(H, GCL_STYLE,
                        static_cast<LONG_PTR>(ClassStyle & ~static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW)));
    F->EnableAlign();
    FRgnChanging = false;
}

void TPelluxForm::PaintTitleControls(TSurface32* Strip) {
    const TDispatch Dispatch(this);
    const std::vector<TPelluxNCCtrlBase*> List = FNCCtrlList;
    // A control a side of the shadow border carries is painted there.
    for (TPelluxNCCtrlBase* C : List)
        if (Listed(C) && C->Visible() && C->Form() == DestForm()) C->Paint(Strip);
}

void TPelluxForm::PaintNC() {
    const HWND H = Wnd();
    if (!FActive || H == nullptr || !HasBorder() || !IsWindowVisible(H)) return;
    RECT WR;
    GetWindowRect(H, &WR);
    const int W = WR.Width(), Ht = WR.Height();
    const TQvBackgroundLook L = Look();
    const bool Max = IsZoomed(H);
    const TQvAliveCheck Alive = AliveCheck();
    if (FMainMenu->NeedsBuild()) {
        FMainMenu->Build();
        if (!Alive.Alive()) return;
    }
    TQvFrameLook Frame;
    Frame.Outer = SkinOuterFrameColor(FKeepFrameColor, FFrameColor);
    Frame.DoubleFrame = FDoubleFrame;
    Frame.RoundWindow = FRoundWindow;
    Frame.Frame = FFramWidth;
    TSurface32 S;
    const HDC Dc = GetWindowDC(H);
    auto Lines = [&](TQvFrameStrip Kind) {
        if (!FFlatFrame && !Max && FFramWidth > 0) DrawSkinFrameLines(&S, Kind, Frame);
    };
    const int T = ScaledTitle();
    if (T > 0 && S.SetSize(W, T)) {
        if (FStyle == ssColor) {
            if (FActiveGradient) {
                S.Clear(Opaque(ClientBkColor()));
                GradientFillCanvas(S.Canvas(), NCBkColor(), ClientBkColor(), false,
                                   Rect(0, 0, W, L.GradientHeight));
                S.ResetAlpha(255);
            } else {
                S.Clear(Opaque(NCBkColor()));
            }
            PaintTitleControls(&S);
            if (!Alive.Alive()) return;
            if (!FKeepTitlerColor) Lines(nsTitle);
        } else if (TSurface32* Cache = FBackground.Picture(ssPicture)) {
            const bool OpaqueBorder = FImageBorder != nullptr && !FImageBorder->Transparent();
            if (FKeepTitlerColor)
                S.Clear(Opaque(FTitlerColor));
            else
                S.Draw(0, 0, Rect(0, 0, W, T), Cache);
            if (!OpaqueBorder) PaintTitleControls(&S);
            if (!Alive.Alive()) return;
            Lines(nsTitle);
        }
        S.DrawTo(Dc, 0, 0);
    }
    const int Fw = FFramWidth;
    if (Fw > 0) {
        S.SetSize(Fw, Ht - Fw);
        FBackground.FillStrip(&S, 0, T, L);
        Lines(nsLeft);
        S.DrawTo(Dc, 0, T);
        FBackground.FillStrip(&S, W - Fw, T, L);
        Lines(nsRight);
        S.DrawTo(Dc, W - Fw, T);
        S.SetSize(W, Fw);
        FBackground.FillStrip(&S, 0, Ht - Fw, L);
        Lines(nsBottom);
        S.DrawTo(Dc, 0, Ht - Fw);
    }
    ReleaseDC(H, Dc);
}

// ---- Title-bar controls ---------------------------------------------------------------------

void TPelluxForm::AddNCCtrl(WPARAM Control) {
    TCustomForm* F = DestForm();
    // Only a live title-bar control of the form is trusted: a repeated post may name one
    // that is gone.
    TPelluxNCCtrlBase* Found = nullptr;
    for (int I = 0; I < F->ComponentCount() && Found == nullptr; ++I)
        if (auto* C = dynamic_cast<TPelluxNCCtrlBase*>(F->Components(I));
            C != nullptr && reinterpret_cast<WPARAM>(C) == Control)
            Found = C;
    if (Found == nullptr || std::find(FPendingFree.begin(), FPendingFree.end(), Found) != FPendingFree.end())
        return;
    Found->SetParentObject(this);
    Found->SetHooked(true);
    if (Listed(Found)) return;
    FNCCtrlList.push_back(Found);
    // Both ways: a control freed by its owner's clean-up must be heard of even when the
    // two share that owner (which tells only of components that asked).
    FreeNotification(Found);
    Found->FreeNotification(this);
    F->Perform(MM_NCPAINT, 0, 0);
}

void TPelluxForm::RemoveNCCtrl(WPARAM Control) {
    if (Control == 0) return Sweep();
    auto It = std::find_if(FNCCtrlList.rbegin(), FNCCtrlList.rend(), [Control](TPelluxNCCtrlBase* C) {
        return reinterpret_cast<WPARAM>(C) == Control;
    });
    if (It == FNCCtrlList.rend()) return;
    TPelluxNCCtrlBase* C = *It;
    FNCCtrlList.erase(std::next(It).base());
    FPendingFree.push_back(C);
    if (FDispatchDepth == 0) Sweep();
    if (HWND H = Wnd()) SendMessage(H, MM_NCPAINT, 0, 0);
}

void TPelluxForm::Sweep() {
    const std::vector<TPelluxNCCtrlBase*> Pending = FPendingFree;
    bool Waiting = false;
    for (TPelluxNCCtrlBase* C : Pending) {
        if (std::find(FPendingFree.begin(), FPendingFree.end(), C) == FPendingFree.end()) continue;
        if (C->Busy()) {
            Waiting = true;
            continue;
        }
        std::erase(FPendingFree, C);
        delete C;
    }
    // A control still inside its own handler is freed once that has returned.
    if (HWND H = Wnd(); Waiting && H != nullptr) PostMessage(H, MM_REMOVENCCTRL, 0, 0);
}

bool TPelluxForm::DispatchClick(bool Press) {
    if (FIgnoreNCHit) return false;
    const TDispatch Dispatch(this);
    const std::vector<TPelluxNCCtrlBase*> List = FNCCtrlList;
    for (TPelluxNCCtrlBase* C : List) {
        if (!Listed(C) || !C->Visible() || !C->CursorEnter()) continue;
        if (auto* Image = dynamic_cast<TPelluxNCImage*>(C); Image != nullptr && !Image->CaptureMouse())
            continue;
        TCustomForm* F = DestForm();
        const TQvAliveCheck FormAlive = F->AliveCheck();
        if (Press)
            C->LMouseDown();
        else
            C->LMouseUp();
        if (FormAlive.Alive()) F->SetActiveControl(nullptr);
        return true;
    }
    return false;
}

// ---- Minimize and restore -------------------------------------------------------------------

void TPelluxForm::SaveAlpha() {
    TCustomForm* F = DestForm();
    FOldAlphaBlend.Enabled = F->AlphaBlend();
    FOldAlphaBlend.Value = F->AlphaBlendValue();
}

void TPelluxForm::Minimizing() {
    const TQvAliveCheck Alive = AliveCheck();
    if (Application != nullptr) Application->ProcessMessages();
    if (!Alive.Alive()) return;
    TCustomForm* F = DestForm();
    // A second minimize step must not take the hidden alpha for the form's own.
    if (!(FFormState & QvFormMinimizing)) SaveAlpha();
    FFormState = (FFormState | QvFormMinimizing) & ~QvFormRestored;
    F->SetAlphaBlend(true);
    F->SetAlphaBlendValue(0);
    if (FImageBorder != nullptr) FImageBorder->Minimizing();
}

void TPelluxForm::Restoring() {
    if (DestForm() == nullptr || (FFormState & QvFormRestored)) return;
    const TQvAliveCheck Alive = AliveCheck();
    if (Application != nullptr) Application->ProcessMessages();
    if (!Alive.Alive()) return;
    TCustomForm* F = DestForm();
    FFormState = (FFormState | QvFormRestored) & ~QvFormMinimizing;
    F->SetAlphaBlend(FOldAlphaBlend.Enabled);
    F->SetAlphaBlendValue(FOldAlphaBlend.Value == 0 ? 255 : FOldAlphaBlend.Value);
    if (F->CanFocus()) F->SetFocus();
    if (Alive.Alive() && FImageBorder != nullptr) FImageBorder->Restoring();
}

bool TPelluxForm::AppHook(TMessage& M) {
    TCustomForm* F = DestForm();
    if (F == nullptr || Application == nullptr) return false;
    if (M.Msg == WM_WINDOWPOSCHANGING) {
        const auto* Wp = reinterpret_cast<const WINDOWPOS*>(M.LParam);
        if (Wp != nullptr && Wp->flags == (SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE)) Restoring();
        return false;
    }
    if (M.Msg != WM_SYSCOMMAND || !FActive || Application->MainFormOnTaskBar()) return false;
    TCustomForm* Main = Application->MainForm();
    switch (M.WParam & 0xFFF0) {
        case SC_MINIMIZE:
            if (!Application->Minimized() && Main != nullptr && Main->Visible()) {
                Application->Minimize();
                Minimizing();
            }
            return false;
        case SC_RESTORE:
            if (Main == nullptr) return false;
            Application->Restore();
            Restoring();
            if (FImageBorder != nullptr) {
                FImageBorder->ReAlign();
                FImageBorder->MoveWithForm(F->Left(), F->Top());
            }
            return true;
        default:
            return false;
    }
}

// ---- Registration ---------------------------------------------------------------------------

void RegisterPelluxForm() {
    RegisterEnum<TDragFullWindowsKind>(u"TDragFullWindowsKind", {u"wkSystem", u"wkActive", u"wkDisable"});
    RegisterClass<TPelluxFormOptions, TPersistent>(u"TPelluxFormOptions")
        .Prop(u"MinimizeToTaskbar", &TPelluxFormOptions::MinimizeToTaskbar,
              &TPelluxFormOptions::SetMinimizeToTaskbar, false)
        .Prop(u"HideInTaskbar", &TPelluxFormOptions::HideInTaskbar, &TPelluxFormOptions::SetHideInTaskbar,
              false)
        .Prop(u"DragFullWindows", &TPelluxFormOptions::DragFullWindows,
              &TPelluxFormOptions::SetDragFullWindows, wkSystem);
    using F = TPelluxForm;
    RegisterClass<TPelluxForm, TComponent>(u"TPelluxForm")
        .Prop(u"TitleHeight", &F::TitleHeight, &F::SetTitleHeight, 27)
        .Prop(u"FramWidth", &F::RealFrameWidth, &F::SetFramWidth, 2)
        .Prop(u"HitTestWidth", &F::HitTestWidth, &F::SetHitTestWidth, 5)
        .Color(u"TitlerColor", &F::TitlerColor, &F::SetTitlerColor, TColor{16761926})
        .Color(u"Color", &F::Color, &F::SetColor, TColor{15920353})
        .Prop(u"FlatFrame", &F::FlatFrame, &F::SetFlatFrame, false)
        .Prop(u"RoundWindow", &F::RoundWindow, &F::SetRoundWindow, true)
        .Prop(u"DoubleFrame", &F::DoubleFrame, &F::SetDoubleFrame, true)
        .Color(u"FrameColor", &F::FrameColor, &F::SetFrameColor, TColor{0})
        .Prop(u"KeepFrameColor", &F::KeepFrameColor, &F::SetKeepFrameColor, false)
        .Prop(u"KeepTitlerColor", &F::KeepTitlerColor, &F::SetKeepTitlerColor, false)
        .Prop(u"ActiveGradient", &F::ActiveGradient, &F::SetActiveGradient, true)
        .Prop(u"GradientHeight", &F::GradientHeight, &F::SetGradientHeight, 168)
        .Prop(u"Style", &F::Style, &F::SetStyle, ssColor)
        .Prop(u"CustomPicture", &F::CustomPicture, &F::SetCustomPicture, u"")
        .Prop(u"FillStyle", &F::FillStyle, &F::SetFillStyle, mfsBlur)
        .Prop(u"EraseBackGround", &F::EraseBackGround, &F::SetEraseBackGround, false)
        .Object(u"Options", &F::Options)
        .Component<TPelluxRes>(u"SkinRes", &F::SkinRes, &F::SetSkinRes)
        .Component<TQvFormLayerBorder>(u"ImageBorder", &F::ImageBorder, &F::SetImageBorder)
        .Object(u"MainMenu", &F::MainMenu);
}
