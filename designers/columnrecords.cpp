#include "designers/columnrecords.h"

#include "data/formatstring.h"
#include "designers/statementcomposer.h"

namespace {

// "[name] COLLATE c s, ..." inside the parentheses of a PRIMARY KEY or UNIQUE list,
// then its conflict clause; nothing for an empty list.
void KeyList(StatementComposer& out, const wchar_t* head, const std::vector<KeyColumn>& keys,
             const std::wstring& conflict)
{
    if (keys.empty())
        return;
    out.Text(head);
    for (size_t i = 0; i < keys.size(); ++i) {
        out.Name(L"[%s] ", keys[i].m_strName)
            .Piece(L"COLLATE %s ", keys[i].m_strCollate)
            .Piece(L"%s ", keys[i].m_strSort)
            .TextIf(i + 1 < keys.size(), L", ");
    }
    out.Text(L") ").Piece(L"ON CONFLICT %s ", conflict);
}

} // namespace

std::wstring ColumnDefinitionText(const ColumnDefinition& column, ColumnForm form)
{
    const bool grid = form == ColumnForm::Grid;
    StatementComposer out;
    out.Name(L"[%s] ", column.m_strName).Text(column.m_strType).TextIf(!grid, L" ");
    if (IsSet(column.m_strSize)) {
        out.Piece(L"(%s", column.m_strSize);
        if (IsSet(column.m_strPrecision))
            out.Piece(L",%s) ", column.m_strPrecision);
        else
            out.Text(L") ");
    } else {
        out.TextIf(grid, L" ");
    }
    if (!column.m_bHasConstraint) {
        out.TextIf(column.m_bPrimaryKey, L"PRIMARY KEY ")
            .TextIf(column.m_bNotNull, L"NOT NULL ")
            .TextIf(column.m_bUnique, L"UNIQUE ")
            .Piece(L"DEFAULT(%s) ", column.m_strDefault);
        return out.Result();
    }
    if (grid)
        out.NameIfSet(L"CONSTRAINT [%s] ", column.m_strConstraintName);
    else
        out.Name(L"CONSTRAINT [%s] ", column.m_strConstraintName);
    if (column.m_bPrimaryKey)
        out.Text(L"PRIMARY KEY ")
            .Piece(L"%s ", column.m_strSortOrder)
            .Piece(L"ON CONFLICT %s ", column.m_strPkConflict)
            .TextIf(column.m_bAutoIncrement, L"AUTOINCREMENT ");
    if (column.m_bNotNull)
        out.Text(L"NOT NULL ").Piece(L"ON CONFLICT %s ", column.m_strNotNullConflict);
    if (column.m_bUnique)
        out.Text(L"UNIQUE ").Piece(L"ON CONFLICT %s ", column.m_strUniqueConflict);
    std::wstring clause;
    out.Piece(L"CHECK (%s) ", column.m_strCheck)
        .Piece(L"DEFAULT(%s) ", column.m_strDefault)
        .Piece(L"COLLATE %s ", column.m_strCollate)
        .Text(BuildForeignKeyClause(clause, column));
    return out.Result();
}

std::wstring& BuildForeignKeyClause(std::wstring& out, const ColumnDefinition& column)
{
    StatementComposer clause;
    if (IsSet(column.m_strParentTable)) {
        // Without parent keys the parent's primary key is referred to.
        clause.Name(L"REFERENCES [%s] ", column.m_strParentTable);
        if (!column.m_arrParentKeys.empty())
            clause.Text(L"(").NameList(column.m_arrParentKeys, L", ").Text(L") ");
    }
    clause.Piece(L"ON DELETE %s ", column.m_strOnDelete)
        .Piece(L"ON UPDATE %s ", column.m_strOnUpdate)
        .Piece(L"MATCH %s ", column.m_strMatch)
        .Piece(L"%s ", column.m_strDeferrable)
        .Piece(L"%s ", column.m_strInitially);
    out = clause.Result();
    return out;
}

bool HasTableConstraint(const TableConstraint& constraint)
{
    const ColumnDefinition& key = constraint.m_foreignKey;
    return IsSet(constraint.m_strName) || !key.m_arrParentKeys.empty() ||
           (!key.m_arrChildKeys.empty() && IsSet(key.m_strParentTable)) || IsSet(constraint.m_strCheck) ||
           IsSet(constraint.m_strPkConflict) || IsSet(constraint.m_strUniqueConflict) ||
           !constraint.m_arrPrimaryKey.empty() || !constraint.m_arrUnique.empty();
}

std::wstring TableConstraintText(const TableConstraint& constraint)
{
    if (!HasTableConstraint(constraint))
        return {};
    StatementComposer out;
    out.NameIfSet(L"CONSTRAINT [%s] ", constraint.m_strName);
    KeyList(out, L"PRIMARY KEY (", constraint.m_arrPrimaryKey, constraint.m_strPkConflict);
    KeyList(out, L"UNIQUE (", constraint.m_arrUnique, constraint.m_strUniqueConflict);
    out.Piece(L"CHECK (%s) ", constraint.m_strCheck);
    const ColumnDefinition& key = constraint.m_foreignKey;
    if (!key.m_arrChildKeys.empty())
        out.Text(L"FOREIGN KEY ( ").NameList(key.m_arrChildKeys, L", ").Text(L" ) ");
    std::wstring clause;
    out.Text(BuildForeignKeyClause(clause, key));
    return out.Result();
}

std::wstring CreateTableText(const std::wstring& table, const std::vector<ColumnDefinition>& columns,
                             const TableConstraint& constraint)
{
    StatementComposer out;
    out.Name(L"CREATE TABLE [%s] (", table);
    for (size_t i = 0; i < columns.size(); ++i)
        out.TextIf(i > 0, L",\r\n").Text(ColumnDefinitionText(columns[i], ColumnForm::Grid));
    const std::wstring tableConstraint = TableConstraintText(constraint);
    if (!tableConstraint.empty())
        out.Text(L",\r\n").Text(tableConstraint);
    out.Text(L")");
    return out.Result();
}

std::wstring AddColumnText(const std::wstring& table, const ColumnDefinition& column)
{
    StatementComposer out;
    out.Name(L"ALTER TABLE [%s] ADD COLUMN ", table).Text(ColumnDefinitionText(column, ColumnForm::Dialog));
    return out.Result();
}
