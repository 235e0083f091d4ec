#pragma once
// The datasheet's record set: a table (rowid mode) or the temporary view of a query or
// database view (offset mode) on the program-wide connection.
#include "data/cadbsqlrecset.h"

#include <string>

class CRecSet : public CADbSqlRecSet {
public:
    // RECSET_MODE_TABLE: name is a table, whose columns are read at once for the column
    // order; RECSET_MODE_QUERY and _VIEW: name is a temporary query view. Throws CADbSqlException when the
    // table's columns cannot be read.
    CRecSet(int, const std::wstring& name, int mode);

    std::wstring GetDefaultSource() override;
    std::wstring GetDefaultTableName() override;
    std::wstring GetDefaultColumnOrder() override;

    // " 1,2,...,n" over the table's n columns; empty for a table without columns.
    std::wstring BuildColumnOrder();
};
