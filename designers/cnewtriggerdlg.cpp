#include "designers/cnewtriggerdlg.h"

#include "data/constants.h"
#include "data/formatstring.h"
#include "data/textutil.h"
#include "designers/createobject.h"
#include "designers/designerkit.h"
#include "designers/objectstatements.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/dialogframe.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/plaintext.h"
#include "platform/widgets/presenters.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

CNewTriggerDlg::CNewTriggerDlg(QWidget* parent)
    : QDialog(parent ? parent : platform::MainWindow())
    , m_editBody(new QPlainTextEdit(this))
    , m_checkForEachRow(new QCheckBox(QStringLiteral("FOR EACH ROW"), this))
    , m_editName(new QLineEdit(this))
    , m_staticOn(platform::NewLabel(QStringLiteral("ON"), this))
    , m_comboEvent(new platform::ComboBox(true, false, this))
    , m_comboTable(new platform::ComboBox(true, false, this))
    , m_checkTemporary(new QCheckBox(QStringLiteral("Temperary"), this))
    , m_comboTime(new platform::ComboBox(true, false, this))
    , m_editWhen(new QPlainTextEdit(this))
    , m_editColumns(new QLineEdit(this))
    , m_btnColumns(new QPushButton(QStringLiteral("Column Names..."), this))
{
    auto* nameLabel = platform::NewLabel(QStringLiteral("Trigger Name:"), this);
    auto* whenLabel = platform::NewLabel(QStringLiteral("WHEN Expr:"), this);
    auto* bodyLabel = platform::NewLabel(QStringLiteral("Trigger body statement:"), this);
    auto* save = new QPushButton(QStringLiteral("Save"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    nameLabel->setBuddy(m_editName);
    whenLabel->setBuddy(m_editWhen);
    bodyLabel->setBuddy(m_editBody);
    m_editWhen->setTabChangesFocus(true);
    m_editBody->setTabChangesFocus(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_checkTemporary, 0, 0, 1, 4);
    layout->addWidget(nameLabel, 1, 0);
    layout->addWidget(m_editName, 1, 1, 1, 3);
    layout->addWidget(m_comboTime, 2, 0);
    layout->addWidget(m_comboEvent, 2, 1);
    layout->addWidget(m_editColumns, 2, 2);
    layout->addWidget(m_btnColumns, 2, 3);
    layout->addWidget(m_staticOn, 3, 0);
    layout->addWidget(m_comboTable, 3, 1, 1, 2);
    layout->addWidget(m_checkForEachRow, 3, 3);
    layout->addWidget(whenLabel, 4, 0, 1, 4);
    layout->addWidget(m_editWhen, 5, 0, 1, 4);
    layout->addWidget(bodyLabel, 6, 0, 1, 4);
    layout->addWidget(m_editBody, 7, 0, 1, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 8, 0, 1, 4);
    layout->setRowStretch(5, 1);
    layout->setRowStretch(7, 3);
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(2, 1);
    InitDialogFrame(*this, QStringLiteral("New Trigger"), 244, 217);
    QWidget* const tabOrder[] = {m_checkTemporary, m_editName,        m_comboTime, m_comboEvent,
                                 m_editColumns,    m_btnColumns,      m_comboTable, m_checkForEachRow,
                                 m_editWhen,       m_editBody,        save,         cancel};
    SetTabOrder(tabOrder);

    save->setDefault(true);
    for (QPushButton* button : {m_btnColumns, cancel})
        button->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &CNewTriggerDlg::OnSave);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_btnColumns, &QPushButton::clicked, this, &CNewTriggerDlg::OnColumnNames);
    connect(m_comboTable, &platform::ComboBox::SelectionChanged, this, &CNewTriggerDlg::OnTableChange);
    connect(m_comboEvent, &platform::ComboBox::SelectionChanged, this, &CNewTriggerDlg::OnEventChange);
    OnInitDialog();
}

int CNewTriggerDlg::DoModal() { return platform::RunModal(*this); }

