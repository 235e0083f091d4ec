#pragma once
// The real windows behind the platform's boxes, pickers and cursor: Qt message boxes
// owned by the main window, the Qt folder dialog and the override cursor. The program
// installs them once at start-up; tests install their own answers instead.
class QWidget;

namespace platform {

void InstallWidgetPresenters();

// The program's main window, owner of the boxes of code that has no window of its own.
void SetMainWindow(QWidget* window);
QWidget* MainWindow();

} // namespace platform
