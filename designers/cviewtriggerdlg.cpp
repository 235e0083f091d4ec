#include "designers/cviewtriggerdlg.h"

#include "data/currentdb.h"
#include "designers/statementdialog.h"
#include "platform/utf16.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/presenters.h"

#include <QPlainTextEdit>
#include <QPushButton>

CViewTriggerDlg::CViewTriggerDlg(const std::wstring& triggerName, QWidget* parent)
    : QDialog(parent ? parent : platform::MainWindow())
    , m_strTriggerName(triggerName)
{
    m_editText = LayOutStatementDialog(*this, QStringLiteral("Trigger Create Statement"), 319, 181, false,
                                       {MakeOkButton(*this)});
    OnInitDialog();
}

int CViewTriggerDlg::DoModal() { return platform::RunModal(*this); }

void CViewTriggerDlg::OnInitDialog()
{
    if (!g_pCurrentDb)
        return;
    bool temporary = false;
    ShowStoredStatement(L"trigger", m_strTriggerName, m_strTriggerName, *m_editText, temporary);
}
