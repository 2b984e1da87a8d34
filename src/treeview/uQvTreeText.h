#pragma once
// Cutting a cell's text to fit: the longest prefix that leaves room for "..." behind it.
// Cuts fall only between user-perceived characters (grapheme clusters, by a compact rule
// set: surrogate pairs, combining and enclosing marks, variation selectors, zero-width
// joiner sequences, emoji modifiers, regional-indicator pairs, Hangul syllable jamo and
// CR LF stay whole), so a prefix never ends in half a character or a lone surrogate.

#include <functional>
#include <vector>

#include "platform/uQvBase.h"

// The offsets (UTF-16 units) at which Text may be cut, from 0 to Text.size() inclusive.
std::vector<size_t> QvGraphemeBoundaries(const String& Text);

// The longest prefix of Text whose width plus EllipsisWidth fits MaxWidth, followed by
// "..."; empty when MaxWidth is 0 or less or "..." alone does not fit. Width measures a
// string; Text is assumed wider than MaxWidth (the caller checked).
String QvShortenText(const String& Text, int MaxWidth, int EllipsisWidth,
                     const std::function<int(const String&)>& Width);
