// The reference for kiv's idle memory: the least a Qt Widgets program in the
// notification area holds. It shows one icon, runs a one-second timer that
// does nothing, and has no window. See bench/idle_memory.sh.
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);

  QPixmap square(22, 22);
  square.fill(Qt::darkBlue);
  QSystemTrayIcon icon{QIcon(square)};
  icon.setToolTip(QStringLiteral("bare tray"));
  icon.show();

  QTimer tick;
  tick.start(1000);
  return QApplication::exec();
}
