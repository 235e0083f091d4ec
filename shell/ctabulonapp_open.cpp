// Opening database files, and finding and activating open data windows.
#include "shell/ctabulonapp.h"

#include "data/constants.h"
#include "data/formatstring.h"
#include "document/windows/ctabulonview.h"
#include "document/windows/datawindows.h"
#include "platform/files.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "shell/cmainframe.h"

#include <QFileInfo>

namespace {

std::wstring AbsolutePath(const std::wstring& path)
{
    return platform::FromQString(QFileInfo(platform::ToQString(path)).absoluteFilePath());
}

} // namespace

bool CTabulonApp::OpenDocumentFile(const std::wstring& path)
{
    // The engine makes an empty database wherever it is asked to open one: a mistyped
    // name would become a new file and a recent-file entry.
    const bool creating = m_pMainWnd && m_pMainWnd->m_bCreatingDatabase;
    if (!path.empty() && !creating && !platform::PathExists(path)) {
        std::wstring text;
        FormatString(text, STR_CREATE_MISSING_FILE, AbsolutePath(path));
        if (platform::MessageBox(m_pMainWnd.get(), text, STR_PRODUCT_NAME,
                                 platform::MB_YESNO | platform::MB_ICONQUESTION | platform::MB_DEFBUTTON2) !=
            platform::IDYES)
            return false;
    }
    return OpenDatabaseFile(path);
}

bool CTabulonApp::OpenExistingDocumentFile(const std::wstring& path)
{
    if (!platform::PathExists(path)) {
        std::wstring text;
        FormatString(text, STR_FILE_GONE, AbsolutePath(path));
        platform::MessageBox(m_pMainWnd.get(), text, STR_ERROR_CAPTION, platform::MB_OK | platform::MB_ICONERROR);
        return false;
    }
    return OpenDocumentFile(path);
}

void CTabulonApp::OnFileNew() { DataWindowTemplate().OpenNewDocument(); }

CTabulonDoc* CTabulonApp::FindDataDocument(int kind, const std::wstring& object)
{
    return ::FindDataDocument(kind, object);
}

bool CTabulonApp::ActivateOpenDocument(int kind, const std::wstring& object) { return ActivateDataWindow(kind, object); }

bool CTabulonApp::NextRecentFile(std::wstring& out) { return ::NextRecentFile(out); }
