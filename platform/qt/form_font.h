#pragma once

#include <QFont>

namespace kiv {

// The window's font, 8.25 pt: Tahoma where it is installed. Elsewhere the
// labels must still fit their fixed boxes, so the face asked for is Arial,
// whose widths are close to Tahoma's: font matching gives Arial itself or a
// face with its metrics (Liberation Sans, Arimo, Nimbus Sans), and the
// system's sans-serif face when none of them is installed.
QFont formFont();

}  // namespace kiv
