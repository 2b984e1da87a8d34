#pragma once
// Every test program measures and draws text with the packaged fonts only, so results do
// not depend on what else the machine has installed.
void QvPinTestFonts();
