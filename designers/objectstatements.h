#pragma once
// The statements of the index, trigger and view designers, composed from what their
// dialogs hold, without widgets.
#include "designers/columnrecords.h"

#include <string>
#include <vector>

// CREATE [UNIQUE] INDEX IF NOT EXISTS with the keys in order, each with its collation and
// sort order when set, one key a line.
std::wstring CreateIndexText(const std::wstring& name, const std::wstring& table, bool unique,
                             const std::vector<KeyColumn>& keys);

// What the trigger designer holds when Save composes its statement.
struct TriggerDesign {
    bool m_bTemporary = false;
    std::wstring m_strName;
    std::wstring m_strTime;  // BEFORE, AFTER or INSTEAD OF
    std::wstring m_strEvent; // DELETE, INSERT, UPDATE or UPDATE OF
    // UPDATE OF: the column list as it stands in its edit, and the columns last picked.
    // While the text is the picked names joined by ", ", the picked names are written.
    std::wstring m_strColumns;
    std::vector<std::wstring> m_arrPickedColumns;
    std::wstring m_strTable;
    bool m_bForEachRow = false;
    std::wstring m_strWhen; // the condition, with or without its keyword
    std::wstring m_strBody; // BEGIN ... END as typed
};

inline constexpr wchar_t TRIGGER_EVENT_UPDATE_OF[] = L"UPDATE OF";

// The picked column names as the column list's edit shows them.
std::wstring JoinColumnNames(const std::vector<std::wstring>& names);

// CREATE [TEMPORARY] TRIGGER IF NOT EXISTS. The trigger's name is bracketed; the table and
// the picked columns are written as they are when they are plain identifiers and quoted
// otherwise; a condition that does not begin with the word WHEN gets it.
std::wstring CreateTriggerText(const TriggerDesign& design);

// CREATE VIEW IF NOT EXISTS, followed directly by the SELECT text.
std::wstring CreateViewText(const std::wstring& name, const std::wstring& select);
