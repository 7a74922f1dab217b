#pragma once

#include "form/main_form.h"

namespace kiv {

// Where the window draws a control: at the form's documented place and size,
// except where the system's font needs more room for every caption the
// control can take. Only the drawing widens; the form keeps its geometry.
TwipsRect drawnGeometry(const MainForm& form, const Control& control);

}  // namespace kiv
