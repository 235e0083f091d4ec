#include "platform/messagebox.h"

#include "platform/threads.h"
#include "platform/utf16.h"

#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QWidget>

#include <mutex>

namespace platform {
namespace {

std::mutex g_handlerMutex;
MessageBoxHandler g_handler;
QPointer<QWidget> g_mainWindow;

int ShowQtBox(const MessageBoxRequest& request)
{
    QMessageBox box(request.owner);
    box.setText(ToQString(request.text));
    box.setWindowTitle(ToQString(request.caption));
    switch (request.style & MB_ICONMASK) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    switch (request.style & MB_BUTTONMASK) {
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MB_YESNOCANCEL: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    if ((request.style & MB_DEFMASK) == MB_DEFBUTTON2 && box.buttons().size() > 1) {
        QAbstractButton* second = (request.style & MB_BUTTONMASK) == MB_OKCANCEL ? box.button(QMessageBox::Cancel)
                                                                                 : box.button(QMessageBox::No);
        if (auto* push = qobject_cast<QPushButton*>(second))
            box.setDefaultButton(push);
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return (request.style & MB_BUTTONMASK) == MB_OK ? IDOK : IDCANCEL;
    }
}

int Deliver(const MessageBoxRequest& request)
{
    MessageBoxHandler handler;
    {
        std::lock_guard lock(g_handlerMutex);
        handler = g_handler;
    }
    if (handler)
        return handler(request);
    return ShowQtBox(request);
}

} // namespace

int MessageBox(QWidget* owner, const std::wstring& text, const std::wstring& caption, UINT style)
{
    MessageBoxRequest request{owner, text, caption, style, false};
    if (IsGuiThread())
        return Deliver(request);
    // A worker never touches a widget: the box is owned by the main window as it
    // stands when the box is shown.
    request.fromWorkerThread = true;
    request.owner = nullptr;
    PostToGuiThread([request]() mutable {
        request.owner = MainWindow();
        Deliver(request);
    });
    return IDOK;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    std::lock_guard lock(g_handlerMutex);
    std::swap(g_handler, handler);
    return handler;
}

void SetMainWindow(QWidget* window) { g_mainWindow = window; }

QWidget* MainWindow() { return g_mainWindow.data(); }

} // namespace platform
