#pragma once
// Installs a dialog or file handler for the life of the object and restores the
// previous one afterwards.
#include "platform/widgets/filedialog.h"
#include "platform/widgets/modaldialog.h"

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
