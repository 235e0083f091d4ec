#include "document/dialogs/creferencedlg.h"

#include "data/constants.h"
#include "data/failure.h"
#include "data/formatstring.h"
#include "document/dialogs/camfclistctrl.h"
#include "document/datasheet/cdataaccess.h"
#include "document/dialogs/creftabledlg.h"
#include "document/session/currentdatabase.h"
#include "platform/widgets/dialogframe.h"
#include "platform/widgets/modaldialog.h"
#include "platform/utf16.h"
#include "platform/widgets/plaintext.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CReferenceDlg::CReferenceDlg(int row, CDataAccess* data, QWidget* parent, int direction)
    : QDialog(parent)
    , m_nDirection(direction)
    , m_pDataAccess(data)
    , m_nRow(row)
    , m_pList(new CAMFCListCtrl(this))
    , m_pLabel(platform::NewLabel(QStringLiteral("Related Row(s):"), this))
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pLabel);
    layout->addWidget(m_pList);
    layout->addWidget(buttons);
    InitDialogFrame(*this, QStringLiteral("Related Table"), 365, 186);
}

int CReferenceDlg::DoModal()
{
    OnInitDialog();
    return platform::RunModal(*this);
}

void CReferenceDlg::OnInitDialog()
{
    if (!m_pDataAccess || !g_pForeignKeyMap)
        return;
    ForeignKeyMap& map = *g_pForeignKeyMap;
    if (!map.m_bIndexed)
        BuildForeignKeyMap();
    const int e = map.FindTable(m_pDataAccess->m_strSource);
    if (e == -1)
        return; // a query, a view, or a table the map does not know
    // Entries are copied: a modal loop below (the chooser, a failure box) may let the
    // map be rebuilt.
    const ForeignKeyMapEntry entry = map.m_arrEntries[static_cast<size_t>(e)];

    // Each foreign-key column of the child holds the value of the parent column at the
    // same position (an empty name there is the parent's primary-key column).
    if (m_nDirection == DIRECTION_PARENT) {
        if (!entry.m_arrForeignKeys.empty())
            ListRelatedRows(entry.m_strParentTable, entry.m_arrForeignKeyColumns, entry.m_arrParentColumns);
        return;
    }

    if (entry.m_arrChildren.empty())
        return;
    int child = entry.m_arrChildren.front();
    if (entry.m_arrChildren.size() > 1) {
        std::vector<std::wstring> tables;
        for (int index : entry.m_arrChildren)
            tables.push_back(map.m_arrEntries[static_cast<size_t>(index)].m_strTableName);
        CRefTableDlg chooser(&tables, this);
        chooser.DoModal();
        if (chooser.m_strTable.empty())
            return;
        child = map.FindTable(chooser.m_strTable);
        if (child == -1)
            return;
    }
    // The child's key to this table, which need not be the child's first key.
    const ForeignKeyMapEntry c = map.m_arrEntries[static_cast<size_t>(child)];
    if (const ForeignKey* key = c.FindKeyTo(entry.m_strTableName))
        ListRelatedRows(c.m_strTableName, key->m_arrParentColumns, key->m_arrColumns);
}

void CReferenceDlg::ListRelatedRows(const std::wstring& table, const std::vector<std::wstring>& columns,
                                    const std::vector<std::wstring>& targetColumns)
{
    if (!m_pDataAccess->StartRelatedQuery(m_nRow, table, columns, targetColumns)) {
        FillRelatedList(true);
        return;
    }
    std::wstring title;
    FormatString(title, L"Related To <%s> Table", table);
    setWindowTitle(platform::ToQString(title));
    FillRelatedList(false);
}

void CReferenceDlg::FillRelatedList(bool noRecord)
{
    if (noRecord) {
        m_pList->AddColumn(QStringLiteral("No related record found"), 250);
        return;
    }
    CADbSqlQuery& query = m_pDataAccess->m_RelatedQuery;
    for (int column = 0; column < query.m_nCols; ++column)
        m_pList->AddColumn(platform::ToQString(m_pDataAccess->GetRelatedFieldName(column)), 100);

    // The query stands on its first row. The rows are collected in one pass and listed
    // together, the last one first.
    std::vector<QTreeWidgetItem*> rows;
    while (query.m_pStmt && !query.Eof()) {
        QStringList texts;
        for (int column = 0; column < query.m_nCols; ++column)
            texts.append(platform::ToQString(m_pDataAccess->GetRelatedFieldText(column)));
        rows.push_back(new QTreeWidgetItem(texts));
        query.NextRow();
    }
    // A failed step ends the list with the rows read before it.
    if (query.StepFailed())
        ShowFailureBox(query.StepFailure(), LOC_RECSET_RELATED_ROWS);
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        items.append(*it);
    m_pList->addTopLevelItems(items);
}
