#include "designers/statementdialog.h"

#include "data/cadbsqlquery.h"
#include "data/dbschema.h"
#include "data/textutil.h"
#include "platform/utf16.h"
#include "platform/widgets/dialogframe.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

QPlainTextEdit* LayOutStatementDialog(QDialog& dialog, const QString& title, int width, int height, bool editable,
                                      std::initializer_list<QPushButton*> buttons)
{
    auto* edit = new QPlainTextEdit(&dialog);
    edit->setReadOnly(!editable);
    edit->setTabChangesFocus(true);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* row = new QHBoxLayout;
    row->addStretch();
    QWidget* previous = edit;
    for (QPushButton* button : buttons) {
        button->setParent(&dialog);
        row->addWidget(button);
        QWidget::setTabOrder(previous, button);
        previous = button;
    }
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(edit);
    layout->addLayout(row);
    InitDialogFrame(dialog, title, width, height);
    return edit;
}

QPushButton* MakeOkButton(QDialog& dialog)
{
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    return ok;
}

namespace {

// The columns of a whole schema row that the viewers read.
constexpr int SCHEMA_NAME_COLUMN = 1;
constexpr int SCHEMA_SQL_COLUMN = 4;

// Walks the rows of one schema's list in order and stops at the first of the name; the
// list's statement is finalized.
bool ShowStoredRow(CADbSqlQuery& rows, const std::wstring& name, std::wstring& storedName, QPlainTextEdit& edit)
{
    bool found = false;
    for (bool end = rows.Eof(); !end; end = rows.NextRow()) {
        const wchar_t* stored = rows.GetFieldValue(SCHEMA_NAME_COLUMN);
        if (!stored || !EqualsAsciiNoCase(stored, name))
            continue;
        storedName = stored;
        if (const wchar_t* sql = rows.GetFieldValue(SCHEMA_SQL_COLUMN))
            edit.setPlainText(platform::ToQString(sql));
        found = true;
        break;
    }
    rows.Finalize();
    return found;
}

} // namespace

bool ShowStoredStatement(const wchar_t* type, const std::wstring& name, std::wstring& storedName, QPlainTextEdit& edit,
                         bool& temporary)
{
    temporary = false;
    CADbSqlQuery rows;
    GetSchemaRows(rows, type);
    // A list that failed has shown its failure and holds no statement.
    const bool listed = rows.m_pStmt != nullptr;
    if (ShowStoredRow(rows, name, storedName, edit))
        return true;
    if (!listed)
        return false;
    temporary = ShowStoredRow(GetSchemaRows(rows, type, true), name, storedName, edit);
    return temporary;
}
