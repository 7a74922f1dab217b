#include "program_icon.h"

#include <QIconEngine>
#include <QImageReader>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <array>
#include <map>

namespace kiv {

namespace {

// The sizes rendered from icons/kiv.svg; a panel picks the nearest one.
constexpr std::array kIconSizes{16, 22, 24, 32, 48, 64, 128, 256};

// Reads an image of the icon only when it is first drawn at a size it serves.
// An icon built from the files at once would hold every size decoded, for
// every copy made, though an idle Kiv draws only the one its notification
// area asks for.
class ProgramIconEngine : public QIconEngine {
 public:
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return imageFor(size).pixmap(size, mode, state);
  }

  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return imageFor(size).actualSize(size, mode, state);
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const QSize size = rect.size() * painter->device()->devicePixelRatio();
    painter->drawPixmap(rect, pixmap(size, mode, state));
  }

  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    QList<QSize> sizes;
    if (mode != QIcon::Normal || state != QIcon::Off) return sizes;
    for (const int side : kIconSizes) sizes.append(QSize(side, side));
    return sizes;
  }

  QIconEngine* clone() const override { return new ProgramIconEngine(*this); }
  QString key() const override { return QStringLiteral("KivProgramIcon"); }

 private:
  // As an icon of all the files would choose: the smallest image at least as
  // large as asked, else the largest; that image is scaled down to the size.
  static int sideFor(const QSize& size) {
    const auto fits = std::find_if(kIconSizes.begin(), kIconSizes.end(), [&size](int side) {
      return side * side >= size.width() * size.height();
    });
    return fits != kIconSizes.end() ? *fits : kIconSizes.back();
  }

  const QIcon& imageFor(const QSize& size) {
    const int side = sideFor(size);
    QIcon& image = images_[side];
    if (image.isNull()) {
      // Told the format, and not to look further, the reader loads no image
      // plugin to ask whether it knows the file.
      QImageReader reader(QStringLiteral(":/icons/kiv-%1.png").arg(side), "png");
      reader.setAutoDetectImageFormat(false);
      image.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return image;
  }

  std::map<int, QIcon> images_;
};

}  // namespace

QIcon programIcon() {
  return QIcon(new ProgramIconEngine);
}

}  // namespace kiv
