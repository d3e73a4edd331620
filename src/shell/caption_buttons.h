// The caption buttons of a painted title bar. The system draws their symbols from its
// "Marlett" font; where that font is missing (a bare Wine prefix has none) the system falls
// back to a text font and shows the font's codes as letters, so the buttons are then drawn
// here: a raised face with the symbol made of rectangles, as on a classic title bar.
#pragma once

#include <windows.h>

namespace brisomel {

// Whether the system's symbol font for caption buttons is installed (looked up once).
bool CaptionSymbolFontInstalled();

// Draws a caption button into `rect`: `state` is DFCS_CAPTIONCLOSE, DFCS_CAPTIONMIN,
// DFCS_CAPTIONMAX, DFCS_CAPTIONRESTORE or DFCS_CAPTIONHELP, with DFCS_INACTIVE or
// DFCS_PUSHED added as needed (as for DrawFrameControl).
void DrawCaptionButton(HDC dc, const RECT& rect, UINT state);

// The same button, always with the symbol drawn here rather than from the font.
void DrawOwnCaptionButton(HDC dc, const RECT& rect, UINT state);

}  // namespace brisomel
