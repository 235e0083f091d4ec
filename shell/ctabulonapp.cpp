#include "shell/ctabulonapp.h"

#include "document/ctabulondoc.h"
#include "shell/backup.h"
#include "shell/cbackupfiledlg.h"
#include "shell/cmainframe.h"

CTabulonApp* g_pTabulonApp = nullptr;

CTabulonApp::CTabulonApp()
{
    g_pTabulonApp = this;
    // A file whose backup is due is copied, in the backup's progress dialog, before it opens.
    SetBackupCheck([](const std::wstring& path) {
        if (IsBackupDue(path)) {
            CBackupFileDlg dialog(path);
            dialog.DoModal();
        }
    });
}

CTabulonApp::~CTabulonApp()
{
    m_pMainWnd.reset();
    g_pTabulonApp = nullptr;
}
