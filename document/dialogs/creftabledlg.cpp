#include "document/dialogs/creftabledlg.h"

#include "document/dialogs/camfclistctrl.h"
#include "platform/widgets/dialogframe.h"
#include "platform/widgets/modaldialog.h"
#include "platform/utf16.h"
#include "platform/widgets/plaintext.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CRefTableDlg::CRefTableDlg(const std::vector<std::wstring>* tables, QWidget* parent)
    : QDialog(parent)
    , m_pTables(tables)
    , m_pList(new CAMFCListCtrl(this))
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRefTableDlg::OnClickedOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(platform::NewLabel(QStringLiteral("Select one of the related tables"), this));
    layout->addWidget(m_pList);
    layout->addWidget(buttons);
    InitDialogFrame(*this, QStringLiteral("Related Tables"), 192, 155);
    OnInitDialog();
}

int CRefTableDlg::DoModal()
{
    return platform::RunModal(*this);
}

void CRefTableDlg::OnInitDialog()
{
    m_pList->AddColumn(QStringLiteral("Referent Tables"), 250);
    if (!m_pTables)
        return;
    QList<QTreeWidgetItem*> items;
    for (const std::wstring& table : *m_pTables)
        items.append(new QTreeWidgetItem(QStringList{platform::ToQString(table)}));
    m_pList->addTopLevelItems(items);
}

void CRefTableDlg::OnClickedOk()
{
    const QList<QTreeWidgetItem*> marked = m_pList->selectedItems();
    m_strTable = marked.isEmpty() ? std::wstring() : platform::FromQString(marked.first()->text(0));
    accept();
}
