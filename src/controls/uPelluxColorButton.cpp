#include "controls/uPelluxColorButton.h"

#include "draw/uPelluxDPI.h"
#include "draw/uQvColor32.h"
#include "draw/uQvPolygons.h"
#include "draw/uQvVectors.h"
#include "framework/uQvMenus.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvGdiRegions.h"
#include "platform/uQvWinPaint.h"

namespace {

constexpr TSides AllSides{sdLeft, sdTop, sdRight, sdBottom};
constexpr TQvCorners AllCorners{TopLeft, TopRight, BottomLeft, BottomRight};
constexpr TColor DisabledFill = RGB(211, 211, 211);
constexpr TColor DisabledText = RGB(140, 140, 140);

// The two sides that meet at a corner.
TSides SidesOf(TQvCorner Corner) {
    switch (Corner) {
        case TopLeft: return {sdLeft, sdTop};
        case TopRight: return {sdTop, sdRight};
        case BottomLeft: return {sdLeft, sdBottom};
        case BottomRight: break;
    }
    return {sdRight, sdBottom};
}

// One-pixel opaque lines over [X1, X2) or [Y1, Y2); an empty span draws nothing.
void HorzSpan(TSurface32* S, int X1, int Y, int X2, TColor32 C) {
    if (X2 > X1) S->HorzLineS(X1, Y, X2 - 1, C);
}

void VertSpan(TSurface32* S, int X, int Y1, int Y2, TColor32 C) {
    if (Y2 > Y1) S->VertLineS(X, Y1, Y2 - 1, C);
}

}  // namespace

// ---- TPelluxCustomColorButton ---------------------------------------------------------

TPelluxCustomColorButton::TPelluxCustomColorButton(TComponent* AOwner)
    : TPelluxCustomButton(AOwner),
      FNormalColor(RGB(255, 84, 56)),
      FHotColor(RGB(224, 67, 67)),
      FPressedColor(RGB(86, 153, 218)),
      FBorderColor(RGB(187, 203, 223)) {
    SetBounds(Left(), Top(), 80, 30);
    SetCaptionVisible(true);
    Font()->SetColor(clWhite);
    HotFont()->SetColor(Font()->Color());
}

void TPelluxCustomColorButton::SetNormalColor(TColor Value) {
    Change(FNormalColor, Value);
}

void TPelluxCustomColorButton::SetHotColor(TColor Value) {
    Change(FHotColor, Value);
}

void TPelluxCustomColorButton::SetPressedColor(TColor Value) {
    Change(FPressedColor, Value);
}

void TPelluxCustomColorButton::SetAlpha(uint8_t Value) {
    Change(FAlpha, Value);
}

void TPelluxCustomColorButton::SetImage(const TQvResID& Value) {
    Change(FImage, Value);
}

void TPelluxCustomColorButton::SetHotImage(const TQvResID& Value) {
    Change(FHotImage, Value);
}

void TPelluxCustomColorButton::SetBorderSides(TSides Value) {
    Change(FBorderSides, Value);
}

void TPelluxCustomColorButton::SetRoundFrame(bool Value) {
    if (FRoundFrame == Value) return;
    FRoundFrame = Value;
    UpdateRegion();
    Invalidate();
}

void TPelluxCustomColorButton::SetRoundSize(int Value) {
    if (FRoundSize == Value) return;
    FRoundSize = Value;
    UpdateRegion();
    Invalidate();
}

void TPelluxCustomColorButton::SetSmoothRound(bool Value) {
    if (FSmoothRound == Value) return;
    FSmoothRound = Value;
    UpdateRegion();
    Invalidate();
}

void TPelluxCustomColorButton::UpdateRegion() {
    if (!HandleAllocated()) return;
    if (FRoundFrame && !FSmoothRound) {
        // The platform's round rectangle leaves out the last column and row; buttons
        // have always been clipped so.
        SetWindowRgn(Handle(), CreateRoundRectRgn(0, 0, Width(), Height(), FRoundSize, FRoundSize), TRUE);
        FHasRegion = true;
    } else if (FHasRegion) {
        SetWindowRgn(Handle(), nullptr, TRUE);
        FHasRegion = false;
    }
}

void TPelluxCustomColorButton::CreateWnd() {
    TPelluxCustomButton::CreateWnd();
    FHasRegion = false;
    UpdateRegion();
}

void TPelluxCustomColorButton::Resize() {
    TPelluxCustomButton::Resize();
    UpdateRegion();
}

TColor TPelluxCustomColorButton::StateColor() const {
    if (!Enabled()) return DisabledFill;
    if (IsHot()) return FHotColor;
    if (IsPressed()) return FPressedColor;
    return FNormalColor;
}

