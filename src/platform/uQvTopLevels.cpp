#include "platform/uQvTopLevels.h"

#include <algorithm>
#include <utility>

#include "platform/uQvWinInternal.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinState.h"

namespace {

struct TState {
    const TQvBackend* For = nullptr;  // the backend Known was told to
    std::vector<TQvTopLevel> Known;   // as last told, topmost first
};

TState& S() { return QvWinState<TState>(); }

// The window Handle names, when it is a top-level one the backend hears of.
const TQvWnd* TopLevel(HWND Handle) {
    const TQvWnd* W = QvWnd(Handle);
    return W != nullptr && !W->IsChild() && !W->MessageOnly ? W : nullptr;
}

TQvTopLevel Describe(const TQvWnd* W) {
    TQvTopLevel D;
    D.Handle = W->Handle;
    D.Owner = W->Owner ? W->Owner->Handle : nullptr;
    D.Window = W->Window;
    D.Style = W->Style;
    D.ExStyle = W->ExStyle;
    D.Shown = W->Visible() && !(W->Style & WS_MINIMIZE);
    D.Shape = W->Shape;
    if (const TQvWnd* M = D.Shown ? TopLevel(W->ModalFor) : nullptr) D.ModalFor = M->Handle;
    if (const TQvWnd* M = TopLevel(W->MarginOf)) D.MarginOf = M->Handle;
    if (const TQvLayer* L = (W->ExStyle & WS_EX_LAYERED) ? W->Layer.get() : nullptr) {
        D.Alpha = L->Alpha;
        D.UseKey = L->UseKey;
        D.Key = L->Key;
        D.Pushed = L->Mode == lmPushed;
        D.PerPixel = D.Pushed && L->PerPixel;
    }
    if (W->Animation) D.Alpha = static_cast<BYTE>((D.Alpha * W->Animation->Fade + 127) / 255);
    return D;
}

unsigned Differences(const TQvTopLevel& A, const TQvTopLevel& B) {
    unsigned C = 0;
    if (A.Window != B.Window) C |= tcGeometry;
    if (A.Shown != B.Shown) C |= tcShown;
    if (A.Style != B.Style || A.ExStyle != B.ExStyle) C |= tcStyle;
    if (A.Owner != B.Owner) C |= tcOwner;
    if (A.Alpha != B.Alpha || A.UseKey != B.UseKey || A.Key != B.Key || A.Pushed != B.Pushed ||
        A.PerPixel != B.PerPixel)
        C |= tcLayer;
    if (A.Shape != B.Shape) C |= tcShape;
    if (A.ModalFor != B.ModalFor) C |= tcModal;
    if (A.MarginOf != B.MarginOf) C |= tcMargin;
    return C;
}

}  // namespace

TQvTopLevel QvDescribeTopLevel(HWND Handle) {
    const TQvWnd* W = TopLevel(Handle);
    return W != nullptr ? Describe(W) : TQvTopLevel{};
}

const TGdiBitmap* QvTopLevelPixels(HWND Handle) {
    const TQvWnd* W = TopLevel(Handle);
    if (W == nullptr) return nullptr;
    if ((W->ExStyle & WS_EX_LAYERED) && W->Layer && W->Layer->Mode == lmPushed) return W->Layer->Pixels.get();
    return GdiBitmapOf(QvBackingBitmap(Handle));
}

void QvTopLevelsSync(const TQvRegion& ScreenChanged) {
    TQvBackend& B = QvBackend();
    TState& St = S();
    if (St.For != &B) {
        St.For = &B;
        St.Known.clear();
    }
    std::vector<TQvTopLevel> Now;
    for (const TQvWnd* W : QvZOrder()) Now.push_back(Describe(W));
    const std::vector<TQvTopLevel> Old = std::exchange(St.Known, Now);
    auto Find = [](const std::vector<TQvTopLevel>& In, HWND H) {
        return std::find_if(In.begin(), In.end(), [H](const TQvTopLevel& D) { return D.Handle == H; });
    };
    for (const TQvTopLevel& D : Old)
        if (Find(Now, D.Handle) == Now.end()) B.WindowDestroyed(D.Handle);
    // Bottom to top, so a backend that creates native windows stacks them in order.
    for (auto It = Now.rbegin(); It != Now.rend(); ++It) {
        const auto Was = Find(Old, It->Handle);
        if (Was == Old.end())
            B.WindowCreated(*It);
        else if (const unsigned C = Differences(*Was, *It))
            B.WindowChanged(*It, C);
    }
    const bool Reordered = !std::equal(Old.begin(), Old.end(), Now.begin(), Now.end(),
                                       [](const TQvTopLevel& A, const TQvTopLevel& C) { return A.Handle == C.Handle; });
    if (Reordered) {
        std::vector<HWND> Order;
        for (const TQvTopLevel& D : Now) Order.push_back(D.Handle);
        B.ZOrderChanged(Order);
    }
    if (ScreenChanged.IsEmpty()) return;
    for (const TQvTopLevel& D : Now) {
        if (!D.Shown) continue;
        TQvRegion Part = ScreenChanged;
        Part &= D.Window;
        if (Part.IsEmpty()) continue;
        Part.Offset(-D.Window.Left, -D.Window.Top);
        B.PresentWindow(D.Handle, Part);
    }
}
