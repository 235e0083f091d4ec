#include "shell/cquerydlg.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/cappdatafile.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/dbschema.h"
#include "data/formatstring.h"
#include "designers/cselectfield.h"
#include "designers/designerkit.h"
#include "document/session/cmainframebase.h"
#include "platform/widgets/dialogframe.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/plaintext.h"
#include "shell/citemlistdlg.h"
#include "shell/cpragmalistdlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <vector>

namespace {

// Keys per row of the SQL keyboard.
constexpr int kKeyboardColumns = 5;

// A push button that Enter never presses: the console has no default button, so Enter
// outside the statement cannot close it.
QPushButton* MakeButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

CQueryDlg::CQueryDlg(QWidget* owner, const std::wstring& statement)
    : QDialog(owner)
    , m_cbTable(new platform::ComboBox(true, false, this))
    , m_btnExecute(MakeButton(QStringLiteral("Execute"), this))
    , m_edStatement(new QPlainTextEdit(this))
    , m_chkIncludeTable(new QCheckBox(QStringLiteral("Include table in field name"), this))
{
    m_cbTable->setMaxVisibleItems(20);
    m_cbTable->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cbTable->setMinimumContentsLength(12);

    auto* fieldsGroup = new QGroupBox(QStringLiteral("Field(s) Selection:"), this);
    auto* fieldsLayout = new QGridLayout(fieldsGroup);
    auto* tableLabel = platform::NewLabel(QStringLiteral("Table:"), fieldsGroup);
    tableLabel->setBuddy(m_cbTable);
    QPushButton* fields = MakeButton(QStringLiteral("Fields..."), fieldsGroup);
    fieldsLayout->addWidget(tableLabel, 0, 0);
    fieldsLayout->addWidget(m_cbTable, 0, 1);
    fieldsLayout->addWidget(fields, 0, 2);
    fieldsLayout->addWidget(m_chkIncludeTable, 1, 0, 1, 3);
    fieldsLayout->setColumnStretch(1, 1);

    QPushButton* sqlList = MakeButton(QStringLiteral("SQL List..."), this);
    QPushButton* pragmaList = MakeButton(QStringLiteral("PRAGMA List..."), this);
    auto* listsLayout = new QHBoxLayout;
    listsLayout->addWidget(sqlList);
    listsLayout->addWidget(pragmaList);
    listsLayout->addStretch(1);

    auto* leftLayout = new QVBoxLayout;
    leftLayout->addWidget(fieldsGroup);
    leftLayout->addLayout(listsLayout);
    leftLayout->addStretch(1);

    auto* keyboardGroup = new QGroupBox(QStringLiteral("SQL Keyboard:"), this);
    auto* keyboardLayout = new QGridLayout(keyboardGroup);
    keyboardLayout->setSpacing(3);
    std::vector<QWidget*> tabOrder = {m_cbTable, fields, m_chkIncludeTable, sqlList, pragmaList};
    for (size_t i = 0; i < kSqlKeyboard.size(); ++i) {
        const SqlKeyboardKey& key = kSqlKeyboard[i];
        QPushButton* button = MakeButton(QString::fromWCharArray(key.caption), keyboardGroup);
        tabOrder.push_back(button);
        const std::wstring text = key.text;
        connect(button, &QPushButton::clicked, this, [this, text] { InsertAtCaret(text); });
        const int index = static_cast<int>(i);
        keyboardLayout->addWidget(button, index / kKeyboardColumns, index % kKeyboardColumns);
    }

    auto* topLayout = new QHBoxLayout;
    topLayout->addLayout(leftLayout, 1);
    topLayout->addWidget(keyboardGroup);

    auto* statementLabel = platform::NewLabel(QStringLiteral("Statement:"), this);
    statementLabel->setBuddy(m_edStatement);
    // Long lines wrap at the edge, as the statement scrolls only vertically.
    m_edStatement->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_edStatement->setTabChangesFocus(true); // Tab goes on to the next control, as elsewhere in the dialog

    QPushButton* paste = MakeButton(QStringLiteral("Paste Script"), this);
    QPushButton* cancel = MakeButton(QStringLiteral("Cancel"), this);
    auto* buttonsLayout = new QHBoxLayout;
    buttonsLayout->addWidget(paste);
    buttonsLayout->addStretch(1);
    buttonsLayout->addWidget(m_btnExecute);
    buttonsLayout->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(topLayout);
    layout->addWidget(statementLabel);
    layout->addWidget(m_edStatement, 1);
    layout->addLayout(buttonsLayout);

    tabOrder.insert(tabOrder.end(), {m_edStatement, paste, m_btnExecute, cancel});
    SetTabOrder(tabOrder);

    connect(fields, &QPushButton::clicked, this, &CQueryDlg::OnFields);
    connect(sqlList, &QPushButton::clicked, this, &CQueryDlg::OnSqlList);
    connect(pragmaList, &QPushButton::clicked, this, &CQueryDlg::OnPragmaList);
    connect(paste, &QPushButton::clicked, this, &CQueryDlg::OnPasteScript);
    connect(m_btnExecute, &QPushButton::clicked, this, &CQueryDlg::OnExecute);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_edStatement, &QPlainTextEdit::textChanged, this, &CQueryDlg::OnStatementChange);

