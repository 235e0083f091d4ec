#pragma once
// The state of one "call until false" iterator. Such an iterator keeps its iteration in
// process-wide storage; a call goes on with the iteration in progress only when it asks
// for the same statement text (or list) with the statement that iteration is stepping.
// Any other call starts afresh, so a caller that left an iteration early never hands its
// rows to the next caller.
#include "data/sqlstatement.h"

#include <string>

class RowIteration {
public:
    // Whether a call with this text and statement owner continues the iteration in progress.
    bool Continues(const std::wstring& text, const SqlStatement& stmt) const
    {
        return m_bActive && m_pOwner == &stmt && m_pStmt == stmt.get() && m_strText == text;
    }
    // The iteration of the text runs in the owner's statement from now on.
    void Begin(const std::wstring& text, const SqlStatement& stmt)
    {
        m_bActive = true;
        m_strText = text;
        m_pOwner = &stmt;
        m_pStmt = stmt.get();
    }
    // No iteration is in progress: the next call prepares.
    void End()
    {
        m_bActive = false;
        m_strText.clear();
        m_pOwner = nullptr;
        m_pStmt = nullptr;
    }

private:
    bool m_bActive = false;
    std::wstring m_strText;
    const SqlStatement* m_pOwner = nullptr;
    const sqlite3_stmt* m_pStmt = nullptr;
};
