#pragma once
// The records a table design is held in, and every statement text composed from them:
// the column definition (in the table designer's grid form and the add-column dialog's
// form), the foreign-key clause, the table constraint, CREATE TABLE and ALTER TABLE ...
// ADD COLUMN. Plain records and functions without widgets: a dialog edits a record and
// asks these functions for the text.
#include <string>
#include <vector>

// One column of a table being designed, with its constraint and its foreign-key clause.
// Flags are 1 when set, 0 when not.
struct ColumnDefinition {
    int m_bHasConstraint = 0; // the column constraint dialog was applied: the constraint form is written
    int m_bPrimaryKey = 0;
    int m_bNotNull = 0;
    int m_bUnique = 0;
    int m_bAutoIncrement = 0; // written after PRIMARY KEY
    std::wstring m_strName;
    std::wstring m_strType;
    std::wstring m_strSize;      // first argument of the type
    std::wstring m_strPrecision; // second argument of the type, written only with a size
    std::wstring m_strConstraintName;
    std::wstring m_strSortOrder; // written after PRIMARY KEY
    std::wstring m_strPkConflict;
    std::wstring m_strNotNullConflict;
    std::wstring m_strUniqueConflict;
    std::wstring m_strCheck; // as typed; the statement puts it in parentheses
    std::wstring m_strDefault;
    std::wstring m_strCollate;
    // The foreign-key clause (for the table constraint, a whole record holds it).
    std::wstring m_strParentTable;
    std::wstring m_strOnDelete;
    std::wstring m_strOnUpdate;
    std::wstring m_strMatch;
    std::wstring m_strDeferrable; // written unchanged
    std::wstring m_strInitially;  // written unchanged
    std::vector<std::wstring> m_arrParentKeys;
    std::vector<std::wstring> m_arrChildKeys; // written only by the table constraint

    bool operator==(const ColumnDefinition&) const = default;
};

// One column of the table constraint's PRIMARY KEY or UNIQUE list.
struct KeyColumn {
    std::wstring m_strName;
    std::wstring m_strCollate; // may be empty
    std::wstring m_strSort;    // may be empty

    bool operator==(const KeyColumn&) const = default;
};

// The table-level constraint of a table design.
struct TableConstraint {
    std::wstring m_strName;
    std::vector<KeyColumn> m_arrPrimaryKey;
    std::vector<KeyColumn> m_arrUnique;
    std::wstring m_strPkConflict;
    std::wstring m_strUniqueConflict;
    std::wstring m_strCheck;
    // Only the foreign-key fields (parent table to child keys) are used.
    ColumnDefinition m_foreignKey;

    bool operator==(const TableConstraint&) const = default;
};

// Where a column definition's name, type, size, precision, default and flags come from:
// the table designer's grid row, or the add-column dialog's controls. The two forms
// differ in their blanks and in how an unnamed constraint is written.
enum class ColumnForm { Grid, Dialog };

std::wstring ColumnDefinitionText(const ColumnDefinition& column, ColumnForm form);
// The foreign-key clause of the record into out (also returned); empty when nothing is set.
std::wstring& BuildForeignKeyClause(std::wstring& out, const ColumnDefinition& column);
bool HasTableConstraint(const TableConstraint& constraint);
// Empty when the constraint is not present.
std::wstring TableConstraintText(const TableConstraint& constraint);
// The grid form of every column, then the table constraint when it has text.
std::wstring CreateTableText(const std::wstring& table, const std::vector<ColumnDefinition>& columns,
                             const TableConstraint& constraint);
// The dialog form of the column.
std::wstring AddColumnText(const std::wstring& table, const ColumnDefinition& column);
