#include "file_dialog.h"

#include <QFileInfo>

#include "qt_text.h"
#include "shell/open_save.h"

namespace kiv {
namespace {

// The folder to start in, and the file to select there, for a starting path.
// The location boxes hold the full path of a file, which may have gone.
struct StartingPoint {
  QString folder;
  QString file;
};

StartingPoint startingPoint(const std::string& initialDir) {
  if (initialDir.empty()) return {};
  const QFileInfo path(toQString(initialDir));
  if (path.isDir()) return {path.absoluteFilePath(), {}};
  if (!path.dir().exists()) return {};
  return {path.absolutePath(), path.isFile() ? path.fileName() : QString()};
}

}  // namespace

// Qt reads an entry's patterns from the parentheses at its end. Most
// descriptions name their patterns there already ("Schedule files (*.kiv)")
// and are shown as they are; others get their patterns added.
QStringList nameFilters(const std::string& filter) {
  QStringList entries;
  const QStringList parts = toQString(filter).split(QChar::Null);
  for (qsizetype part = 0; part + 1 < parts.size() && !parts[part].isEmpty(); part += 2) {
    const QString& description = parts[part];
    const QString patterns = QStringLiteral("(%1)").arg(
        QString(parts[part + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')));
    entries << (description.endsWith(patterns) ? description : description + ' ' + patterns);
  }
  return entries;
}

std::unique_ptr<QFileDialog> makeFileDialog(const FileDialogRecord& record, QWidget* owner) {
  auto dialog = std::make_unique<QFileDialog>(owner, toQString(record.title));
  // Qt's own dialog: it matches patterns regardless of case, as the
  // filters mean, where some desktop dialogs do not.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);

  const bool save = record.kind == FileDialogKind::Save;
  dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog->setFileMode(!save && (record.flags & OFN_FILEMUSTEXIST) != 0 ? QFileDialog::ExistingFile
                                                                       : QFileDialog::AnyFile);
  dialog->setOption(QFileDialog::DontConfirmOverwrite, (record.flags & OFN_OVERWRITEPROMPT) == 0);
  dialog->setDefaultSuffix(toQString(record.defaultExt));

  const QStringList filters = nameFilters(record.filter);
  dialog->setNameFilters(filters);
  const auto preselected = static_cast<qsizetype>(record.filterIndex) - 1;
  if (preselected >= 0 && preselected < filters.size()) {
    dialog->selectNameFilter(filters[preselected]);
  }

  const StartingPoint start = startingPoint(record.initialDir);
  if (!start.folder.isEmpty()) dialog->setDirectory(start.folder);
  if (!start.file.isEmpty()) dialog->selectFile(start.file);
  return dialog;
}

void takeFileChoice(const QFileDialog& dialog, FileDialogRecord& record) {
  const QStringList chosen = dialog.selectedFiles();
  const QString path = chosen.isEmpty() ? QString() : QDir::toNativeSeparators(chosen.front());
  record.file = toCoreText(path);
  record.fileTitle = toCoreText(QFileInfo(path).fileName());
  const qsizetype entry = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
  if (entry >= 0) record.filterIndex = static_cast<std::uint32_t>(entry + 1);
}

}  // namespace kiv