void CNewTriggerDlg::OnInitDialog()
{
    FillTableNames(this, *m_comboTable);
    for (const wchar_t* time : {L"BEFORE", L"AFTER", L"INSTEAD OF"})
        m_comboTime->AddString(time);
    for (const wchar_t* event : {L"DELETE", L"INSERT", L"UPDATE", TRIGGER_EVENT_UPDATE_OF})
        m_comboEvent->AddString(event);
    m_editBody->setPlainText(platform::ToQString(NormalizeLineBreaks(STR_TRIGGER_BODY_TEMPLATE)));
    m_editColumns->setEnabled(false);
    m_btnColumns->setEnabled(false);
    m_editName->setFocus();
}

void CNewTriggerDlg::OnTableChange()
{
    std::wstring text;
    m_staticOn->setText(platform::ToQString(FormatString(text, L"ON %s", m_comboTable->GetWindowText())));
}

void CNewTriggerDlg::OnEventChange()
{
    const bool columns = m_comboEvent->GetWindowText() == TRIGGER_EVENT_UPDATE_OF;
    if (columns)
        m_editColumns->clear();
    m_editColumns->setEnabled(columns);
    m_btnColumns->setEnabled(columns);
}

void CNewTriggerDlg::OnColumnNames()
{
    if (PickTableColumns(this, m_comboTable->GetWindowText(), m_arrColumns))
        m_editColumns->setText(platform::ToQString(JoinColumnNames(m_arrColumns)));
}

bool CNewTriggerDlg::Validate()
{
    const bool updateOf = m_comboEvent->GetWindowText() == TRIGGER_EVENT_UPDATE_OF;
    const struct {
        bool failed;
        const wchar_t* message;
        QWidget* focus;
    } checks[] = {
        {IsEmptyName(platform::FromQString(m_editName->text())), STR_TRIGGER_NAME_REQUIRED, m_editName},
        {m_comboTime->currentIndex() < 0, STR_TRIGGER_TIME_REQUIRED, m_comboTime},
        {m_comboEvent->currentIndex() < 0, STR_TRIGGER_EVENT_REQUIRED, m_comboEvent},
        {m_comboTable->GetWindowText().empty(), STR_TRIGGER_TABLE_REQUIRED, m_comboTable},
        {updateOf && m_editColumns->text().isEmpty(), STR_TRIGGER_COLUMN_REQUIRED, m_editColumns},
        // The body as it came: the editor hands its line breaks back as line feeds.
        {NormalizeLineBreaks(platform::FromQString(m_editBody->toPlainText())) ==
             NormalizeLineBreaks(STR_TRIGGER_BODY_TEMPLATE),
         STR_TRIGGER_BODY_REQUIRED, m_editBody},
    };
    for (const auto& check : checks)
        if (check.failed) {
            platform::MessageBox(this, check.message, STR_PRODUCT_NAME, platform::MB_OK);
            check.focus->setFocus();
            return false;
        }
    return true;
}

std::wstring CNewTriggerDlg::BuildStatement() const
{
    TriggerDesign design;
    design.m_bTemporary = m_checkTemporary->isChecked();
    design.m_strName = platform::FromQString(m_editName->text());
    design.m_strTime = m_comboTime->GetWindowText();
    design.m_strEvent = m_comboEvent->GetWindowText();
    design.m_strColumns = platform::FromQString(m_editColumns->text());
    design.m_arrPickedColumns = m_arrColumns;
    design.m_strTable = m_comboTable->GetWindowText();
    design.m_bForEachRow = m_checkForEachRow->isChecked();
    design.m_strWhen = platform::FromQString(m_editWhen->toPlainText());
    design.m_strBody = platform::FromQString(m_editBody->toPlainText());
    return CreateTriggerText(design);
}

void CNewTriggerDlg::OnSave()
{
    if (!Validate())
        return;
    m_strTriggerName = platform::FromQString(m_editName->text());
    if (CreateObject(this, {L"trigger", STR_TRIGGER_EXISTS, m_strTriggerName, m_checkTemporary->isChecked()},
                     BuildStatement(), m_editName))
        accept();
}
