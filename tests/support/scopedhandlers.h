#pragma once
// Installs a box, dialog, file, print or menu handler for the life of the object and
// restores the previous one afterwards.
#include "platform/messagebox.h"
#include "platform/widgets/filedialog.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/popupmenu.h"
#include "platform/widgets/printdialog.h"

class ScopedMessageBoxHandler {
public:
    // The handler is given the one it replaces, to pass each box on to.
    explicit ScopedMessageBoxHandler(
        const std::function<int(const platform::MessageBoxRequest&, const platform::MessageBoxHandler&)>& handler)
    {
        m_previous = platform::SetMessageBoxHandler(
            [this, handler](const platform::MessageBoxRequest& request) { return handler(request, m_previous); });
    }
    ~ScopedMessageBoxHandler() { platform::SetMessageBoxHandler(m_previous); }
    ScopedMessageBoxHandler(const ScopedMessageBoxHandler&) = delete;
    ScopedMessageBoxHandler& operator=(const ScopedMessageBoxHandler&) = delete;

private:
    platform::MessageBoxHandler m_previous;
};

class ScopedDialogHandler {
public:
    explicit ScopedDialogHandler(platform::DialogHandler handler)
        : m_previous(platform::SetDialogHandler(std::move(handler)))
    {
    }
    ~ScopedDialogHandler() { platform::SetDialogHandler(m_previous); }
    ScopedDialogHandler(const ScopedDialogHandler&) = delete;
    ScopedDialogHandler& operator=(const ScopedDialogHandler&) = delete;

private:
    platform::DialogHandler m_previous;
};

class ScopedFileHandler {
public:
    explicit ScopedFileHandler(platform::FileHandler handler)
        : m_previous(platform::SetFileHandler(std::move(handler)))
    {
    }
    ~ScopedFileHandler() { platform::SetFileHandler(m_previous); }
    ScopedFileHandler(const ScopedFileHandler&) = delete;
    ScopedFileHandler& operator=(const ScopedFileHandler&) = delete;

private:
    platform::FileHandler m_previous;
};

class ScopedPrintHandler {
public:
    explicit ScopedPrintHandler(platform::PrintHandler handler)
        : m_previous(platform::SetPrintHandler(std::move(handler)))
    {
    }
    ~ScopedPrintHandler() { platform::SetPrintHandler(m_previous); }
    ScopedPrintHandler(const ScopedPrintHandler&) = delete;
    ScopedPrintHandler& operator=(const ScopedPrintHandler&) = delete;

private:
    platform::PrintHandler m_previous;
};

class ScopedMenuHandler {
public:
    explicit ScopedMenuHandler(platform::PopupMenuHandler handler)
        : m_previous(platform::SetPopupMenuHandler(std::move(handler)))
    {
    }
    ~ScopedMenuHandler() { platform::SetPopupMenuHandler(m_previous); }
    ScopedMenuHandler(const ScopedMenuHandler&) = delete;
    ScopedMenuHandler& operator=(const ScopedMenuHandler&) = delete;

private:
    platform::PopupMenuHandler m_previous;
};
