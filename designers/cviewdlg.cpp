#include "designers/cviewdlg.h"

#include "data/currentdb.h"
#include "designers/statementdialog.h"
#include "platform/utf16.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/presenters.h"

#include <QPlainTextEdit>
#include <QPushButton>

CViewDlg::CViewDlg(const std::wstring& viewName, QWidget* parent)
    : QDialog(parent ? parent : platform::MainWindow())
    , m_strViewName(viewName)
{
    m_editText = LayOutStatementDialog(*this, QStringLiteral("View Create Statement"), 317, 181, false,
                                       {MakeOkButton(*this)});
    OnInitDialog();
}

int CViewDlg::DoModal() { return platform::RunModal(*this); }

void CViewDlg::OnInitDialog()
{
    if (!g_pCurrentDb)
        return;
    bool temporary = false;
    ShowStoredStatement(L"view", m_strViewName, m_strViewName, *m_editText, temporary);
}
