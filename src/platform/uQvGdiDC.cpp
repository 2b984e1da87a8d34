#include "platform/uQvGdiDC.h"

#include <utility>

namespace {

COLORREF Resolve(COLORREF Color) {
    return GdiColorOf(GdiPixelOf(Color));
}

// Device coordinates of a logical rectangle, put in order.
TRect LogicalToDevice(const TGdiDC& D, int L, int T, int R, int B) {
    if (L > R) std::swap(L, R);
    if (T > B) std::swap(T, B);
    const TPoint O = D.DeviceOffset();
    return {L + O.X, T + O.Y, R + O.X, B + O.Y};
}

int ClipComplexity(const TGdiDC& D) {
    return D.Clip().Complexity();
}

}  // namespace

HDC CreateCompatibleDC(HDC) {
    return static_cast<HDC>(GdiAddObject(std::make_shared<TGdiDC>(TGdiDC::dkMemory)));
}

BOOL DeleteDC(HDC Dc) {
    if (GdiDCOf(Dc) == nullptr) return FALSE;
    return GdiRemoveObject(Dc) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC Dc, HGDIOBJ Object) {
    TGdiDC* D = GdiDCOf(Dc);
    std::shared_ptr<TGdiObject> O = GdiLookupShared(Object);
    if (D == nullptr || !O) return nullptr;
    TGdiDCState& S = D->State;
    HGDIOBJ Old = nullptr;
    switch (O->ObjectType()) {
        case OBJ_BITMAP:
            if (D->Kind() != TGdiDC::dkMemory) return nullptr;
            Old = S.Bitmap ? S.Bitmap->Handle() : nullptr;
            S.Bitmap = std::static_pointer_cast<TGdiBitmap>(std::move(O));
            D->ClipChanged();
            return Old;
        case OBJ_PEN:
            Old = S.Pen ? S.Pen->Handle() : nullptr;
            S.Pen = std::static_pointer_cast<TGdiPen>(std::move(O));
            return Old;
        case OBJ_BRUSH:
            Old = S.Brush ? S.Brush->Handle() : nullptr;
            S.Brush = std::static_pointer_cast<TGdiBrush>(std::move(O));
            return Old;
        case OBJ_FONT:
            Old = S.Font ? S.Font->Handle() : nullptr;
            S.Font = std::move(O);
            return Old;
        case OBJ_REGION: {
            const int R = SelectClipRgn(Dc, static_cast<HRGN>(Object));
            return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(R));
        }
        default:
            return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC Dc, UINT Type) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return nullptr;
    const TGdiDCState& S = D->State;
    switch (Type) {
        case OBJ_PEN:
            return S.Pen ? S.Pen->Handle() : nullptr;
        case OBJ_BRUSH:
            return S.Brush ? S.Brush->Handle() : nullptr;
        case OBJ_FONT:
            return S.Font ? S.Font->Handle() : nullptr;
        case OBJ_BITMAP: {
            std::shared_ptr<TGdiBitmap> B = D->Kind() == TGdiDC::dkMemory ? S.Bitmap : D->TargetShared();
            return B ? B->Handle() : nullptr;
        }
        default:
            return nullptr;
    }
}

int SaveDC(HDC Dc) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return 0;
    D->Saved.push_back(D->State);
    return static_cast<int>(D->Saved.size());
}

BOOL RestoreDC(HDC Dc, int Level) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return FALSE;
    const int Count = static_cast<int>(D->Saved.size());
    const int Target = Level < 0 ? Count + 1 + Level : Level;
    if (Level == 0 || Target < 1 || Target > Count) return FALSE;
    D->State = std::move(D->Saved[static_cast<size_t>(Target - 1)]);
    D->Saved.resize(static_cast<size_t>(Target - 1));
    D->ClipChanged();
    return TRUE;
}

// ---- Origins -----------------------------------------------------------------------------

namespace {

BOOL SetOrigin(HDC Dc, TPoint TGdiDCState::*Field, int X, int Y, POINT* Old) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return FALSE;
    if (Old != nullptr) *Old = D->State.*Field;
    // The effective clip lives in target pixels, so moving an origin leaves it valid.
    D->State.*Field = {X, Y};
    return TRUE;
}

BOOL GetOrigin(HDC Dc, TPoint TGdiDCState::*Field, POINT* Org) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || Org == nullptr) return FALSE;
    *Org = D->State.*Field;
    return TRUE;
}

BOOL OffsetOrigin(HDC Dc, TPoint TGdiDCState::*Field, int DX, int DY, POINT* Old) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return FALSE;
    const TPoint P = D->State.*Field;
    return SetOrigin(Dc, Field, P.X + DX, P.Y + DY, Old);
}

}  // namespace

