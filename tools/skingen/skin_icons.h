#pragma once
// The line icons of the skin as named shape programs (skin_glyph.h).

// Makes every icon known to DrawGlyph as @name.
void RegisterSkinIcons();
