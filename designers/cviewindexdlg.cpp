#include "designers/cviewindexdlg.h"

#include "data/constants.h"
#include "data/currentdb.h"
#include "designers/statementdialog.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/presenters.h"

#include <QPlainTextEdit>
#include <QPushButton>

CViewIndexDlg::CViewIndexDlg(const std::wstring& indexName, QWidget* parent)
    : QDialog(parent ? parent : platform::MainWindow())
    , m_pDb(g_pCurrentDb)
    , m_strIndexName(indexName)
{
    m_editText = LayOutStatementDialog(*this, QStringLiteral("Index Create Statement"), 317, 179, false,
                                       {MakeOkButton(*this)});
    OnInitDialog();
}

int CViewIndexDlg::DoModal() { return platform::RunModal(*this); }

void CViewIndexDlg::OnInitDialog()
{
    if (!m_pDb)
        return;
    std::wstring storedName;
    bool temporary = false;
    // A found index without a statement (an automatic one) leaves the edit empty.
    if (!ShowStoredStatement(L"index", m_strIndexName, storedName, *m_editText, temporary))
        platform::MessageBox(this, STR_INDEX_NOT_FOUND, STR_PRODUCT_NAME, platform::MB_OK);
}
