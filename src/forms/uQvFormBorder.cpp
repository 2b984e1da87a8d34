#include "forms/uQvFormBorder.h"

#include <algorithm>
#include <cstdlib>

#include "draw/uPelluxDPI.h"
#include "draw/uPelluxGraphics.h"
#include "forms/uPelluxForm.h"
#include "forms/uPelluxNCCtrlBase.h"
#include "framework/uQvApplication.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvBackend.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "skin/uQvSkinRegistry.h"

void TQvBorderSize::Assign(const TPersistent* Source) {
    const auto* From = dynamic_cast<const TQvBorderSize*>(Source);
    if (From == nullptr) return TPersistent::Assign(Source);
    FLeft = From->FLeft;
    FTop = From->FTop;
    FRight = From->FRight;
    FBottom = From->FBottom;
}

TQvBorderLayout QvBorderLayout(int W, int H, const TQvBorderSize& S, const TQvBorderSize& Inflate,
                               bool Transparent) {
    const int IL = std::abs(Inflate.Left()), IT = std::abs(Inflate.Top()), IR = std::abs(Inflate.Right()),
              IB = std::abs(Inflate.Bottom());
    const int Wi = W + S.Width(), Hi = H + S.Height();
    const int TopH = IT + S.Top(), BottomH = IB + S.Bottom(), LeftW = IL + S.Left(), RightW = IR + S.Right();
    TQvBorderLayout L;
    L.Image = TSize{Wi, Hi};
    const int X0 = -S.Left(), Y0 = -S.Top();
    L.Sides[mpflTop] = Rect(X0, Y0, X0 + Wi, Y0 + TopH);
    L.Sides[mpflBottom] = Rect(X0, H - IB, X0 + Wi, H - IB + BottomH);
    // Transparent sides fill the height between the top and bottom ones; opaque ones run the
    // full height behind them.
    const int SideTop = Transparent ? Y0 + TopH : Y0;
    const int SideBottom = std::max(SideTop, Transparent ? H - IB : Y0 + Hi);
    L.Sides[mpflLeft] = Rect(X0, SideTop, X0 + LeftW, SideBottom);
    L.Sides[mpflRight] = Rect(W - IR, SideTop, W - IR + RightW, SideBottom);
    return L;
}

// ---- TQvFormLayerBorder -------------------------------------------------------------------

TQvFormLayerBorder::TQvFormLayerBorder(TComponent* AOwner)
    : TComponent(AOwner),
      FSize(std::make_unique<TQvBorderSize>()),
      FInflateSize(std::make_unique<TQvBorderSize>(5, 5, -5, -5)) {
    for (auto& S : FSlices) S = std::make_unique<TSurface32>();
}

TQvFormLayerBorder::~TQvFormLayerBorder() {
    *FAlive = false;
    FreeLayerWindow();
    UnhookForm();
}

void TQvFormLayerBorder::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FForm) {
        // The form's handlers and controls go with it, and so do the sides, which would
        // otherwise send it their drags.
        FOldCloseEvent = nullptr;
        FOldShowEvent = nullptr;
        FAdopted.clear();
        FreeLayerWindow();
        FForm = nullptr;
        FVisible = false;
    }
    std::erase_if(FAdopted, [AComponent](const TAdopted& A) { return A.Control == AComponent; });
    for (auto& W : FWindows)
        if (W == AComponent) W = nullptr;
}

void TQvFormLayerBorder::SetDragEnabled(bool Value) {
    FDragEnabled = Value;
    for (TqvFormLayerWindow* W : FWindows)
        if (W != nullptr) W->SetDrag(Value);
}

bool TQvFormLayerBorder::FormZoomed() const {
    return FForm != nullptr && FForm->HandleAllocated() && IsZoomed(FForm->Handle());
}

bool TQvFormLayerBorder::FormIconic() const {
    return FForm != nullptr && FForm->HandleAllocated() && IsIconic(FForm->Handle());
}

bool TQvFormLayerBorder::HasWindows() const {
    return std::all_of(std::begin(FWindows), std::end(FWindows), [](auto* W) { return W != nullptr; });
}

