#include "platform/widgets/presenters.h"

#include "platform/folderdialog.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/waitcursor.h"

#include <QCursor>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace platform {
namespace {

QPointer<QWidget> g_mainWindow;

int ShowQtBox(const MessageBoxRequest& request)
{
    QMessageBox box(request.owner ? request.owner : MainWindow());
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
    default: return DefaultAnswer(request.style);
    }
}

std::wstring ShowFolderDialog(const FolderRequest& request)
{
    const QString chosen = QFileDialog::getExistingDirectory(request.owner, ToQString(request.title),
                                                             ToQString(request.initialFolder), QFileDialog::ShowDirsOnly);
    return FromQString(chosen);
}

void ShowWaitCursor(bool show)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    if (show)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::restoreOverrideCursor();
}

} // namespace

void InstallWidgetPresenters()
{
    SetMessageBoxHandler(ShowQtBox);
    SetFolderHandler(ShowFolderDialog);
    SetWaitCursorHook(ShowWaitCursor);
}

void SetMainWindow(QWidget* window) { g_mainWindow = window; }

QWidget* MainWindow() { return g_mainWindow.data(); }

} // namespace platform
