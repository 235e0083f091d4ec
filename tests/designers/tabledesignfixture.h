#pragma once
// The state a table-design test runs in: a database opened as the current one, the value
// lists the designers offer (as the first run stores them), recorded boxes, and helpers
// that fill a designer's grid and read the created table back with another connection.
#include "data/constants.h"
#include "databasefixture.h"
#include "designers/cselectfield.h"
#include "platform/widgets/reportlist.h"
#include "document/grid/clistctrlcombo.h"
#include "document/grid/clistframe.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

class TableDesignFixture : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        ResetDatabaseGlobals();
        const std::pair<const wchar_t*, std::vector<std::wstring>> lists[] = {
            {NODE_DB_DATA_TYPES, {L"Integer", L"VarChar", L"Text", L"Real", STR_NEW_TYPE_ENTRY}},
            {NODE_CONFLICT_TYPES, {L"ROLLBACK", L"ABORT", L"FAIL", L"IGNORE", L"REPLACE"}},
            {NODE_COLLATE_TYPES, {L"BINARY", L"NOCASE", L"RTRIM"}},
            {NODE_SORTBY_TYPES, {L"ASC", L"DESC"}},
            {NODE_FOREIGN_KEY_ACTION_TYPES, {L"SET NULL", L"SET DEFAULT", L"CASCADE", L"RESTRICT", L"NO ACTION"}},
            {NODE_MATCH_TYPES, {L"SIMPLE", L"FULL", L"PARTIAL"}},
            {NODE_DEFERRABLE_TYPES, {L"NOT DEFERRABLE", L"DEFERRABLE"}},
            {NODE_INITIALLY_TYPES, {L"INITIALLY DEFERRED", L"INITIALLY IMMEDIATE"}},
        };
        for (const auto& [node, values] : lists) {
            ASSERT_TRUE(m_store.CreateNode(node, NODE_TYPE_TEXT));
            for (const std::wstring& value : values)
                ASSERT_TRUE(m_store.AddTextValue(node, value));
        }
    }

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
        PressButton(dialog, QStringLiteral("Ok"));
    }

    // Clicks the dialog's push button with that text.
    static void PressButton(QDialog& dialog, const QString& text)
    {
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text() == text) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        ADD_FAILURE() << "no button " << text.toStdString();
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