    InitDialogFrame(*this, QStringLiteral("SQL/PRAGMA Console"), 368, 200);
    OnInitDialog(statement);
}

int CQueryDlg::DoModal() { return platform::RunModal(*this); }

void CQueryDlg::OnInitDialog(const std::wstring& statement)
{
    m_btnExecute->setEnabled(false);
    // The text of a run that failed comes back, Execute enabled by its change.
    if (!statement.empty())
        m_edStatement->setPlainText(platform::ToQString(statement));
    FillTableList();
    m_edStatement->setFocus();
}

void CQueryDlg::FillTableList() { FillTableNames(this, *m_cbTable); }

void CQueryDlg::OnExecute()
{
    m_strStatement = platform::FromQString(m_edStatement->toPlainText());
    accept();
}

void CQueryDlg::OnStatementChange()
{
    if (!m_edStatement->document()->isEmpty())
        m_btnExecute->setEnabled(true);
}

void CQueryDlg::OnPasteScript()
{
    m_edStatement->selectAll();
    m_edStatement->ensureCursorVisible();
    const std::wstring text = platform::ClipboardText();
    if (!text.empty())
        InsertAtCaret(text);
}

void CQueryDlg::OnFields()
{
    const std::wstring table = m_cbTable->GetWindowText();
    if (!TableChosen(this, table))
        return;
    std::vector<CADbSqlFieldInfo> fields;
    try {
        GetTableFieldInfo(table, fields);
    } catch (const CADbSqlException& e) {
        platform::MessageBox(this, e.GetErrorText(), STR_ERROR_CAPTION, platform::MB_OK | platform::MB_ICONERROR);
        return;
    }
    std::vector<std::wstring> chosen;
    CSelectField picker(&chosen, &fields, this);
    if (picker.DoModal() != QDialog::Accepted)
        return;

    const std::wstring prefix = m_chkIncludeTable->isChecked() ? QuoteIdentifier(table) + L"." : std::wstring();
    std::wstring text;
    for (const std::wstring& name : chosen) {
        if (!text.empty())
            text += L", ";
        text += prefix + QuoteIdentifier(name);
    }
    InsertAtCaret(text);
    m_btnExecute->setEnabled(true);
}

void CQueryDlg::OnPragmaList()
{
    CPragmaListDlg list(this);
    if (list.DoModal() != QDialog::Accepted)
        return;
    ReplaceStatement(L"PRAGMA " + list.m_strSelected);
}

void CQueryDlg::OnSqlList()
{
    // The statements as they were written, also those saved with backquotes for their quotes.
    CAppDataFile* store = MainAppDataFile();
    const std::vector<std::wstring> entries =
        store ? store->ReadExactTextValues(g_pMainFrame->m_strRecentQueryNode) : std::vector<std::wstring>();
    std::wstring chosen;
    CItemListDlg list(&chosen, &entries, this);
    if (list.DoModal() != QDialog::Accepted)
        return;
    ReplaceStatement(chosen);
}

void CQueryDlg::InsertAtCaret(const std::wstring& text)
{
    QTextCursor cursor = m_edStatement->textCursor();
    if (text.empty())
        cursor.removeSelectedText();
    else
        cursor.insertText(platform::ToQString(text));
    m_edStatement->setTextCursor(cursor);
}

void CQueryDlg::ReplaceStatement(const std::wstring& text)
{
    m_edStatement->setPlainText(platform::ToQString(text));
    m_btnExecute->setEnabled(true);
}
