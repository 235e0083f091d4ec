#include "designers/ctriggerdlg.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/formatstring.h"
#include "data/statementtext.h"
#include "designers/designerkit.h"
#include "designers/statementdialog.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/waitcursor.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/plaintext.h"
#include "platform/widgets/presenters.h"

#include <QLabel>
#include <QLayout>
#include <QPlainTextEdit>
#include <QPushButton>

CTriggerDlg::CTriggerDlg(const std::wstring& triggerName, QWidget* parent)
    : QDialog(parent ? parent : platform::MainWindow())
    , m_strTriggerName(triggerName)
    , m_btnSave(new QPushButton(QStringLiteral("Save")))
{
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    m_editText = LayOutStatementDialog(*this, QStringLiteral("Create Trigger"), 317, 181, true, {m_btnSave, cancel});
    static_cast<QBoxLayout*>(layout())->insertWidget(0, platform::NewLabel(QStringLiteral("Trigger:"), this));
    m_btnSave->setDefault(true);
    cancel->setAutoDefault(false);
    connect(m_btnSave, &QPushButton::clicked, this, &CTriggerDlg::OnSave);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    OnInitDialog();
    // Connected after the stored text went in: only the user's changes count.
    connect(m_editText, &QPlainTextEdit::textChanged, this, &CTriggerDlg::OnTextChange);
}

int CTriggerDlg::DoModal() { return platform::RunModal(*this); }

void CTriggerDlg::OnInitDialog()
{
    m_btnSave->setEnabled(false);
    if (!g_pCurrentDb)
        return;
    ShowStoredStatement(L"trigger", m_strTriggerName, m_strTriggerName, *m_editText, m_bTemporary);
}

void CTriggerDlg::OnTextChange() { m_btnSave->setEnabled(true); }

void CTriggerDlg::OnSave()
{
    platform::WaitCursor wait;
    const std::wstring text = platform::FromQString(m_editText->toPlainText());
    if (IsTransactionControl(text)) {
        platform::MessageBox(this, STR_TRIGGER_TEXT_IS_TRANSACTION, STR_PRODUCT_NAME, platform::MB_OK);
        return;
    }
    // The trigger shown goes, from its own schema; a temporary one comes back temporary,
    // as its stored text does not say so.
    std::wstring drop;
    FormatString(drop, L"DROP TRIGGER IF EXISTS %s.[%s]", m_bTemporary ? L"temp" : L"main", SqlName{m_strTriggerName});
    try {
        if (CurrentDb().ReplaceAtomically(drop, m_bTemporary ? AsTemporaryCreate(text) : text))
            accept();
    } catch (const CADbSqlException& e) {
        ShowDesignerFailure(this, e);
    }
}