void TPelluxCustomColorButton::DrawSkin(TSurface32* Buffer) {
    const int W = ClientWidth(), H = ClientHeight();
    if (W <= 0 || H <= 0) return;
    // The face is drawn on a surface of exactly the client size, so fills "over the
    // whole surface" do not reach into the buffer's spare rows and columns.
    TSurface32 Work;
    Work.SetSize(W, H);
    Work.Draw(0, 0, Rect(0, 0, W, H), Buffer);
    DrawFace(&Work);
    if (OnCustomPaint) OnCustomPaint(this, &Work);
    Work.DrawTo(Buffer, 0, 0);
}

void TPelluxCustomColorButton::DrawFace(TSurface32* Work) {
    const int W = Work->Width(), H = Work->Height();
    const TColor32 Fill = ::SetAlpha(ToColor32(StateColor()), FAlpha);
    if (FRoundFrame && FSmoothRound) {
        FillPolygonFS(Work, RoundRectPoints({0, 0, static_cast<float>(W), static_cast<float>(H)},
                                            static_cast<float>(FRoundSize)),
                      Fill, pfAlternate);
    } else {
        Work->FillRectTS(0, 0, W, H, Fill);
        if (!FRoundFrame) {
            const TColor32 C = ToColor32(FBorderColor);
            if (FBorderSides.Contains(sdLeft)) VertSpan(Work, 0, 0, H, C);
            if (FBorderSides.Contains(sdTop)) HorzSpan(Work, 0, 0, W, C);
            if (FBorderSides.Contains(sdRight)) VertSpan(Work, W - 1, 0, H, C);
            if (FBorderSides.Contains(sdBottom)) HorzSpan(Work, 0, H - 1, W, C);
        }
    }
    DrawIcon(Work);
    DrawDropdownArrow(Work);
    DrawCaption(Work, ArrowWidth());
    DrawOverlay(Work);
}

TPoint TPelluxCustomColorButton::PressShift() const {
    const int D = IsPressed() ? PressedOffset() : 0;
    return TPoint{D, D};
}

void TPelluxCustomColorButton::DrawIcon(TSurface32* Work) {
    const TPoint D = PressShift();
    const TQvResID& Name = (IsHot() || IsPressed()) && !FHotImage.empty() ? FHotImage : FImage;
    if (Name.empty()) return;
    TPelluxImage* Icon = SkinResManager().GetImageByName(Name, true);
    if (Icon == nullptr) return;
    Icon->DrawTo(Work, ScaleByDPI(this, ImageOffset()->X()) + D.X, ScaleByDPI(this, ImageOffset()->Y()) + D.Y);
}

void TPelluxCustomColorButton::DrawCaption(TSurface32* Work, int ArrowRoom) {
    if (!CaptionVisible()) return;
    TRect C = Rect(0, 0, Work->Width(), Work->Height());
    C.Left += ScaleByDPI(this, CaptionOffset()->X());
    C.Top += ScaleByDPI(this, CaptionOffset()->Y());
    const TPoint D = PressShift();
    OffsetRect(C, D.X, D.Y);
    C.Right -= ArrowRoom;
    PrepareHotFont();
    DrawCaptionText(Work, C, IsHot() || IsPressed() ? HotFont() : Font(), DisabledText);
}

void TPelluxCustomColorButton::DrawOverlay(TSurface32* Bitmap) {
    if (!ShowFocusFrame() || !Focused()) return;
    TRect R = Rect(0, 0, Bitmap->Width(), Bitmap->Height());
    InflateRect(R, -1, -1);
    TCanvas* Canvas = Bitmap->Canvas();
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->DrawFocusRect(R);
}

// ---- TPelluxCustomCornerButton --------------------------------------------------------

TPelluxCustomCornerButton::TPelluxCustomCornerButton(TComponent* AOwner) : TPelluxCustomColorButton(AOwner) {
    SetBorderSides(AllSides);
    SetNormalColor(clWhite);
    SetHotColor(RGB(84, 147, 207));
    SetPressedColor(RGB(10, 122, 255));
    SetBorderColor(RGB(10, 122, 255));
    Font()->SetColor(RGB(10, 122, 255));
    HotFont()->SetColor(clWhite);
    SetRoundSize(10);
    SetPressedOffset(0);
    SetSmoothRound(true);
    SetRoundFrame(true);
}

void TPelluxCustomCornerButton::SetCorners(TQvCorners Value) {
    Change(FCorners, Value);
}

