#pragma once
// "New Index": a name, Unique, a table and its key columns, each with a collation and a
// sort order, make CREATE INDEX, run on the open database.
#include "designers/columnrecords.h"
#include "document/grid/clistframe.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;

namespace platform {
class ComboBox;
}

inline constexpr wchar_t STR_INDEX_NAME_REQUIRED[] = L"Index name is required.";
inline constexpr wchar_t STR_INDEX_EXISTS[] = L"Index <%s> already exists.";

class CNewIndexDlg : public QDialog {
    Q_OBJECT
public:
    // The key grid's columns.
    static constexpr int KEY_NAME_COLUMN = 0;
    static constexpr int KEY_COLLATE_COLUMN = 1;
    static constexpr int KEY_SORT_COLUMN = 2;
    static constexpr int GRID_ID = 4530;

    // Without a parent the dialog is owned by the program's main window.
    explicit CNewIndexDlg(QWidget* parent = nullptr);

    int DoModal();
    // "On Field(s)...": the key columns, picked from the table's columns; the key grid
    // starts again from them.
    void OnChooseFields();
    // Save: runs the statement; closes when it ran. Enter does nothing.
    void OnSave();
    // The created index's name as Save took it.
    std::wstring GetIndexName() const { return m_strIndexName; }

    QLineEdit* m_editName;
    platform::ComboBox* m_comboTable;
    QCheckBox* m_checkUnique;
    std::vector<std::wstring> m_arrKeyNames; // the picked key columns, in the table's order
    CListFrame m_grid;
    std::wstring m_strIndexName;

private:
    void OnInitDialog();
    void SetupKeyGrid();
    void FillKeyGrid();
    // The keys as the grid's rows hold them, first to last.
    std::vector<KeyColumn> GridKeys() const;
    std::wstring BuildStatement() const;
};
