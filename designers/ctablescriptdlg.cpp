#include "designers/ctablescriptdlg.h"

#include "data/currentdb.h"
#include "designers/statementdialog.h"
#include "platform/utf16.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/presenters.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocumentFragment>

CTableScriptDlg::CTableScriptDlg(const std::wstring& tableName, QWidget* parent)
    : QDialog(parent ? parent : platform::MainWindow())
    , m_strTableName(tableName)
{
    auto* copy = new QPushButton(QStringLiteral("Copy Script"));
    m_editScript =
        LayOutStatementDialog(*this, QStringLiteral("Table Schema"), 366, 197, false, {copy, MakeOkButton(*this)});
    copy->setAutoDefault(false);
    connect(copy, &QPushButton::clicked, this, &CTableScriptDlg::OnCopyScript);
    OnInitDialog();
}

int CTableScriptDlg::DoModal() { return platform::RunModal(*this); }

void CTableScriptDlg::OnInitDialog()
{
    if (!g_pCurrentDb)
        return;
    // Every table, the engine's own included; a failing list has said so.
    std::wstring storedName;
    bool temporary = false;
    ShowStoredStatement(L"table", m_strTableName, storedName, *m_editScript, temporary);
}

void CTableScriptDlg::OnCopyScript()
{
    m_editScript->selectAll();
    m_editScript->ensureCursorVisible();
    platform::SetClipboardText(platform::FromQString(m_editScript->textCursor().selection().toPlainText()));
}
