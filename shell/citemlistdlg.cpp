#include "shell/citemlistdlg.h"

#include "platform/widgets/dialogframe.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/okcancellayout.h"
#include "platform/widgets/reportlist.h"

CItemListDlg::CItemListDlg(std::wstring* result, const std::vector<std::wstring>* items, QWidget* parent)
    : QDialog(parent)
    , m_pResult(result)
    , m_pItems(items)
    , m_list(new platform::ReportList(this))
{
    platform::LayOutWithOkCancel(*this, m_list, [this] { OnOK(); });
    InitDialogFrame(*this, QStringLiteral("SQL List"), 316, 174);
    OnInitDialog();
}

int CItemListDlg::DoModal() { return platform::RunModal(*this); }

void CItemListDlg::OnInitDialog()
{
    m_list->SetColumn(QStringLiteral("Saved Queries"));
    if (m_pItems)
        for (const std::wstring& item : *m_pItems)
            m_list->AddRow(item);
}

void CItemListDlg::OnOK()
{
    const int row = m_list->FirstSelectedRow();
    if (row >= 0 && m_pResult)
        *m_pResult = m_list->RowText(row);
    accept();
}