bool TQvFormLayerBorder::Translucent() {
    return QvBackend().DisplayCaps().Translucency;
}

HWND TQvFormLayerBorder::TopBorderWindow() const {
    TqvFormLayerWindow* W = FWindows[mpflTop];
    return W != nullptr && W->HandleAllocated() ? W->Handle() : nullptr;
}

std::vector<TPelluxNCCtrlBase*> TQvFormLayerBorder::NCCtrlList() const {
    if (FForm == nullptr) return {};
    auto* Skin = dynamic_cast<TPelluxForm*>(FormSkinHelper()->Get(FForm));
    return Skin != nullptr ? Skin->NCCtrlList() : std::vector<TPelluxNCCtrlBase*>{};
}

// ---- Following the form -------------------------------------------------------------------

void TQvFormLayerBorder::InitFrame(TCustomForm* AForm) {
    if (FForm == AForm) return;
    UnhookForm();
    FForm = AForm;
    FFormClosed = false;
    HookForm();
}

void TQvFormLayerBorder::HookForm() {
    if (FForm == nullptr) return;
    FreeNotification(FForm);
    FOldCloseEvent = FForm->OnClose;
    FOldShowEvent = FForm->OnShow;
    // The form's own handlers run first, even once the border is gone.
    std::weak_ptr<bool> Alive = FAlive;
    FForm->OnClose = [this, Alive, Old = FOldCloseEvent](TObject* Sender, TCloseAction& Action) {
        if (Old) Old(Sender, Action);
        // A close the form refused, or turned into a minimize, leaves it open.
        if (!Alive.expired() && (Action == caHide || Action == caFree)) FFormClosed = true;
    };
    FForm->OnShow = [this, Alive, Old = FOldShowEvent](TObject* Sender) {
        if (Old) Old(Sender);
        if (!Alive.expired()) FFormClosed = false;
    };
}

void TQvFormLayerBorder::UnhookForm() {
    if (FForm == nullptr) return;
    // A form being destroyed has no handlers left to give back.
    if (FForm->ComponentState().Contains(csDestroying)) {
        FOldCloseEvent = nullptr;
        FOldShowEvent = nullptr;
        FAdopted.clear();
        return;
    }
    FForm->OnClose = FOldCloseEvent;
    FForm->OnShow = FOldShowEvent;
    FOldCloseEvent = nullptr;
    FOldShowEvent = nullptr;
    ReleaseControls();
    RemoveFreeNotification(FForm);
}

// ---- Slices and windows -------------------------------------------------------------------

namespace {

// Puts into Slice the part at Part of Image drawn as a nine-block image of Full size: the
// pieces of the nine-block copy, each stretched over its whole place and clipped to the
// slice, so the inside of the form (most of the image) is never drawn.
void NineBlockPart(TSurface32* Image, TSize Full, const TRect& Part, TSurface32* Slice) {
    const int SW = Image->Width(), SH = Image->Height();
    const int Cw = std::max(SW / 3, 1), Ch = std::max(SH / 3, 1);
    TRect IR = Rect(Cw, Ch, 2 * Cw, 2 * Ch);
    if (Full.cx == SW) IR = Rect(0, Ch, 0, 2 * Ch);
    if (Full.cy == SH) IR = Rect(Cw, 0, 2 * Cw, 0);
    const int DR = Full.cx - (SW - IR.Right), DB = Full.cy - (SH - IR.Bottom);
    const TRect Pieces[9][2] = {
        {IR, Rect(IR.Left, IR.Top, DR, DB)},
        {Rect(0, IR.Top, IR.Left, IR.Bottom), Rect(0, IR.Top, IR.Left, DB)},
        {Rect(IR.Left, 0, IR.Right, IR.Top), Rect(IR.Left, 0, DR, IR.Top)},
        {Rect(IR.Right, IR.Top, SW, IR.Bottom), Rect(DR, IR.Top, Full.cx, DB)},
        {Rect(IR.Left, IR.Bottom, IR.Right, SH), Rect(IR.Left, DB, DR, Full.cy)},
        {Rect(0, 0, IR.Left, IR.Top), Rect(0, 0, IR.Left, IR.Top)},
        {Rect(IR.Right, 0, SW, IR.Top), Rect(DR, 0, Full.cx, IR.Top)},
        {Rect(0, IR.Bottom, IR.Left, SH), Rect(0, DB, IR.Left, Full.cy)},
        {Rect(IR.Right, IR.Bottom, SW, SH), Rect(DR, DB, Full.cx, Full.cy)},
    };
    for (const auto& [Src, Dst] : Pieces) {
        TRect Seen;
        if (!IntersectRect(Seen, Dst, Part)) continue;
        TRect At = Dst;
        OffsetRect(At, -Part.Left, -Part.Top);
        CopyStretched(Image, Slice, Src, At);
    }
}

}  // namespace

