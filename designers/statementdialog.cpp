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

bool ShowStoredStatement(CADbSqlQuery& rows, int keyColumn, const std::wstring& name, std::wstring& storedName,
                         QPlainTextEdit& edit)
{
    bool found = false;
    for (bool end = rows.Eof(); !end; end = rows.NextRow()) {
        const wchar_t* key = rows.GetFieldValue(keyColumn);
        if (!key || !EqualsAsciiNoCase(key, name))
            continue;
        const wchar_t* stored = rows.GetFieldValue(SCHEMA_NAME_COLUMN);
        storedName = stored ? stored : L"";
        if (const wchar_t* sql = rows.GetFieldValue(SCHEMA_SQL_COLUMN))
            edit.setPlainText(platform::ToQString(sql));
        found = true;
        break;
    }
    rows.Finalize();
    return found;
}

bool ShowStoredTrigger(const std::wstring& name, std::wstring& storedName, QPlainTextEdit& edit, bool& temporary)
{
    CADbSqlQuery rows;
    temporary = false;
    if (ShowStoredStatement(GetTriggers(rows, false), SCHEMA_NAME_COLUMN, name, storedName, edit))
        return true;
    temporary = ShowStoredStatement(GetTemporaryTriggers(rows), SCHEMA_NAME_COLUMN, name, storedName, edit);
    return temporary;
}