BOOL SetWindowOrgEx(HDC Dc, int X, int Y, POINT* Old) {
    return SetOrigin(Dc, &TGdiDCState::WindowOrg, X, Y, Old);
}
BOOL GetWindowOrgEx(HDC Dc, POINT* Org) {
    return GetOrigin(Dc, &TGdiDCState::WindowOrg, Org);
}
BOOL OffsetWindowOrgEx(HDC Dc, int DX, int DY, POINT* Old) {
    return OffsetOrigin(Dc, &TGdiDCState::WindowOrg, DX, DY, Old);
}
BOOL SetViewportOrgEx(HDC Dc, int X, int Y, POINT* Old) {
    return SetOrigin(Dc, &TGdiDCState::ViewportOrg, X, Y, Old);
}
BOOL GetViewportOrgEx(HDC Dc, POINT* Org) {
    return GetOrigin(Dc, &TGdiDCState::ViewportOrg, Org);
}
BOOL OffsetViewportOrgEx(HDC Dc, int DX, int DY, POINT* Old) {
    return OffsetOrigin(Dc, &TGdiDCState::ViewportOrg, DX, DY, Old);
}

BOOL LPtoDP(HDC Dc, POINT* Points, int Count) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || (Points == nullptr && Count > 0)) return FALSE;
    const TPoint O = D->DeviceOffset();
    for (int K = 0; K < Count; ++K) Points[K] = {Points[K].X + O.X, Points[K].Y + O.Y};
    return TRUE;
}

BOOL DPtoLP(HDC Dc, POINT* Points, int Count) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || (Points == nullptr && Count > 0)) return FALSE;
    const TPoint O = D->DeviceOffset();
    for (int K = 0; K < Count; ++K) Points[K] = {Points[K].X - O.X, Points[K].Y - O.Y};
    return TRUE;
}

// ---- Clipping ----------------------------------------------------------------------------

int SelectClipRgn(HDC Dc, HRGN Rgn) {
    return ExtSelectClipRgn(Dc, Rgn, RGN_COPY);
}

int ExtSelectClipRgn(HDC Dc, HRGN Rgn, int Mode) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || Mode < RGN_AND || Mode > RGN_COPY) return ERROR;
    TGdiDCState& S = D->State;
    if (Rgn == nullptr) {
        if (Mode != RGN_COPY) return ERROR;
        S.ClipRgn.reset();
    } else {
        TGdiRegion* R = GdiRegionOf(Rgn);
        if (R == nullptr) return ERROR;
        if (Mode == RGN_COPY) {
            S.ClipRgn = R->Region;
        } else {
            const TQvRegion Current = S.ClipRgn ? *S.ClipRgn : TQvRegion(D->DeviceBounds());
            S.ClipRgn = TQvRegion::Combine(Current, R->Region, Mode);
        }
    }
    D->ClipChanged();
    return ClipComplexity(*D);
}

int IntersectClipRect(HDC Dc, int L, int T, int R, int B) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return ERROR;
    TGdiDCState& S = D->State;
    const TRect Rc = LogicalToDevice(*D, L, T, R, B);
    if (S.ClipRgn)
        *S.ClipRgn &= Rc;
    else
        S.ClipRgn = TQvRegion(Rc);
    D->ClipChanged();
    return ClipComplexity(*D);
}

int ExcludeClipRect(HDC Dc, int L, int T, int R, int B) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return ERROR;
    TGdiDCState& S = D->State;
    const TRect Rc = LogicalToDevice(*D, L, T, R, B);
    if (!S.ClipRgn) S.ClipRgn = TQvRegion(D->DeviceBounds());
    *S.ClipRgn -= Rc;
    D->ClipChanged();
    return ClipComplexity(*D);
}

int OffsetClipRgn(HDC Dc, int DX, int DY) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return ERROR;
    if (D->State.ClipRgn) {
        D->State.ClipRgn->Offset(DX, DY);
        D->ClipChanged();
    }
    return ClipComplexity(*D);
}

int GetClipBox(HDC Dc, RECT* Box) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || Box == nullptr) return ERROR;
    const TQvRegion& C = D->Clip();
    if (C.IsEmpty()) {
        *Box = {};
        return NULLREGION;
    }
    const TPoint O = D->LogicalOffset();
    const TRect& B = C.Bounds();
    *Box = {B.Left - O.X, B.Top - O.Y, B.Right - O.X, B.Bottom - O.Y};
    return C.Complexity();
}

int GetClipRgn(HDC Dc, HRGN Rgn) {
    TGdiDC* D = GdiDCOf(Dc);
    TGdiRegion* R = GdiRegionOf(Rgn);
    if (D == nullptr || R == nullptr) return -1;
    if (!D->State.ClipRgn) return 0;
    R->Region = *D->State.ClipRgn;
    return 1;
}