bool TQvFormLayerBorder::Slice(int W, int H) {
    for (auto& S : FSlices) S->SetSize(0, 0);
    const TQvBorderSize NoInflate(0, 0, 0, 0);
    const bool Tiled = FTransparent && FStretchKind == skTile;
    FLayout = QvBorderLayout(W, H, *FSize, Tiled ? NoInflate : *FInflateSize, FTransparent);
    TPelluxImage* Img = SkinResManager().GetImageByName(FImage, true);
    if (Img == nullptr || Img->Empty() || FLayout.Image.cx <= 0 || FLayout.Image.cy <= 0) return false;
    // Each side shows the part of the image under its window.
    for (int Side = 0; Side < 4; ++Side) {
        TRect R = FLayout.Sides[Side];
        OffsetRect(R, FSize->Left(), FSize->Top());
        TSurface32& S = *FSlices[Side];
        if (R.Width() <= 0 || R.Height() <= 0) continue;
        S.SetSize(R.Width(), R.Height());
        if (FStretchKind == skAuto) {
            NineBlockPart(Img, FLayout.Image, R, &S);
            continue;
        }
        // Tiled from the image's corner; copied, not blended: the border's alpha is the
        // image's own.
        const int Iw = Img->Width(), Ih = Img->Height();
        for (int Y = 0; Y < R.Height(); ++Y) {
            const TColor32* Src = Img->ScanLine((R.Top + Y) % Ih);
            TColor32* Dst = S.ScanLine(Y);
            for (int X = 0; X < R.Width(); ++X) Dst[X] = Src[(R.Left + X) % Iw];
        }
    }
    return true;
}

void TQvFormLayerBorder::CreateWindows() {
    // Made anew for every show, so they start enabled and in the form's current band even
    // when a modal loop disabled the ones before.
    FreeLayerWindow();
    for (TqvFormLayerBorderType Side : {mpflLeft, mpflRight, mpflTop, mpflBottom}) {
        auto* W = new TqvFormLayerWindow(this, Side, FTransparent, FForm);
        W->SetDrag(FDragEnabled);
        FWindows[Side] = W;
        FreeNotification(W);
    }
}

void TQvFormLayerBorder::FreeLayerWindow() {
    ReleaseControls();
    for (auto& W : FWindows) {
        TqvFormLayerWindow* Old = W;
        W = nullptr;
        delete Old;
    }
}

void TQvFormLayerBorder::DrawAll() {
    if (!HasWindows()) return;
    for (TqvFormLayerBorderType Side : {mpflTop, mpflBottom, mpflLeft, mpflRight})
        if (TqvFormLayerWindow* W = FWindows[Side]) W->DrawSelf(FHide || W->IsHided());
}