void TPelluxCustomCornerButton::SetBorderWidth(int Value) {
    Change(FBorderWidth, Value);
}

void TPelluxCustomCornerButton::DrawFace(TSurface32* Work) {
    const int W = Work->Width(), H = Work->Height();
    const int R = RoundSize(), B = FBorderWidth;
    const TColor32 S = ToColor32(StateColor());
    const TColor32 C = ToColor32(BorderColor());
    const TSides Sides = BorderSides();
    const auto Rounded = [this](TQvCorner K) { return FCorners.Contains(K); };
    const auto Bordered = [&Sides](TSide Side) { return Sides.Contains(Side); };
    const float FR = static_cast<float>(R);

    FillPolygonFS(Work, RoundRectPoints({0, 0, static_cast<float>(W), static_cast<float>(H)}, FR),
                  ::SetAlpha(S, Alpha()), pfAlternate);

    // The rounded outline is stroked open: its last piece, up the left side, is left to
    // the side lines below.
    int Reach = 0;
    for (TQvCorner K : {TopLeft, TopRight, BottomLeft, BottomRight})
        if (Rounded(K) && SidesOf(K).SubsetOf(Sides)) {
            StrokePolylineFS(Work, RoundRectPoints({0.2f, 0.2f, W - 0.2f, H - 0.2f}, FR), C, false,
                             static_cast<float>(B) * 1.35f, jsMiter, esButt, 4.0f);
            Reach = R;
            break;
        }

    const bool Boxed = Sides == AllSides;
    if (!Rounded(TopLeft)) {
        Work->FillRectS(0, 0, R, R, S);
        if (Boxed) {
            HorzSpan(Work, 0, 0, R, C);
            VertSpan(Work, 0, 0, R, C);
        }
    }
    if (!Rounded(TopRight)) {
        Work->FillRectS(W - R, 0, W, R, S);
        if (Boxed) {
            HorzSpan(Work, W - R, 0, W, C);
            VertSpan(Work, W - 1, 0, R, C);
        }
    }
    if (!Rounded(BottomLeft)) {
        Work->FillRectS(0, H - R, R, H, S);
        if (Boxed) {
            HorzSpan(Work, 0, H - 1, R, C);
            VertSpan(Work, 0, H - R, H, C);
        }
    }
    if (!Rounded(BottomRight)) {
        Work->FillRectS(W - R, H - R, W, H, S);
        if (Boxed) {
            HorzSpan(Work, W - R, H - 1, W, C);
            VertSpan(Work, W - 1, H - R, H, C);
        }
    }

    // Sides in the order left, top, right, bottom: the top and bottom lines own the
    // corner pixels, and the right side starts below the top's lines at a square corner.
    const auto Allow = [&](TQvCorner K) { return Rounded(K) ? R : 0; };
    const auto Line = [&](TSide Side) { return Bordered(Side) ? C : S; };
    // A side without a border carries a bordered neighbour's line into a square corner.
    const auto Carries = [&](TQvCorner K, TSide Other) { return !Rounded(K) && Bordered(Other); };
    for (int I = 0; I < B; ++I) {
        VertSpan(Work, I, Allow(TopLeft), H - Allow(BottomLeft), Line(sdLeft));
        if (!Bordered(sdLeft)) {
            if (Carries(TopLeft, sdTop)) VertSpan(Work, I, 0, Reach, C);
            if (Carries(BottomLeft, sdBottom)) VertSpan(Work, I, H - Reach, H, C);
        }
    }
    for (int I = 0; I < B; ++I) {
        HorzSpan(Work, Allow(TopLeft), I, W - Allow(TopRight), Line(sdTop));
        if (!Bordered(sdTop)) {
            if (Carries(TopLeft, sdLeft)) HorzSpan(Work, 0, I, Reach, C);
            if (Carries(TopRight, sdRight)) HorzSpan(Work, W - Reach, I, W, C);
        }
    }
    for (int I = 0; I < B; ++I) {
        const int X = W - 1 - I;
        VertSpan(Work, X, Rounded(TopRight) ? R : B, H - Allow(BottomRight), Line(sdRight));
        if (!Bordered(sdRight)) {
            if (Carries(TopRight, sdTop)) VertSpan(Work, X, 0, Reach, C);
            if (Carries(BottomRight, sdBottom)) VertSpan(Work, X, H - Reach, H, C);
        }
    }
    for (int I = 0; I < B; ++I) {
        const int Y = H - 1 - I;
        HorzSpan(Work, Allow(BottomLeft), Y, W - Allow(BottomRight), Line(sdBottom));
        if (!Bordered(sdBottom)) {
            if (Carries(BottomLeft, sdLeft)) HorzSpan(Work, 0, Y, Reach, C);
            if (Carries(BottomRight, sdRight)) HorzSpan(Work, W - Reach, Y, W, C);
        }
    }

    DrawIcon(Work);
    DrawCaption(Work, ArrowWidth());
}

