#include "shell/cnewdbmgr.h"

#include "shell/ccreatenewdbdlg.h"

bool CNewDbMgr::RunNewDatabaseDialog(std::wstring& newPath, std::wstring& sourcePath, bool& fromExisting,
                                     std::wstring& encoding, std::wstring& pageSize, bool& autoVacuum) const
{
    CCreateNewDbDlg dialog;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    newPath = dialog.m_strNewPath;
    sourcePath = dialog.m_strSourcePath;
    fromExisting = dialog.m_bNewDatabase == 0;
    encoding = dialog.m_strEncoding;
    pageSize = dialog.m_strPageSize;
    autoVacuum = dialog.m_nAutoVacuum != 0;
    return true;
}
