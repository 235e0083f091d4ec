#include "shell/cpragmalistdlg.h"

#include "data/constants.h"
#include "document/session/cmainframebase.h"
#include "platform/widgets/dialogframe.h"
#include "platform/widgets/listbox.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/okcancellayout.h"

CPragmaListDlg::CPragmaListDlg(QWidget* parent)
    : QDialog(parent)
    , m_listBox(new platform::ListBox(true, this))
{
    platform::LayOutWithOkCancel(*this, m_listBox, [this] { OnOK(); });
    InitDialogFrame(*this, QStringLiteral("PRAGMA List"), 316, 174);
    OnInitDialog();
}

int CPragmaListDlg::DoModal() { return platform::RunModal(*this); }

void CPragmaListDlg::OnInitDialog()
{
    for (const std::wstring& value : ReadValueList(NODE_PRAGMAS))
        m_listBox->AddString(value);
}

void CPragmaListDlg::OnOK()
{
    const int selected = m_listBox->GetCurSel();
    if (selected >= 0)
        m_strSelected = m_listBox->GetText(selected);
    accept();
}
