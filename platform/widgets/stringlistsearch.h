#pragma once
// The look-ups that the program's sorted lists and combo boxes share: where a new entry
// goes in a list kept in alphabetical order, and the prefix search of "select string".
#include <QString>

#include <functional>

namespace platform {

// The entry texts of a list, by index.
using EntryText = std::function<QString(int index)>;

// The index at which text keeps the list sorted, ignoring letter case; an entry equal to
// others goes after them.
int SortedInsertIndex(int count, const EntryText& entry, const QString& text);

// The first entry after startAfter (-1: from the first entry) that begins with the text,
// ignoring letter case; the search goes on from the start after the last entry. -1 when
// no entry matches.
int FindEntryPrefix(int count, const EntryText& entry, int startAfter, const QString& text);

} // namespace platform
