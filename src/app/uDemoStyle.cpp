#include "app/uDemoStyle.h"

#include "controls/uPelluxLabel.h"

TPelluxLabel* DemoLabel(TWinControl* Parent, int X, int Y, const String& Caption, int Size, TColor Color, bool Bold) {
    auto* L = new TPelluxLabel(Parent);
    L->SetBounds(X, Y, 10, 10);
    L->SetParent(Parent);
    L->Font()->SetName(DemoFaceName);
    L->Font()->SetSize(Size);
    L->Font()->SetColor(Color);
    if (Bold) L->Font()->SetStyle(TFontStyles{fsBold});
    L->SetCaption(Caption);
    return L;
}

void DemoFormStyle(TForm* Form, const String& Name, int W, int H) {
    Form->SetName(Name);
    Form->SetBorderStyle(bsNone);
    Form->SetColor(RGB(243, 246, 250));
    Form->Font()->SetName(DemoFaceName);
    Form->Font()->SetSize(9);
    Form->SetBounds(40, 40, W, H);
}
