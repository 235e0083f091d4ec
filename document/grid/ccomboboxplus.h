#pragma once
// The drop-down list that the grid places over a cell of a combo column. Its arrow,
// Tab and Enter keys move between cells; choosing its "New Type..." entry adds a data
// type to the list and to the application data file.
#include <QComboBox>

#include <string>
#include <vector>

class CellEditorOwner;

// The entry that a cell's text selects when editing begins: the first entry that begins
// with the text, ignoring ASCII case, searched from the second entry on with the first
// entry tried last; an empty text selects the first entry that is empty or blank. -1
// when none fits.
int FindCellEntry(const std::vector<std::wstring>& entries, const std::wstring& text);

class CComboBoxPlus : public QComboBox {
    Q_OBJECT
public:
    explicit CComboBoxPlus(CellEditorOwner* owner, QWidget* parent = nullptr);

    // BeginEdit: selects the entry of the cell's text (FindCellEntry), or none. This is no
    // choice of the user: it opens nothing and is not a change of the cell.
    void SelectCellText(const std::wstring& text);
    // Whether the user chose an entry since SelectCellText; only then does the cell change.
    bool HasUserChoice() const { return m_bUserChoice; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The user chose the entry (mouse, keyboard search or list): "New Type..." asks for
    // a new type name.
    void OnSelChange(int index);

    CellEditorOwner* m_pOwner;
    bool m_bUserChoice = false;
};
