#include "designers/ctablescriptdlg.h"

#include "data/cadbsqldb.h"
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
    // Every table row, the engine's own tables included; a failing list has said so.
    CADbSqlQuery rows;
    std::wstring errorText;
    std::wstring storedName;
    ShowStoredStatement(g_pCurrentDb->GetTables(rows, errorText, false), SCHEMA_TABLE_COLUMN, m_strTableName,
                        storedName, *m_editScript);
}

void CTableScriptDlg::OnCopyScript()
{
    m_editScript->selectAll();
    m_editScript->ensureCursorVisible();
    platform::SetClipboardText(platform::FromQString(m_editScript->textCursor().selection().toPlainText()));
}
