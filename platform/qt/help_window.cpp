#include "help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <utility>

namespace kiv {
namespace {

constexpr auto kDocumentName = "kiv-help.html";
constexpr auto kContents = "contents";

// 1 is the Schedule menu, 2 the Task menu.
constexpr std::array<std::pair<int, const char*>, 2> kSections{{{1, "schedule"}, {2, "task"}}};

}  // namespace

QString helpAnchor(int context) {
  const auto* found = std::find_if(kSections.begin(), kSections.end(),
                                   [context](const auto& entry) { return entry.first == context; });
  return QLatin1String(found != kSections.end() ? found->second : kContents);
}

QString findHelpDocument() {
  const QDir programFolder(QCoreApplication::applicationDirPath());
  const std::array candidates{
      programFolder.filePath(kDocumentName),
      programFolder.filePath(QStringLiteral(KIV_HELP_FROM_PROGRAM "/") + kDocumentName),
  };
  const auto* found = std::find_if(candidates.begin(), candidates.end(),
                                   [](const QString& path) { return QFileInfo(path).isFile(); });
  return QDir::cleanPath(found != candidates.end() ? *found : candidates.front());
}

HelpWindow::HelpWindow(QString document, QWidget* parent)
    : QDialog(parent), document_(std::move(document)), browser_(new QTextBrowser(this)) {
  setWindowTitle(QStringLiteral("Kiv Help"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  browser_->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(640, 560);
}

void HelpWindow::showAt(int context) {
  show();
  raise();
  activateWindow();
  if (!QFileInfo(document_).isFile()) {
    browser_->setPlainText(
        tr("The help document %1 was not found.").arg(QDir::toNativeSeparators(document_)));
    return;
  }
  QUrl url = QUrl::fromLocalFile(document_);
  url.setFragment(helpAnchor(context));
  browser_->setSource(url);
}

}  // namespace kiv
