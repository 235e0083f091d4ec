#pragma once
// A combo box that behaves as the program's lists expect: a sorted box keeps its entries
// in alphabetical order ignoring letter case, "select string" finds an entry by its
// beginning, and the text of an editable box is what the user typed.
#include <QComboBox>

#include <string>

namespace platform {

class ComboBox : public QComboBox {
    Q_OBJECT
public:
    // An editable box keeps typed text in its edit field and never adds it as an entry.
    explicit ComboBox(bool sorted, bool editable, QWidget* parent = nullptr);

    // Adds an entry (at its sorted place in a sorted box, else at the end) without changing
    // the selection, so a box that had none still has none; returns its index.
    int AddString(const std::wstring& text);
    // Selects the first entry after startAfter (-1: from the first) that begins with the
    // text ignoring case, going on from the start; the index, or -1 with the selection unchanged.
    int SelectString(int startAfter, const std::wstring& text);
    // The selected entry's text (a drop-down list) or the edit field's text (an editable box).
    std::wstring GetWindowText() const;

    bool IsSorted() const { return m_bSorted; }

private:
    bool m_bSorted;
};

} // namespace platform
