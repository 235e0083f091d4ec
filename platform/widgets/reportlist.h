#pragma once
// A one-column report list as the program's pickers use it: a header, whole rows
// selected one at a time, each row's full text as its tip, and check boxes on request.
#include <QTreeWidget>

#include <string>

namespace platform {

class ReportList : public QTreeWidget {
    Q_OBJECT
public:
    explicit ReportList(QWidget* parent = nullptr);

    // The one left-aligned column, kept as wide as the list's client area.
    void SetColumn(const QString& title);
    // Rows added afterwards carry a check box.
    void SetCheckBoxes(bool on) { m_bCheckBoxes = on; }

    void AddRow(const std::wstring& text);
    int RowCount() const { return topLevelItemCount(); }
    std::wstring RowText(int row) const;
    bool IsChecked(int row) const;
    void SetChecked(int row, bool checked);
    // The first selected row, -1 when none is selected.
    int FirstSelectedRow() const;

private:
    bool m_bCheckBoxes = false;
};

} // namespace platform
