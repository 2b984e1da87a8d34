#include "framework/uQvControlFind.h"

#include <algorithm>

#include "framework/uQvWinControl.h"
#include "platform/uQvInput.h"
#include "platform/uQvWindows.h"

namespace {

std::vector<TWinControl*>& Roots() {
    static std::vector<TWinControl*> R;
    return R;
}

}  // namespace

const std::vector<TWinControl*>& QvRootControls() {
    return Roots();
}

void QvRootControlShown(TWinControl* Root) {
    if (std::find(Roots().begin(), Roots().end(), Root) == Roots().end()) Roots().push_back(Root);
}

void QvRootControlGone(TWinControl* Root) {
    Roots().erase(std::remove(Roots().begin(), Roots().end(), Root), Roots().end());
}

TControl* QvFindControl(std::u16string_view Path) {
    const size_t Dot = Path.find(u'.');
    const std::u16string_view First = Path.substr(0, Dot);
    for (TWinControl* Root : Roots()) {
        if (!SameText(Root->Name(), First)) continue;
        TComponent* C = Root;
        std::u16string_view Rest =
            Dot == std::u16string_view::npos ? std::u16string_view{} : Path.substr(Dot + 1);
        while (C != nullptr && !Rest.empty()) {
            const size_t Next = Rest.find(u'.');
            C = C->FindComponent(Rest.substr(0, Next));
            Rest = Next == std::u16string_view::npos ? std::u16string_view{} : Rest.substr(Next + 1);
        }
        if (auto* Found = dynamic_cast<TControl*>(C)) return Found;
    }
    return nullptr;
}

String QvControlPath(const TComponent* Control) {
    String Path;
    for (const TComponent* C = Control; C != nullptr; C = C->Owner()) {
        // The owner chain ends at the root control or at an owner that is not a control
        // (an application object), which is not part of the path.
        if (C != Control && dynamic_cast<const TControl*>(C) == nullptr) break;
        Path = Path.empty() ? C->Name() : C->Name() + u"." + Path;
    }
    return Path;
}

TQvControlInfo QvDescribeControl(const TControl* Control) {
    TQvControlInfo I;
    if (Control == nullptr) return I;
    I.Path = QvControlPath(Control);
    I.ClassName = Control->ClassName();
    I.Caption = Control->Caption();
    I.ScreenRect = Control->ScreenRect();
    I.State = Control->ControlState();
    I.Showing = true;
    I.Enabled = true;
    const TControl* Top = Control;
    for (const TControl* C = Control; C != nullptr; C = C->Parent()) {
        I.Showing = I.Showing && C->Visible();
        I.Enabled = I.Enabled && C->Enabled();
        Top = C;
    }
    auto* Root = dynamic_cast<const TWinControl*>(Top);
    I.Showing = I.Showing && Root != nullptr && Root->Showing();
    if (auto* W = dynamic_cast<const TWinControl*>(Control)) I.Focused = W->Focused();
    return I;
}

TPoint QvControlCenter(const TControl* Control) {
    const TRect R = Control->ScreenRect();
    return TPoint{R.Left + R.Width() / 2, R.Top + R.Height() / 2};
}
