#pragma once
// The state a designer dialog test runs in: the database fixture, whose store holds the
// designers' value lists with the entries a first start gives them; and the test's hands
// on the dialogs.
#include "data/constants.h"
#include "databasefixture.h"
#include "platform/widgets/combobox.h"

#include <QAbstractButton>
#include <QDialog>
#include <QPushButton>
#include <QTest>

#include <string>

#include <utility>
#include <vector>

class DesignerFixture : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        ResetDatabaseGlobals();
        const std::pair<const wchar_t*, std::vector<const wchar_t*>> lists[] = {
            {NODE_DB_DATA_TYPES, {L"Integer", L"Text", L"VarChar", L"New Type..."}},
            {NODE_CONFLICT_TYPES, {L"ROLLBACK", L"ABORT", L"FAIL", L"IGNORE", L"REPLACE"}},
            {NODE_COLLATE_TYPES, {L"BINARY", L"NOCASE", L"RTRIM"}},
            {NODE_SORTBY_TYPES, {L"ASC", L"DESC"}},
            {NODE_FOREIGN_KEY_ACTION_TYPES, {L"SET NULL", L"SET DEFAULT", L"CASCADE", L"RESTRICT", L"NO ACTION"}},
            {NODE_MATCH_TYPES, {L"SIMPLE", L"FULL", L"PARTIAL"}},
            {NODE_DEFERRABLE_TYPES, {L"NOT DEFERRABLE", L"DEFERRABLE"}},
            {NODE_INITIALLY_TYPES, {L"INITIALLY DEFERRED", L"INITIALLY IMMEDIATE"}},
        };
        for (const auto& [node, entries] : lists) {
            m_store.CreateNode(node, NODE_TYPE_TEXT);
            for (const wchar_t* entry : entries)
                m_store.AddTextValue(node, entry);
        }
    }

    // Clicks a button of a shown dialog as the user does.
    static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    // Clicks the dialog's button with that text.
    static void ClickButton(QDialog& dialog, const QString& text)
    {
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text() == text)
                return Click(button);
        ADD_FAILURE() << "no button " << text.toStdString();
    }
    // The entries of a box in their order.
    static std::vector<std::wstring> Entries(const platform::ComboBox& box)
    {
        std::vector<std::wstring> out;
        for (int i = 0; i < box.count(); ++i)
            out.push_back(box.itemText(i).toStdWString());
        return out;
    }
};
