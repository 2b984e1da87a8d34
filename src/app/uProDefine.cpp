#include "app/uProDefine.h"

TColorMode ColorModeFromOrdinal(int Value) { return Value == cmCustom ? cmCustom : cmDefault; }
