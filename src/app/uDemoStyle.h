#pragma once
// The look the demo windows share (the controls gallery, the demo grid): their face,
// ink and muted colours, the labels they are captioned with and their borderless frame.

#include "framework/uQvForms.h"

class TPelluxLabel;

inline const char16_t* const DemoFaceName = u"微软雅黑";
inline constexpr TColor DemoInk = RGB(51, 62, 77);
inline constexpr TColor DemoMuted = RGB(122, 133, 148);

// An auto-sized label at (X, Y) in Parent.
TPelluxLabel* DemoLabel(TWinControl* Parent, int X, int Y, const String& Caption, int Size = 9,
                        TColor Color = DemoInk, bool Bold = false);
// A borderless demo window named Name, W x H at (40, 40), on the pale demo ground.
void DemoFormStyle(TForm* Form, const String& Name, int W, int H);
