#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "file_dialog.h"
#include "form/main_form.h"
#include "qt_platform.h"
#include "shell/open_save.h"

namespace kiv {
namespace {

// A dialog record as the file dialog layer fills it.
FileDialogRecord record(FileDialogKind kind, std::string_view filter, std::uint32_t filterIndex,
                        std::uint32_t flags, const QString& initialDir = {}) {
  FileDialogRecord r;
  r.kind = kind;
  r.filter = cOpenSave::convertFilter(filter);
  r.filterIndex = filterIndex;
  r.flags = flags;
  r.initialDir = initialDir.toStdString();
  r.title = kind == FileDialogKind::Save ? "Save As" : "Select";
  return r;
}

void touch(const QString& path) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
}

// Runs `answer` on the file dialog once it is open and modal.
class DialogAnswerer : public QObject {
 public:
  explicit DialogAnswerer(std::function<void(QFileDialog&)> answer) : answer_(std::move(answer)) {
    connect(&poll_, &QTimer::timeout, this, [this] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      poll_.stop();
      answer_(*dialog);
    });
    poll_.start(10);
  }

 private:
  std::function<void(QFileDialog&)> answer_;
  QTimer poll_;
};

constexpr std::string_view kWorkgroup = "Workgroup files (*.mdw)|*.mdw|INI files (*.ini)|*.ini";
constexpr std::string_view kSchedule = "Schedule files (*.kiv)|*.kiv";
constexpr std::uint32_t kOpenFlags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
constexpr std::uint32_t kSaveFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;

}  // namespace

class FileDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void filtersBecomeNameFilters_data();
  void filtersBecomeNameFilters();
  void openDialogCarriesTheRecord();
  void preselectedEntryOutsideTheListFallsBackToTheFirst();
  void fileMustExistOnlyWhenAsked();
  void saveDialogConfirmsOverwritingOnlyWhenAsked();
  void startingPathMayNameAFile();
  void patternsMatchRegardlessOfCase();
  void choiceFillsTheRecord();
  void platformReportsAChoiceAndMovesTheCurrentFolder();
  void platformReportsACancel();
  void programDialogListsAProgramWithoutExtension();

 private:
  std::unique_ptr<QTemporaryDir> folder_;  // a fresh one for every test
  QString previousFolder_;
};

void FileDialogTest::init() {
  folder_ = std::make_unique<QTemporaryDir>();
  QVERIFY(folder_->isValid());
  previousFolder_ = QDir::currentPath();
}

void FileDialogTest::cleanup() {
  QDir::setCurrent(previousFolder_);
}

void FileDialogTest::filtersBecomeNameFilters_data() {
  QTest::addColumn<QString>("filter");
  QTest::addColumn<QStringList>("nameFilters");
  QTest::newRow("a description naming its pattern")
      << QString::fromLatin1(kSchedule.data(), kSchedule.size())
      << QStringList{"Schedule files (*.kiv)"};
  QTest::newRow("two entries") << "Access (msaccess.exe)|msaccess.exe|Program files (*.exe)|*.exe"
                               << QStringList{"Access (msaccess.exe)", "Program files (*.exe)"};
  QTest::newRow("a description without its pattern")
      << "Text (UTF-8)|*.txt" << QStringList{"Text (UTF-8) (*.txt)"};
  QTest::newRow("several patterns in one entry")
      << "Pictures|*.png;*.JPG" << QStringList{"Pictures (*.png *.JPG)"};
  QTest::newRow("a colon separates too") << "Databases:*.mdb" << QStringList{"Databases (*.mdb)"};
  QTest::newRow("no filter") << "" << QStringList{};
  QTest::newRow("an entry with an empty pattern keeps its place")
      << "Schedules|*.kiv|Other" << QStringList{"Schedules (*.kiv)", "Other ()"};
}

void FileDialogTest::filtersBecomeNameFilters() {
  QFETCH(QString, filter);
  QFETCH(QStringList, nameFilters);
  QCOMPARE(kiv::nameFilters(cOpenSave::convertFilter(filter.toStdString())), nameFilters);
}

void FileDialogTest::openDialogCarriesTheRecord() {
  QWidget owner;
  const auto dialog = makeFileDialog(
      record(FileDialogKind::Open, kWorkgroup, 2, kOpenFlags, folder_->path()), &owner);

  QCOMPARE(dialog->windowTitle(), QString("Select"));
  QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
  QCOMPARE(dialog->nameFilters(), QStringList({"Workgroup files (*.mdw)", "INI files (*.ini)"}));
  QCOMPARE(dialog->selectedNameFilter(), QString("INI files (*.ini)"));
  QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir(folder_->path()).canonicalPath());
  QCOMPARE(dialog->parentWidget(), &owner);
}

