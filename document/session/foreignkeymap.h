#pragma once
// The foreign-key relations of the open database: one entry per table with every foreign
// key it has, used by the related-records dialog and the relationship diagram.
#include <QRect>

#include <string>
#include <vector>

class QWidget;

// One foreign key of a table, as "PRAGMA foreign_key_list" gives it.
struct ForeignKey {
    int m_nId = -1;                               // the key's id in the PRAGMA's rows
    std::wstring m_strParentTable;
    std::vector<std::wstring> m_arrColumns;       // child-side columns, in the key's order
    std::vector<std::wstring> m_arrParentColumns; // parent-side columns, "" for the parent's primary key
};

struct ForeignKeyMapEntry {
    // The first key of this table to the named table; nullptr when it has none.
    const ForeignKey* FindKeyTo(const std::wstring& parent) const;

    std::vector<ForeignKey> m_arrForeignKeys;       // every foreign key of the table, in the PRAGMA's order
    std::vector<int> m_arrChildren;                 // entries with a key to this table, ascending
    std::vector<std::wstring> m_arrForeignKeyColumns; // child-side columns of the first key
    std::vector<std::wstring> m_arrParentColumns;   // its parent-side columns
    int m_nForeignKeyId = -1;                       // its id
    std::wstring m_strParentTable;                  // the first key's parent; empty when the table has no key
    std::wstring m_strTableName;
    QRect m_rcDiagram;                              // the table's window in the diagram
    QWidget* m_pDiagramWnd = nullptr;               // that window; never owned
};

class ForeignKeyMap {
public:
    // The first entry whose table has the name, ASCII letters compared without case
    // as the engine compares names; -1 when none.
    int FindTable(const std::wstring& name) const;

    int m_bIndexed = 0;
    std::vector<ForeignKeyMapEntry> m_arrEntries;
};
