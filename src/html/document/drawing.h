// Small drawing helpers of document objects: text width, wrapped alternate text, the 3-D frame
// of form controls and image boxes, and table and cell borders.
#pragma once

#include <string_view>

#include "platform/canvas.h"

namespace brisomel {

// Draws `text` word by word inside `rect`: words (ending at spaces, trimmed) fill a line
// while it stays within the rectangle's width; a word that would overflow starts the next
// line. Lines are one height of "A" apart from the top, clipped to the rectangle, and drawn
// while a whole line fits above its bottom. Text alignment becomes left-top.
void DrawWrappedText(Canvas& canvas, const Rect& rect, std::u16string_view text);

// Fills `rect` white and frames it inside: 2 pixels wide, the left and top in silver and the
// right and bottom in the button-shadow colour when raised, the other way round when sunken;
// one black pixel on a monochrome device. The canvas's pen and brush are kept.
void DrawControlFrame(Canvas& canvas, const Rect& rect, bool raised);

// A one-pixel outline through the rectangle's edges (left, top, right and bottom coordinates
// all drawn) as two L-shaped halves: left and top, right and bottom. One half takes the
// button-shadow colour, the other a light colour: silver when `printing` or the page
// background is white, the button-highlight colour otherwise. Sunken: the left-top half is
// dark; raised: the right-bottom half. Printing on a monochrome device draws both black.
void DrawCellBorder(bool printing, Color background, Canvas& canvas, const Rect& rect, bool raised);

}  // namespace brisomel
