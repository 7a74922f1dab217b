#pragma once

#include <QIcon>

namespace kiv {

// The program's icon in every size it is drawn at, for the window and the
// notification area.
QIcon programIcon();

}  // namespace kiv
