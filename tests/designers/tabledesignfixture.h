#pragma once
// The state a table-design test runs in: the designers' fixture, and helpers that fill a
// designer's grid, answer the field picker and read the created table back with another
// connection.
#include "designerfixture.h"
#include "designers/cselectfield.h"
#include "document/grid/clistctrlcombo.h"
#include "document/grid/clistframe.h"
#include "platform/widgets/reportlist.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

class TableDesignFixture : public DesignerFixture {
protected:
    // Sets a list-mode grid row's cells, from column 0 on.
    static void SetRow(CListFrame& list, int row, std::initializer_list<const wchar_t*> cells)
    {
        int column = 0;
        for (const wchar_t* cell : cells)
            list.GetGrid()->SetItemText(row, column++, cell);
    }

    // Answers the field picker: exactly the named rows ticked, then its Ok.
    static void TickAndOk(QDialog& dialog, const std::vector<std::wstring>& names)
    {
        auto& picker = static_cast<CSelectField&>(dialog);
        for (int row = 0; row < picker.m_list->RowCount(); ++row)
            picker.m_list->SetChecked(row, std::count(names.begin(), names.end(), picker.m_list->RowText(row)) > 0);
        ClickButton(dialog, QStringLiteral("Ok"));
    }

    // A statement of another connection on the database file: "" when it ran, else the
    // engine's message.
    std::string OtherConnection(const std::string& sql) const
    {
        sqlite3* db = nullptr;
        sqlite3_open(testing_support::Utf8(m_path).c_str(), &db);
        char* error = nullptr;
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
        const std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(db);
        return message;
    }

    std::string Raw(const std::string& sql) const { return testing_support::QueryRaw(m_path, sql); }
    // One line per column of the table: name, declared type, not null, default, key position.
    std::string Columns(const std::string& table) const
    {
        return Raw("SELECT group_concat(name || ':' || type || ':' || \"notnull\" || ':' || coalesce(dflt_value, '') || "
                   "':' || pk, ' | ') FROM pragma_table_info('" + table + "')");
    }
    std::string Schema(const std::string& table) const
    {
        return Raw("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = '" + table + "'");
    }
};
