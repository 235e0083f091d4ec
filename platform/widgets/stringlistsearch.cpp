#include "platform/widgets/stringlistsearch.h"

namespace platform {

int SortedInsertIndex(int count, const EntryText& entry, const QString& text)
{
    int low = 0;
    int high = count;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (QString::compare(entry(middle), text, Qt::CaseInsensitive) <= 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

int FindEntryPrefix(int count, const EntryText& entry, int startAfter, const QString& text)
{
    if (count <= 0)
        return -1;
    const int first = startAfter < 0 || startAfter >= count ? 0 : startAfter + 1;
    for (int step = 0; step < count; ++step) {
        const int index = (first + step) % count;
        if (entry(index).startsWith(text, Qt::CaseInsensitive))
            return index;
    }
    return -1;
}

} // namespace platform
