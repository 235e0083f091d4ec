#pragma once
// The rowids of a record set in datasheet order. The rows live in fixed-size chunks,
// so growing never moves the rows already held, and a row costs 8 bytes.
#include <sqlite3.h>

#include <cstddef>
#include <memory>
#include <vector>

class RowIdList {
public:
    size_t size() const { return m_nSize; }
    bool empty() const { return m_nSize == 0; }

    sqlite3_int64 operator[](size_t index) const { return m_chunks[index >> kChunkBits][index & kChunkMask]; }
    // Replaces the rowid at the index.
    void set(size_t index, sqlite3_int64 rowid)
    {
        at(index) = rowid;
        ++m_nVersion;
    }

    void push_back(sqlite3_int64 rowid);
    void append(const sqlite3_int64* rowids, size_t count);
    // Empties the list and gives its memory back.
    void clear();
    // Removes the rows at the given indices in one pass; the later rows move up.
    // Indices may come in any order; duplicates and indices out of range are ignored.
    void erase_indices(std::vector<size_t> indices);
    // The lowest index holding the rowid, by a scan from the start; -1 when none does.
    std::ptrdiff_t find(sqlite3_int64 rowid) const;
    // Changes with every change of the list except appends, so that a reader who
    // mapped rowids to indices knows when the indices it found still hold.
    unsigned version() const { return m_nVersion; }

private:
    static constexpr size_t kChunkBits = 16;
    static constexpr size_t kChunkRows = size_t(1) << kChunkBits; // 512 KiB a chunk
    static constexpr size_t kChunkMask = kChunkRows - 1;

    sqlite3_int64& at(size_t index) { return m_chunks[index >> kChunkBits][index & kChunkMask]; }
    void ReleaseUnusedChunks();

    std::vector<std::unique_ptr<sqlite3_int64[]>> m_chunks;
    size_t m_nSize = 0;
    unsigned m_nVersion = 0;
};
