#include "platform/widgets/presenters.h"

#include "platform/folderdialog.h"
#include "platform/messagebox.h"
#include "platform/uiwait.h"
#include "platform/utf16.h"
#include "platform/waitcursor.h"
#include "platform/widgets/modaldialog.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <QWindow>

#include <memory>
#include <utility>
#include <vector>

namespace platform {
namespace {

QPointer<QWidget> g_mainWindow;

} // namespace

int ShowMessageBoxWindow(const MessageBoxRequest& request)
{
    QMessageBox box(request.owner ? request.owner : MainWindow());
    box.setTextFormat(Qt::PlainText);
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
    RunModal(box);
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return DefaultAnswer(request.style);
    }
}

namespace {

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

// Holds every input event that reaches an object during a wait, posted or from the
// window system, and hands them on in their order once the wait is over. A box opened
// during the wait (a posted warning) takes its input as usual, so that it can be answered.
// A wait that can be stopped takes Escape as the stop instead: the key goes to no window.
// The window system's input reaches the hold only when the pump takes it (a stoppable
// wait); a key held there is taken by no shortcut of the windows either.
class InputHold : public QObject {
public:
    explicit InputHold(StopRequest stop)
        : m_modalAtStart(QGuiApplication::modalWindow())
        , m_stop(std::move(stop))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~InputHold() override
    {
        QCoreApplication::instance()->removeEventFilter(this);
        for (auto& [receiver, event] : m_held)
            if (receiver)
                QCoreApplication::postEvent(receiver, event.release());
    }
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (QGuiApplication::modalWindow() != m_modalAtStart)
            return false;
        // Accepted, the key of a shortcut override goes to the focus widget, which the
        // hold keeps it from, instead of to a shortcut.
        if (event->type() == QEvent::ShortcutOverride)
            event->accept();
        if (m_stop && IsEscape(event)) {
            if (event->type() == QEvent::KeyPress && !m_bStopped) {
                m_bStopped = true;
                m_stop();
            }
            return true;
        }
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::InputMethod:
            m_held.emplace_back(receiver, std::unique_ptr<QEvent>(event->clone()));
            return true;
        case QEvent::Close:
            // The window manager's close button: the window is closed after the wait.
            if (!event->spontaneous())
                return false;
            m_held.emplace_back(receiver, std::unique_ptr<QEvent>(event->clone()));
            return true;
        default:
            return false;
        }
    }

private:
    static bool IsEscape(const QEvent* event)
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
            return static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
        default:
            return false;
        }
    }

    QPointer<QWindow> m_modalAtStart;
    StopRequest m_stop;
    bool m_bStopped = false;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_held;
};

} // namespace

// Paints, timers and posted messages go on while the user's input waits. What was
// painted meanwhile may lack what the wait held (the rows of a connection held by a long
// statement), so every window is painted again once it is over.
void PumpWhileWaiting(const ReadyCheck& ready, const StopRequest& stop)
{
    InputHold hold(stop);
    // A wait that can be stopped takes the window system's input too, for its Escape;
    // the hold keeps all the rest from the windows until the wait is over, as the window
    // system keeps it during any other wait.
    const QEventLoop::ProcessEventsFlags events = stop ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
    bool painted = false;
    while (!ready(true)) {
        QCoreApplication::processEvents(events);
        painted = true;
    }
    // Every widget: an update of a window repaints none of its opaque children (a grid's
    // rows).
    if (painted)
        for (QWidget* widget : QApplication::allWidgets())
            if (widget->isVisible())
                widget->update();
}

void InstallWidgetPresenters()
{
    SetMessageBoxHandler(ShowMessageBoxWindow);
    SetFolderHandler(ShowFolderDialog);
    SetWaitCursorHook(ShowWaitCursor);
    SetWaitPump(PumpWhileWaiting);
}

void SetMainWindow(QWidget* window) { g_mainWindow = window; }

QWidget* MainWindow() { return g_mainWindow.data(); }

} // namespace platform
