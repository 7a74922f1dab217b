#pragma once

#include <QMessageBox>
#include <memory>

#include "shell/platform.h"

namespace kiv {

// The message box a request asks for, ready to run: text, title, icon,
// buttons in order and the default button.
std::unique_ptr<QMessageBox> makeMessageBox(const MessageBoxRequest& request,
                                            QWidget* parent = nullptr);

// The answer of a box made by makeMessageBox once it has closed.
MessageAnswer messageAnswer(const QMessageBox& box);

}  // namespace kiv
