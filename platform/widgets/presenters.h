#pragma once
// The real windows behind the platform's boxes, pickers and cursor: Qt message boxes
// owned by the main window, the Qt folder dialog and the override cursor. The program
// installs them once at start-up; tests install their own answers instead.
#include "platform/messagebox.h"
#include "platform/uiwait.h"

class QWidget;

namespace platform {

void InstallWidgetPresenters();

// The program's message box: a Qt box with the request's text as plain text, run through
// RunModal, so that a test's dialog handler can answer the very box a user sees.
int ShowMessageBoxWindow(const MessageBoxRequest& request);

// The wait the program installs: every event but the user's input is handled until
// ready answers true. With a stop, Escape asks the work to stop instead of waiting
// with the rest of the input.
void PumpWhileWaiting(const ReadyCheck& ready, const StopRequest& stop = {});

// The program's main window, owner of the boxes of code that has no window of its own.
void SetMainWindow(QWidget* window);
QWidget* MainWindow();

} // namespace platform