void FileDialogTest::preselectedEntryOutsideTheListFallsBackToTheFirst() {
  for (const std::uint32_t index : {0U, 3U}) {
    const auto dialog = makeFileDialog(record(FileDialogKind::Open, kWorkgroup, index, kOpenFlags));
    QCOMPARE(dialog->selectedNameFilter(), QString("Workgroup files (*.mdw)"));
  }
}

void FileDialogTest::fileMustExistOnlyWhenAsked() {
  const auto mustExist = makeFileDialog(record(FileDialogKind::Open, kSchedule, 1, kOpenFlags));
  const auto mayBeNew =
      makeFileDialog(record(FileDialogKind::Open, kSchedule, 1, OFN_HIDEREADONLY));

  QCOMPARE(mustExist->fileMode(), QFileDialog::ExistingFile);
  QCOMPARE(mayBeNew->fileMode(), QFileDialog::AnyFile);
}

void FileDialogTest::saveDialogConfirmsOverwritingOnlyWhenAsked() {
  const auto asks = makeFileDialog(record(FileDialogKind::Save, kSchedule, 1, kSaveFlags));
  const auto overwrites =
      makeFileDialog(record(FileDialogKind::Save, kSchedule, 1, OFN_HIDEREADONLY));

  QCOMPARE(asks->windowTitle(), QString("Save As"));
  QCOMPARE(asks->acceptMode(), QFileDialog::AcceptSave);
  QCOMPARE(asks->fileMode(), QFileDialog::AnyFile);
  QVERIFY(!asks->testOption(QFileDialog::DontConfirmOverwrite));
  QVERIFY(overwrites->testOption(QFileDialog::DontConfirmOverwrite));
}

void FileDialogTest::startingPathMayNameAFile() {
  const QString database = folder_->filePath("orders.mdb");
  touch(database);
  const QString canonicalFolder = QDir(folder_->path()).canonicalPath();
  // Where a dialog starts without a usable path: the folder last shown.
  const auto defaultFolder = [] {
    return QDir(makeFileDialog(record(FileDialogKind::Open, kSchedule, 1, kOpenFlags))->directory())
        .canonicalPath();
  };
  struct Case {
    const char* name;
    QString initialDir;
    QString folder;        // empty: the default folder
    QStringList selected;  // file names
  };
  const std::vector<Case> cases{
      {"a folder", folder_->path(), canonicalFolder, {}},
      {"a file: its folder, the file selected", database, canonicalFolder, {"orders.mdb"}},
      {"a file that has gone: its folder", folder_->filePath("gone.mdb"), canonicalFolder, {}},
      {"nothing usable: the default folder", "/nonexistent/folder/orders.mdb", {}, {}},
  };
  for (const Case& c : cases) {
    const QString expectedFolder = c.folder.isEmpty() ? defaultFolder() : c.folder;
    const auto dialog =
        makeFileDialog(record(FileDialogKind::Open, kWorkgroup, 1, kOpenFlags, c.initialDir));

    QVERIFY2(QDir(dialog->directory()).canonicalPath() == expectedFolder, c.name);
    QStringList selected;
    for (const QString& file : dialog->selectedFiles()) {
      if (QFileInfo(file).isFile()) selected << QFileInfo(file).fileName();
    }
    QVERIFY2(selected == c.selected, c.name);
  }
}

void FileDialogTest::patternsMatchRegardlessOfCase() {
  for (const char* name : {"NIGHT.KIV", "weekly.Kiv", "notes.txt"}) touch(folder_->filePath(name));
  const auto dialog =
      makeFileDialog(record(FileDialogKind::Open, kSchedule, 1, kOpenFlags, folder_->path()));
  QVERIFY(!dialog->filter().testFlag(QDir::CaseSensitive));
  auto* model = dialog->findChild<QFileSystemModel*>();
  QVERIFY(model != nullptr);
  dialog->show();

  const QModelIndex listed = model->index(folder_->path());
  QTRY_COMPARE(model->rowCount(listed), 2);
  QStringList names;
  for (int row = 0; row < model->rowCount(listed); ++row) {
    names << model->fileName(model->index(row, 0, listed));
  }
  names.sort();
  QCOMPARE(names, QStringList({"NIGHT.KIV", "weekly.Kiv"}));
}

