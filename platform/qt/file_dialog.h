#pragma once

#include <QFileDialog>
#include <QStringList>
#include <memory>
#include <string>

#include "shell/platform.h"

namespace kiv {

// The name filters of a dialog record's filter, one for each description and
// pattern pair: the description, followed by the patterns in parentheses
// unless it ends with them already. Several patterns are separated by blanks
// where the record separates them with ";".
QStringList nameFilters(const std::string& filter);

// The open or save dialog a record asks for, ready to run: title, filters
// with the preselected entry, starting folder (a starting path that names a
// file starts in its folder with the file selected), the must-exist and
// overwrite-confirmation options, and the owner window.
std::unique_ptr<QFileDialog> makeFileDialog(const FileDialogRecord& record,
                                            QWidget* owner = nullptr);

// Puts the choice of an accepted dialog into the record: the path, its file
// name, and the 1-based entry of the filter in use.
void takeFileChoice(const QFileDialog& dialog, FileDialogRecord& record);

}  // namespace kiv
