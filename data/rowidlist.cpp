#include "data/rowidlist.h"

#include <algorithm>

void RowIdList::push_back(sqlite3_int64 rowid)
{
    if ((m_nSize >> kChunkBits) == m_chunks.size())
        m_chunks.push_back(std::make_unique_for_overwrite<sqlite3_int64[]>(kChunkRows));
    at(m_nSize) = rowid;
    ++m_nSize;
}

void RowIdList::append(const sqlite3_int64* rowids, size_t count)
{
    while (count > 0) {
        if ((m_nSize >> kChunkBits) == m_chunks.size())
            m_chunks.push_back(std::make_unique_for_overwrite<sqlite3_int64[]>(kChunkRows));
        const size_t offset = m_nSize & kChunkMask;
        const size_t part = std::min(count, kChunkRows - offset);
        std::copy(rowids, rowids + part, m_chunks[m_nSize >> kChunkBits].get() + offset);
        rowids += part;
        count -= part;
        m_nSize += part;
    }
}

void RowIdList::clear()
{
    m_chunks.clear();
    m_chunks.shrink_to_fit();
    m_nSize = 0;
    ++m_nVersion;
}

void RowIdList::erase_indices(std::vector<size_t> indices)
{
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    indices.erase(std::lower_bound(indices.begin(), indices.end(), m_nSize), indices.end());
    if (indices.empty())
        return;
    size_t write = indices.front();
    auto next = indices.begin();
    for (size_t read = indices.front(); read < m_nSize; ++read) {
        if (next != indices.end() && *next == read) {
            ++next;
            continue;
        }
        at(write++) = (*this)[read];
    }
    m_nSize = write;
    ++m_nVersion;
    ReleaseUnusedChunks();
}

std::ptrdiff_t RowIdList::find(sqlite3_int64 rowid) const
{
    size_t index = 0;
    for (const auto& chunk : m_chunks) {
        const size_t rows = std::min(kChunkRows, m_nSize - index);
        const sqlite3_int64* begin = chunk.get();
        const sqlite3_int64* hit = std::find(begin, begin + rows, rowid);
        if (hit != begin + rows)
            return static_cast<std::ptrdiff_t>(index + static_cast<size_t>(hit - begin));
        index += rows;
        if (index >= m_nSize)
            break;
    }
    return -1;
}

void RowIdList::ReleaseUnusedChunks()
{
    const size_t needed = (m_nSize + kChunkMask) >> kChunkBits;
    m_chunks.resize(needed);
}
