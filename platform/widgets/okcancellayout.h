#pragma once
// The layout of the program's small pickers: one control filling the dialog above a row
// of OK and Cancel. OK is the default button and calls the dialog's own handler; Cancel
// rejects the dialog.
#include <QString>

#include <functional>

class QDialog;
class QPushButton;
class QWidget;

namespace platform {

// Returns the OK button, captioned okText.
QPushButton* LayOutWithOkCancel(QDialog& dialog, QWidget* content, const std::function<void()>& onOk,
                                const QString& okText = QStringLiteral("OK"));

} // namespace platform
