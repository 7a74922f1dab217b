#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "form/main_form.h"
#include "qt_platform.h"

namespace kiv {

// The location defaults outlive the program: one window stores them through
// the real settings store, a later one retrieves them into another task.
class StoredDefaultsRestartTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(settingsFolder_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder_.path());
  }

  void defaultsStoredInOneRunAreRetrievedInTheNext() {
    {
      QtPlatform platform;
      MainForm form(platform);
      form.Form_Load();
      form.TBox[kAccessLocationBox].setText("/opt/office/msaccess");
      form.TBox[kSecurityFileBox].setText("/srv/secure.mdw");
      for (int box : {4, 6}) {
        form.setFocus(form.TBox[box]);
        form.mnuAccess_Click();
        QVERIFY(form.mnuStore.enabled());
        form.mnuStore_Click();
      }
    }

    // What reaches the disk, read without QSettings and its in-process cache.
    QFile file(QDir(settingsFolder_.path()).filePath("Kiv/Kiv.conf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    QVERIFY(stored.contains("[FileLoc]"));
    QVERIFY(stored.contains("4=/opt/office/msaccess"));
    QVERIFY(stored.contains("6=/srv/secure.mdw"));
    QVERIFY(!stored.contains("5="));

    QtPlatform platform;
    MainForm form(platform);
    form.Form_Load();
    form.cmbTask.setListIndex(9);
    form.fctnChange(false);
    form.setFocus(form.TBox[kAccessLocationBox]);
    form.mnuAccess_Click();
    QVERIFY(!form.mnuStore.enabled());
    QVERIFY(form.mnuRetrieve.enabled());
    form.mnuRetrieve_Click();

    QCOMPARE(form.tasks[9].AccessLocation, std::string("/opt/office/msaccess"));
    QVERIFY(form.mnuSave.enabled());
    form.setFocus(form.TBox[kDatabaseLocationBox]);
    form.mnuAccess_Click();
    QVERIFY(!form.mnuRetrieve.enabled());
  }

 private:
  QTemporaryDir settingsFolder_;
};

}  // namespace kiv

QTEST_MAIN(kiv::StoredDefaultsRestartTest)
#include "stored_defaults_restart_test.moc"
