#include <signal.h>

#include <QTest>

#include "session_end.h"

namespace kiv {

class SessionEndTest : public QObject {
  Q_OBJECT

 private slots:
  void signalsEndTheSessionInTheEventLoop_data();
  void signalsEndTheSessionInTheEventLoop();
  void theSignalsGoBackToTheirDefaultAfterwards();
};

void SessionEndTest::signalsEndTheSessionInTheEventLoop_data() {
  QTest::addColumn<int>("signal");
  QTest::newRow("SIGTERM") << SIGTERM;
  QTest::newRow("SIGHUP") << SIGHUP;
}

void SessionEndTest::signalsEndTheSessionInTheEventLoop() {
  QFETCH(int, signal);
  int ends = 0;
  SessionEnd sessionEnd([&ends] { ++ends; });

  QCOMPARE(::raise(signal), 0);

  // The handler only writes to the pipe; the report comes from the loop.
  QCOMPARE(ends, 0);
  QTRY_COMPARE(ends, 1);
}

void SessionEndTest::theSignalsGoBackToTheirDefaultAfterwards() {
  {
    SessionEnd sessionEnd([] {});
  }

  for (const int signal : {SIGTERM, SIGHUP}) {
    struct sigaction action {};
    QCOMPARE(::sigaction(signal, nullptr, &action), 0);
    QVERIFY(action.sa_handler == SIG_DFL);
  }
}

}  // namespace kiv

QTEST_MAIN(kiv::SessionEndTest)
#include "session_end_test.moc"