void TQvFormLayerBorder::Place(int X, int Y, bool Showing) {
    if (!HasWindows() || FForm == nullptr || !FForm->HandleAllocated() || FPlacing) return;
    FPlacing = true;
    const HWND F = FForm->Handle();
    // Directly behind the form; a minimized form has left its place, so behind the window
    // that was above it.
    HWND After = F;
    if (IsIconic(F)) {
        After = GetWindow(F, GW_HWNDPREV);
        if (After == nullptr) After = HWND_TOP;
    }
    // The sides share the form's band.
    const bool Topmost = (GetWindowLongPtr(F, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    for (TqvFormLayerWindow* W : FWindows) {
        const bool Is = (GetWindowLongPtr(W->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        if (Is != Topmost)
            SetWindowPos(W->Handle(), Topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    const UINT Flags = SWP_NOACTIVATE | SWP_NOSIZE | (Showing ? SWP_SHOWWINDOW : 0);
    const HDWP Batch = BeginDeferWindowPos(4);
    for (TqvFormLayerBorderType Side : {mpflTop, mpflBottom, mpflLeft, mpflRight}) {
        const TRect& R = FLayout.Sides[Side];
        DeferWindowPos(Batch, FWindows[Side]->Handle(), After, X + R.Left, Y + R.Top, 0, 0, Flags);
    }
    EndDeferWindowPos(Batch);
    FPlacing = false;
}

// ---- Operations ---------------------------------------------------------------------------

void TQvFormLayerBorder::Show(int X, int Y, int W, int H) {
    if (FFormClosed || FForm == nullptr) return;
    FWidth = W;
    FHeight = H;
    FVisible = true;
    FHide = false;
    const bool Sliced = Slice(W, H);
    FMadeTranslucent = Translucent();
    if (!Sliced || !Showable()) {
        FreeLayerWindow();
        return;
    }
    CreateWindows();
    for (TqvFormLayerWindow* Side : FWindows) Side->ShowSide();
    Place(X, Y, true);
}

void TQvFormLayerBorder::ShowWithForm(const std::vector<TPelluxNCCtrlBase*>&) {
    // The controls are read from the form's skin whenever a side draws, so a control freed
    // meanwhile is never touched.
    if (FFormClosed || FForm == nullptr || !FForm->HandleAllocated()) return;
    RECT R;
    GetWindowRect(FForm->Handle(), &R);
    Show(R.Left, R.Top, R.Width(), R.Height());
}

void TQvFormLayerBorder::SetBounds(int X, int Y, int W, int H) {
    if (!FVisible || FFormClosed) return;
    FWidth = W;
    FHeight = H;
    if (!Slice(W, H)) return;
    DrawAll();
    if (!FormIconic()) Place(X, Y, false);
}

void TQvFormLayerBorder::SetBoundsWithForm() {
    if (FFormClosed || FForm == nullptr) return;
    if (FormZoomed()) return Minimizing();
    if (FHide && !FormIconic()) Restoring();
    if (!FVisible || !FForm->HandleAllocated() || !IsWindowVisible(FForm->Handle())) return;
    RECT R;
    GetWindowRect(FForm->Handle(), &R);
    SetBounds(R.Left, R.Top, R.Width(), R.Height());
}

void TQvFormLayerBorder::MoveWithForm(int ALeft, int ATop) {
    if (!FVisible || FFormClosed || FormIconic() || !HasWindows() || FHide) return;
    Place(ALeft, ATop, false);
}

void TQvFormLayerBorder::Show() {
    if (FFormClosed) return;
    FHide = false;
    for (TqvFormLayerWindow* W : FWindows)
        if (W != nullptr) W->ShowSide();
}

void TQvFormLayerBorder::Hide() {
    FHide = true;
    for (TqvFormLayerWindow* W : FWindows)
        if (W != nullptr) W->HideSide();
}

void TQvFormLayerBorder::Minimizing() {
    if (FMinimized) return;
    FMinimized = true;
    FHide = true;
    FVisible = false;
    for (TqvFormLayerWindow* W : FWindows)
        if (W != nullptr) W->HideSide();
}

void TQvFormLayerBorder::Restoring() {
    if (!FMinimized || FFormClosed) return;
    FMinimized = false;
    FHide = false;
    FVisible = true;
    // The display changed while the sides were hidden: they are made for what it is now.
    if (Outdated()) return ShowWithForm({});
    for (TqvFormLayerWindow* W : FWindows)
        if (W != nullptr) W->ShowSide();
}

void TQvFormLayerBorder::CompositionChanged() {
    if (!Outdated() || !FVisible || FFormClosed || FForm == nullptr || !FForm->HandleAllocated() ||
        !IsWindowVisible(FForm->Handle()))
        return;
    const bool Hidden = FHide;
    ShowWithForm({});
    if (Hidden) Hide();
}

void TQvFormLayerBorder::ReAlign() {
    if (FormZoomed())
        Minimizing();
    else
        Restoring();
}

void TQvFormLayerBorder::CheckFormAlpha(bool Update) {
    if (FVisible && Update) SetAlphaBlend();
}

void TQvFormLayerBorder::SetAlphaBlend() {
    DrawAll();
}

// ---- Title-bar controls on an opaque border -----------------------------------------------

void TQvFormLayerBorder::AdoptControl(TPelluxNCCtrlBase* Control, TqvFormLayerWindow* Window) {
    if (Control == nullptr || Window == nullptr || FForm == nullptr || Control->Form() != FForm) return;
    int Shift = 0;
    if (Control->Pos()->Align() == caRight) {
        // Measured from the window's right edge now: as far again as that edge lies beyond
        // the form's, in the control's design units.
        const int Pixels = FLayout.Sides[Window->BorderType()].Right - FWidth;
        const int X = Control->Pos()->XValue(), Want = ScaleByDPI(Window, X) + Pixels;
        const auto Error = [&](int S) { return std::abs(ScaleByDPI(Window, X + S) - Want); };
        // The design unit nearest to those pixels at the window's dpi.
        const int Guess =
            MulDiv(Pixels, USER_DEFAULT_SCREEN_DPI, ScaleByDPI(Window, USER_DEFAULT_SCREEN_DPI));
        Shift = Guess;
        for (int S : {Guess - 1, Guess + 1})
            if (Error(S) < Error(Shift)) Shift = S;
    }
    Control->SetSourceForm(FForm);
    Control->MoveToForm(Window);
    if (Shift != 0) Control->Pos()->SetXValue(Control->Pos()->XValue() + Shift);
    FAdopted.push_back(TAdopted{Control, Shift});
    FreeNotification(Control);
}

void TQvFormLayerBorder::ReleaseControls() {
    const std::vector<TAdopted> List = std::move(FAdopted);
    FAdopted.clear();
    for (const TAdopted& A : List) {
        RemoveFreeNotification(A.Control);
        if (FForm == nullptr) continue;
        A.Control->MoveToForm(FForm);
        A.Control->SetSourceForm(nullptr);
        if (A.Shift != 0) A.Control->Pos()->SetXValue(A.Control->Pos()->XValue() - A.Shift);
    }
}

void RegisterQvFormBorder() {
    RegisterEnum<TQvStretchKind>(u"TQvStretchKind", {u"skAuto", u"skTile"});
    RegisterClass<TQvBorderSize, TPersistent>(u"TQvBorderSize")
        .Prop(u"Left", &TQvBorderSize::Left, &TQvBorderSize::SetLeft)
        .Prop(u"Top", &TQvBorderSize::Top, &TQvBorderSize::SetTop)
        .Prop(u"Right", &TQvBorderSize::Right, &TQvBorderSize::SetRight)
        .Prop(u"Bottom", &TQvBorderSize::Bottom, &TQvBorderSize::SetBottom);
    RegisterClass<TQvFormLayerBorder, TComponent>(u"TQvFormLayerBorder")
        .Prop(u"Image", &TQvFormLayerBorder::Image, &TQvFormLayerBorder::SetImage,
              u"PelluxSlider_Aio_light_bkg")
        .Object(u"Size", &TQvFormLayerBorder::Size)
        .Object(u"InflateSize", &TQvFormLayerBorder::InflateSize)
        .Prop(u"StretchKind", &TQvFormLayerBorder::StretchKind, &TQvFormLayerBorder::SetStretchKind, skAuto)
        .Prop(u"Transparent", &TQvFormLayerBorder::Transparent, &TQvFormLayerBorder::SetTransparent, true)
        .Prop(u"DragEnabled", &TQvFormLayerBorder::DragEnabled, &TQvFormLayerBorder::SetDragEnabled, true);
}