void FileDialogTest::choiceFillsTheRecord() {
  const QString chosen = folder_->filePath("night.kiv");
  touch(chosen);
  FileDialogRecord r = record(FileDialogKind::Open, kWorkgroup, 1, kOpenFlags, folder_->path());
  const auto dialog = makeFileDialog(r);
  dialog->selectNameFilter(dialog->nameFilters().at(1));
  dialog->selectFile(chosen);

  takeFileChoice(*dialog, r);

  QCOMPARE(QFileInfo(QString::fromStdString(r.file)).canonicalFilePath(),
           QFileInfo(chosen).canonicalFilePath());
  QCOMPARE(r.fileTitle, std::string("night.kiv"));
  QCOMPARE(r.filterIndex, 2U);
}

void FileDialogTest::platformReportsAChoiceAndMovesTheCurrentFolder() {
  QTemporaryDir other;
  const QString chosen = other.filePath("night.kiv");
  touch(chosen);
  QtPlatform platform;
  FileDialogRecord r = record(FileDialogKind::Open, kSchedule, 1, kOpenFlags, folder_->path());
  DialogAnswerer answerer([&chosen](QFileDialog& dialog) {
    // As a user does it: go to the folder, type the name, press OK (which
    // lets QFileDialog check the choice). selectFile() alone leaves the name
    // field as it is while that field has the focus.
    dialog.setDirectory(QFileInfo(chosen).absolutePath());
    auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
    QVERIFY(name != nullptr);
    name->setText(QFileInfo(chosen).fileName());
    static_cast<QDialog&>(dialog).accept();  // QFileDialog::accept, reached as OK reaches it
  });

  const FileDialogOutcome outcome = platform.fileDialog(r);

  QCOMPARE(outcome.apiReturn, 1);
  QCOMPARE(r.fileTitle, std::string("night.kiv"));
  QCOMPARE(QFileInfo(QString::fromStdString(r.file)).canonicalFilePath(),
           QFileInfo(chosen).canonicalFilePath());
  QCOMPARE(QDir::current().canonicalPath(), QDir(other.path()).canonicalPath());
}

void FileDialogTest::platformReportsACancel() {
  QtPlatform platform;
  FileDialogRecord r = record(FileDialogKind::Save, kSchedule, 1, kSaveFlags, folder_->path());
  r.file = "untouched";
  DialogAnswerer answerer([](QFileDialog& dialog) { dialog.reject(); });

  const FileDialogOutcome outcome = platform.fileDialog(r);

  QCOMPARE(outcome.apiReturn, 0);
  QCOMPARE(r.file, std::string("untouched"));
  QCOMPARE(QDir::currentPath(), previousFolder_);
}

// The Browse dialog of the program location, opened by the window as a user
// opens it: the documented entries first, then every file, under which a
// program named as POSIX names programs shows and can be picked.
void FileDialogTest::programDialogListsAProgramWithoutExtension() {
  const QString program = folder_->filePath("dbrunner");
  touch(program);
  QtPlatform platform;
  MainForm form(platform);
  form.Form_Load();
  form.TBox[4].setText(program.toStdString());
  QStringList filters;
  QStringList shown;
  DialogAnswerer answerer([&](QFileDialog& dialog) {
    filters = dialog.nameFilters();
    dialog.selectNameFilter(filters.last());
    auto* model = dialog.findChild<QFileSystemModel*>();
    QVERIFY(model != nullptr);
    const QModelIndex listed = model->index(folder_->path());
    QTRY_COMPARE(model->rowCount(listed), 1);
    shown << model->fileName(model->index(0, 0, listed));
    dialog.findChild<QLineEdit*>("fileNameEdit")->setText("dbrunner");
    static_cast<QDialog&>(dialog).accept();
  });

  form.Command1[0].press();

  QCOMPARE(filters,
           QStringList({"Access (msaccess.exe)", "Program files (*.exe)", "All files (*)"}));
  QCOMPARE(shown, QStringList{"dbrunner"});
  QCOMPARE(QFileInfo(QString::fromStdString(form.TBox[4].text())).canonicalFilePath(),
           QFileInfo(program).canonicalFilePath());
}

}  // namespace kiv

QTEST_MAIN(kiv::FileDialogTest)
#include "file_dialog_test.moc"