// ---- registration ---------------------------------------------------------------------

namespace {

// The button family's own properties and the colour button's, with T's creation values
// as defaults. PressedColor has no default: every stored form carries it.
template <typename T>
TClassBuilder<T>& PublishColorButton(TClassBuilder<T>& B, int PressedOffset, TColor Normal, TColor Hot,
                                      TColor Border, TSides Sides, bool Round, int RoundSize) {
    return B.Prop(u"AllowAllUp", &T::AllowAllUp, &T::SetAllowAllUp, false)
        .Prop(u"IgnoreMouse", &T::IgnoreMouse, &T::SetIgnoreMouse, false)
        .Prop(u"CycleDownClick", &T::CycleDownClick, &T::SetCycleDownClick, false)
        .Prop(u"WordWrap", &T::WordWrap, &T::SetWordWrap, false)
        .Prop(u"Down", &T::Down, &T::SetDown, false)
        .Object(u"HotFont", &T::HotFont)
        .Prop(u"GroupIndex", &T::GroupIndex, &T::SetGroupIndex, 0)
        .Object(u"DropdownMenuOffset", &T::DropdownMenuOffset)
        .Prop(u"PressedOffset", &T::PressedOffset, &T::SetPressedOffset, PressedOffset)
        .Prop(u"CanFocused", &T::CanFocused, &T::SetCanFocused, true)
        .Prop(u"Default", &T::Default, &T::SetDefault, false)
        .Prop(u"Cancel", &T::Cancel, &T::SetCancel, false)
        .Prop(u"ModalResult", &T::ModalResult, &T::SetModalResult, mrNone)
        .Prop(u"ShowFocusFrame", &T::ShowFocusFrame, &T::SetShowFocusFrame, false)
        .Prop(u"CaptionVisible", &T::CaptionVisible, &T::SetCaptionVisible, true)
        .Object(u"CaptionOffset", &T::CaptionOffset)
        .Object(u"ImageOffset", &T::ImageOffset)
        .Color(u"NormalColor", &T::NormalColor, &T::SetNormalColor, Normal)
        .Color(u"HotColor", &T::HotColor, &T::SetHotColor, Hot)
        .Color(u"PressedColor", &T::PressedColor, &T::SetPressedColor)
        .Prop(u"Alpha", &T::Alpha, &T::SetAlpha, 255)
        .Prop(u"Image", &T::Image, &T::SetImage, u"")
        .Prop(u"HotImage", &T::HotImage, &T::SetHotImage, u"")
        .Color(u"BorderColor", &T::BorderColor, &T::SetBorderColor, Border)
        .Prop(u"BorderSides", &T::BorderSides, &T::SetBorderSides, Sides)
        .Prop(u"RoundFrame", &T::RoundFrame, &T::SetRoundFrame, Round)
        .Prop(u"RoundSize", &T::RoundSize, &T::SetRoundSize, RoundSize)
        .Prop(u"SmoothRound", &T::SmoothRound, &T::SetSmoothRound, true);
}

}  // namespace

void RegisterPelluxColorButtons() {
    RegisterClass<TPelluxCustomColorButton, TPelluxCustomButton>(u"TPelluxCustomColorButton");
    auto Color = RegisterClass<TPelluxColorButton, TPelluxCustomColorButton>(u"TPelluxColorButton");
    PublishColorButton(Color, 1, RGB(255, 84, 56), RGB(224, 67, 67), RGB(187, 203, 223), TSides{}, false, 3)
        .Component<TPopupMenu>(u"DropdownMenu", &TPelluxColorButton::DropdownMenu,
                               &TPelluxColorButton::SetDropdownMenu);
    RegisterClass<TPelluxCustomCornerButton, TPelluxCustomColorButton>(u"TPelluxCustomCornerButton");
    auto Corner = RegisterClass<TPelluxCornerButton, TPelluxCustomCornerButton>(u"TPelluxCornerButton");
    PublishColorButton(Corner, 0, clWhite, RGB(84, 147, 207), RGB(10, 122, 255), AllSides, true, 10)
        .Prop(u"Corners", &TPelluxCornerButton::Corners, &TPelluxCornerButton::SetCorners, AllCorners)
        .Prop(u"BorderWidth", &TPelluxCornerButton::BorderWidth, &TPelluxCornerButton::SetBorderWidth, 1);
}
