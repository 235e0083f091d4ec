#include "designers/cselectfield.h"

#include "platform/names.h"
#include "platform/widgets/dialogframe.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/okcancellayout.h"
#include "platform/widgets/presenters.h"
#include "platform/widgets/reportlist.h"


CSelectField::CSelectField(std::vector<std::wstring>* selected, std::vector<CADbSqlFieldInfo>* fields,
                           QWidget* parent)
    : QDialog(parent ? parent : platform::MainWindow())
    , m_list(new platform::ReportList(this))
    , m_pSelected(selected)
    , m_pFields(fields)
{
    platform::LayOutWithOkCancel(*this, m_list, [this] { OnOk(); }, QStringLiteral("Ok"));
    InitDialogFrame(*this, QStringLiteral("Field(s)"), 207, 181);
    OnInitDialog();
}

int CSelectField::DoModal() { return platform::RunModal(*this); }

void CSelectField::OnInitDialog()
{
    m_list->SetColumn(QStringLiteral("Field Name"));
    m_list->SetCheckBoxes(true);
    if (m_pFields)
        for (const CADbSqlFieldInfo& field : *m_pFields)
            m_list->AddRow(field.m_strName);
    CheckSelected();
}

void CSelectField::CheckSelected()
{
    if (!m_pSelected)
        return;
    // Each chosen name ticks the one column it names, as the engine matches names.
    for (const std::wstring& name : *m_pSelected) {
        const int row = platform::FindName(m_list->RowCount(), [this](int i) { return m_list->RowText(i); }, name);
        if (row >= 0)
            m_list->SetChecked(row, true);
    }
}

void CSelectField::OnOk()
{
    if (m_pSelected) {
        m_pSelected->clear();
        for (int row = 0; row < m_list->RowCount(); ++row)
            if (m_list->IsChecked(row))
                m_pSelected->push_back(m_list->RowText(row));
    }
    accept();
}
