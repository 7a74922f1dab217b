#include "program_icon.h"

#include <array>

namespace kiv {

namespace {
// The sizes rendered from icons/kiv.svg; a panel picks the nearest one.
constexpr std::array kIconSizes{16, 22, 24, 32, 48, 64, 128, 256};
}  // namespace

QIcon programIcon() {
  QIcon icon;
  for (const int size : kIconSizes) {
    icon.addFile(QStringLiteral(":/icons/kiv-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace kiv
