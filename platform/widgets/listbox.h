#pragma once
// A single-selection list box; a sorted one keeps its entries in alphabetical order
// ignoring letter case, as the program's sorted lists do.
#include <QListWidget>

#include <string>

namespace platform {

class ListBox : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(bool sorted, QWidget* parent = nullptr);

    // Adds an entry (at its sorted place in a sorted list, else at the end); returns its index.
    int AddString(const std::wstring& text);
    // Selects the first entry after startAfter (-1: from the first) that begins with the
    // text ignoring case, going on from the start; the index, or -1 with the selection unchanged.
    int SelectString(int startAfter, const std::wstring& text);
    // The selected entry's index, -1 when none is selected.
    int GetCurSel() const;
    std::wstring GetText(int index) const;

private:
    bool m_bSorted;
};

} // namespace platform