BOOL PtVisible(HDC Dc, int X, int Y) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return FALSE;
    const TPoint O = D->LogicalOffset();
    return D->Clip().Contains(X + O.X, Y + O.Y) ? TRUE : FALSE;
}

BOOL RectVisible(HDC Dc, const RECT* R) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || R == nullptr) return FALSE;
    TRect T = *R;
    if (T.Left > T.Right) std::swap(T.Left, T.Right);
    if (T.Top > T.Bottom) std::swap(T.Top, T.Bottom);
    return D->Clip().Intersects(D->LogicalToTarget(T)) ? TRUE : FALSE;
}

// ---- Attributes --------------------------------------------------------------------------

namespace {

template <typename V>
V Exchange(HDC Dc, V TGdiDCState::*Field, V Value, V Failure) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return Failure;
    const V Old = D->State.*Field;
    D->State.*Field = Value;
    return Old;
}

template <typename V>
V Read(HDC Dc, V TGdiDCState::*Field, V Failure) {
    TGdiDC* D = GdiDCOf(Dc);
    return D != nullptr ? D->State.*Field : Failure;
}

}  // namespace

COLORREF SetTextColor(HDC Dc, COLORREF Color) {
    return Exchange(Dc, &TGdiDCState::TextColor, Resolve(Color), CLR_INVALID);
}
COLORREF GetTextColor(HDC Dc) {
    return Read(Dc, &TGdiDCState::TextColor, CLR_INVALID);
}
COLORREF SetBkColor(HDC Dc, COLORREF Color) {
    return Exchange(Dc, &TGdiDCState::BkColor, Resolve(Color), CLR_INVALID);
}
COLORREF GetBkColor(HDC Dc) {
    return Read(Dc, &TGdiDCState::BkColor, CLR_INVALID);
}

int SetBkMode(HDC Dc, int Mode) {
    if (Mode != TRANSPARENT && Mode != OPAQUE) return 0;
    return Exchange(Dc, &TGdiDCState::BkMode, Mode, 0);
}
int GetBkMode(HDC Dc) {
    return Read(Dc, &TGdiDCState::BkMode, 0);
}

int SetPolyFillMode(HDC Dc, int Mode) {
    if (Mode != ALTERNATE && Mode != WINDING) return 0;
    return Exchange(Dc, &TGdiDCState::PolyFillMode, Mode, 0);
}
int GetPolyFillMode(HDC Dc) {
    return Read(Dc, &TGdiDCState::PolyFillMode, 0);
}

int SetROP2(HDC Dc, int Mode) {
    if (Mode < R2_BLACK || Mode > R2_WHITE) return 0;
    return Exchange(Dc, &TGdiDCState::Rop2, Mode, 0);
}
int GetROP2(HDC Dc) {
    return Read(Dc, &TGdiDCState::Rop2, 0);
}

BOOL SetBrushOrgEx(HDC Dc, int X, int Y, POINT* Old) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return FALSE;
    if (Old != nullptr) *Old = D->State.BrushOrg;
    D->State.BrushOrg = {X, Y};
    return TRUE;
}
BOOL GetBrushOrgEx(HDC Dc, POINT* Org) {
    return GetOrigin(Dc, &TGdiDCState::BrushOrg, Org);
}

UINT SetTextAlign(HDC Dc, UINT Align) {
    return Exchange(Dc, &TGdiDCState::TextAlign, Align, UINT{GDI_ERROR});
}
UINT GetTextAlign(HDC Dc) {
    return Read(Dc, &TGdiDCState::TextAlign, UINT{GDI_ERROR});
}
int SetTextCharacterExtra(HDC Dc, int Extra) {
    return Exchange(Dc, &TGdiDCState::TextCharacterExtra, Extra, static_cast<int>(0x80000000u));
}
int GetTextCharacterExtra(HDC Dc) {
    return Read(Dc, &TGdiDCState::TextCharacterExtra, static_cast<int>(0x80000000u));
}

COLORREF SetDCBrushColor(HDC Dc, COLORREF Color) {
    return Exchange(Dc, &TGdiDCState::DCBrushColor, Resolve(Color), CLR_INVALID);
}
COLORREF GetDCBrushColor(HDC Dc) {
    return Read(Dc, &TGdiDCState::DCBrushColor, CLR_INVALID);
}
COLORREF SetDCPenColor(HDC Dc, COLORREF Color) {
    return Exchange(Dc, &TGdiDCState::DCPenColor, Resolve(Color), CLR_INVALID);
}
COLORREF GetDCPenColor(HDC Dc) {
    return Read(Dc, &TGdiDCState::DCPenColor, CLR_INVALID);
}

HWND WindowFromDC(HDC Dc) {
    TGdiDC* D = GdiDCOf(Dc);
    return D != nullptr ? D->Window : nullptr;
}
