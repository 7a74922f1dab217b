#pragma once

#include "windows_api.h"

#include "form/controls.h"

namespace kiv {

// The form is laid out in twips (1/1440 inch); the window is drawn at the
// screen's dots per inch.
int screenDotsPerInch();
int twipsToPixels(int twips, int dotsPerInch);
// `rect` in pixels, shifted by the origin of its container (in pixels).
RECT twipsToPixels(const TwipsRect& rect, int dotsPerInch, POINT origin = {0, 0});

// The form's font (Tahoma 8.25 points) at the screen's size; the caller
// deletes it.
HFONT createFormFont(int dotsPerInch);

}  // namespace kiv
