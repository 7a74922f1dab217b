#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QTest>

#include "program_icon.h"

namespace kiv {

class ProgramIconTest : public QObject {
  Q_OBJECT

 private slots:
  void drawsAsAnIconOfEveryFileWould();
  void offersEveryRenderedSize();
};

// The icon reads its files only when drawn, but draws exactly what an icon
// holding all of them draws: the nearest larger image, scaled down, in every
// mode.
void ProgramIconTest::drawsAsAnIconOfEveryFileWould() {
  QIcon everyFile;
  for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
    everyFile.addFile(QStringLiteral(":/icons/kiv-%1.png").arg(side), QSize(side, side));
  }
  const QIcon icon = programIcon();
  for (const int side : {8, 16, 20, 22, 23, 24, 30, 32, 40, 48, 64, 100, 128, 200, 256, 300}) {
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active}) {
      const QSize size(side, side);
      const QByteArray where = QByteArray::number(side) + " in mode " + QByteArray::number(mode);
      QVERIFY2(!icon.pixmap(size, mode).isNull(), where);
      QVERIFY2(icon.actualSize(size, mode) == everyFile.actualSize(size, mode), where);
      QVERIFY2(icon.pixmap(size, mode).toImage() == everyFile.pixmap(size, mode).toImage(), where);
    }
  }
}

void ProgramIconTest::offersEveryRenderedSize() {
  const QList<QSize> sizes{{16, 16}, {22, 22}, {24, 24},   {32, 32},
                           {48, 48}, {64, 64}, {128, 128}, {256, 256}};
  QCOMPARE(programIcon().availableSizes(), sizes);
}

}  // namespace kiv

QTEST_MAIN(kiv::ProgramIconTest)
#include "program_icon_test.moc"
