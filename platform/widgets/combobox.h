#pragma once
// A combo box that behaves as the program's lists expect: a sorted box keeps its entries
// in alphabetical order ignoring letter case, "select string" finds an entry by its
// beginning, the text of an editable box is what the user typed, and a stored value shown
// again comes back unchanged. Only the user's choice of an entry is signalled.
#include <QComboBox>

#include <string>
#include <vector>

namespace platform {

class ComboBox : public QComboBox {
    Q_OBJECT
public:
    // An editable box keeps typed text in its edit field and never adds it as an entry.
    explicit ComboBox(bool sorted, bool editable, QWidget* parent = nullptr);

    // Adds an entry (at its sorted place in a sorted box, else at the end) without changing
    // the selection, so a box that had none still has none and an editable box's edit field
    // keeps its text; returns its index.
    int AddString(const std::wstring& text);
    // Adds every text, in order, as AddString does.
    void AddStrings(const std::vector<std::wstring>& texts);
    // Selects the first entry after startAfter (-1: from the first) that begins with the
    // text ignoring case, going on from the start; the index, or -1 with the selection unchanged.
    int SelectString(int startAfter, const std::wstring& text);
    // The selected entry's text (a drop-down list) or the edit field's text (an editable box).
    std::wstring GetWindowText() const;
    // Shows a stored value: the entry that names it as the engine matches names is
    // selected (the equal entry, else one equal but for ASCII letter case); without one,
    // an editable box holds the value unchanged in its edit field (so reading the box back
    // gives the value again) and a drop-down list selects nothing. An empty value changes
    // nothing.
    void ShowValue(const std::wstring& value);

    bool IsSorted() const { return m_bSorted; }

signals:
    // The user chose an entry, with the mouse or the keys; a selection the program makes
    // is not signalled.
    void SelectionChanged(int index);

private:
    bool m_bSorted;
};

} // namespace platform
