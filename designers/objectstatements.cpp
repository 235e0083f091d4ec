#include "designers/objectstatements.h"

#include "data/formatstring.h"
#include "data/statementtext.h"
#include "designers/statementcomposer.h"

std::wstring CreateIndexText(const std::wstring& name, const std::wstring& table, bool unique,
                             const std::vector<KeyColumn>& keys)
{
    StatementComposer sql;
    sql.Text(unique ? L"CREATE UNIQUE INDEX IF NOT EXISTS " : L"CREATE INDEX IF NOT EXISTS ")
        .Name(L"[%s]", name)
        .Name(L" ON [%s] ( ", table);
    for (size_t i = 0; i < keys.size(); ++i)
        sql.Name(L"[%s]", keys[i].m_strName)
            .Piece(L" COLLATE %s ", keys[i].m_strCollate)
            .Piece(L"%s ", keys[i].m_strSort)
            .TextIf(i + 1 < keys.size(), L", \r\n");
    return sql.Text(L")").Result();
}

std::wstring JoinColumnNames(const std::vector<std::wstring>& names)
{
    std::wstring text;
    for (const std::wstring& name : names)
        text += (text.empty() ? L"" : L", ") + name;
    return text;
}

std::wstring CreateTriggerText(const TriggerDesign& design)
{
    StatementComposer sql;
    sql.Text(L"CREATE ")
        .Text(design.m_bTemporary ? L"TEMPORARY " : L" ")
        .Name(L" TRIGGER IF NOT EXISTS [%s] ", design.m_strName)
        .Text(design.m_strTime + L" ")
        .Text(design.m_strEvent + L" ");
    if (design.m_strEvent == TRIGGER_EVENT_UPDATE_OF) {
        if (!design.m_arrPickedColumns.empty() && design.m_strColumns == JoinColumnNames(design.m_arrPickedColumns)) {
            std::vector<std::wstring> written;
            for (const std::wstring& column : design.m_arrPickedColumns)
                written.push_back(QuoteIdentifierWhenNeeded(column));
            sql.Text(JoinColumnNames(written));
        } else {
            sql.Text(design.m_strColumns);
        }
        sql.Text(L" ");
    }
    sql.Text(L"ON " + QuoteIdentifierWhenNeeded(design.m_strTable) + L" ")
        .TextIf(design.m_bForEachRow, L"FOR EACH ROW ");
    if (design.m_strWhen.find_first_not_of(L" \t\r\n") != std::wstring::npos)
        sql.TextIf(LeadingSqlWord(design.m_strWhen) != L"WHEN", L"WHEN ").Text(design.m_strWhen + L" ");
    return sql.Text(design.m_strBody).Result();
}

std::wstring CreateViewText(const std::wstring& name, const std::wstring& select)
{
    return StatementComposer().Name(L"CREATE VIEW IF NOT EXISTS [%s] AS ", name).Text(select).Result();
}
