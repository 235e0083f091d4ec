// "Field(s)": the ticked columns replace the chosen names on Ok, in column order.
#include "designers/cselectfield.h"

#include "scopedhandlers.h"
#include "platform/widgets/reportlist.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace {

std::vector<CADbSqlFieldInfo> Fields(std::initializer_list<const wchar_t*> names)
{
    std::vector<CADbSqlFieldInfo> out;
    for (const wchar_t* name : names) {
        CADbSqlFieldInfo field;
        field.m_strName = name;
        out.push_back(field);
    }
    return out;
}

QPushButton* Button(QDialog& dialog, const QString& text)
{
    for (QAbstractButton* button : dialog.findChild<QDialogButtonBox*>()->buttons())
        if (button->text() == text)
            return qobject_cast<QPushButton*>(button);
    return nullptr;
}

// Runs the picker; `work` ticks rows, then the named button is pressed.
int RunPicker(std::vector<std::wstring>& chosen, std::vector<CADbSqlFieldInfo>& fields, const QString& button,
        const std::function<void(CSelectField&)>& work = {})
{
    CSelectField dialog(&chosen, &fields);
    ScopedDialogHandler handler([&](QDialog& shown) {
        if (work)
            work(static_cast<CSelectField&>(shown));
        QTest::mouseClick(Button(shown, button), Qt::LeftButton);
        return shown.result();
    });
    return dialog.DoModal();
}

TEST(SelectField, ListsTheColumnsAndTicksChosenNamesIgnoringCase)
{
    std::vector<CADbSqlFieldInfo> fields = Fields({L"Id", L"Name", L"naïve", L"qty"});
    std::vector<std::wstring> chosen = {L"NAME", L"QTY", L"missing"};
    CSelectField dialog(&chosen, &fields);
    EXPECT_EQ(dialog.windowTitle(), "Field(s)");
    EXPECT_EQ(dialog.m_list->headerItem()->text(0), "Field Name");
    ASSERT_EQ(dialog.m_list->RowCount(), 4);
    std::vector<bool> ticked;
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(dialog.m_list->RowText(row), fields[static_cast<size_t>(row)].m_strName);
        ticked.push_back(dialog.m_list->IsChecked(row));
    }
    EXPECT_EQ(ticked, (std::vector<bool>{false, true, false, true}));
    EXPECT_TRUE(Button(dialog, "Ok")->isDefault());
}

// Fault: the engine folds only ASCII letters, yet the picker ticked every column equal to a
// chosen name in any Unicode case, so "é" ticked "É" too. A chosen name ticks the one column
// it names: the equal one, else the one equal but for ASCII case.
TEST(SelectField, AChosenNameTicksTheColumnItNames)
{
    struct Case {
        std::initializer_list<const wchar_t*> columns;
        std::vector<std::wstring> chosen;
        std::vector<bool> ticked;
    };
    const Case cases[] = {
        {{L"É", L"é"}, {L"é"}, {false, true}},
        {{L"É", L"é"}, {L"É"}, {true, false}},
        {{L"é"}, {L"É"}, {false}},
        {{L"Mixed"}, {L"MIXED"}, {true}},
        {{L"a", L"A"}, {L"A"}, {false, true}}, // a design's columns, not yet the engine's
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        std::vector<CADbSqlFieldInfo> fields = Fields(c.columns);
        std::vector<std::wstring> chosen = c.chosen;
        CSelectField dialog(&chosen, &fields);
        std::vector<bool> ticked;
        for (int row = 0; row < dialog.m_list->RowCount(); ++row)
            ticked.push_back(dialog.m_list->IsChecked(row));
        EXPECT_EQ(ticked, c.ticked);
    }
}

// Ok gives the ticked rows in column order and spelled as the columns are; names that
// are no column are gone. Cancel leaves the names as they were.
TEST(SelectField, OkReplacesTheNamesCancelKeepsThem)
{
    std::vector<CADbSqlFieldInfo> fields = Fields({L"Id", L"Name", L"naïve", L"qty"});
    std::vector<std::wstring> chosen = {L"QTY", L"missing"};
    EXPECT_EQ(RunPicker(chosen, fields, "Ok",
                  [](CSelectField& dialog) {
                      // Ticked with the mouse on the row's check box.
                      platform::ReportList* list = dialog.m_list;
                      const QRect row = list->visualItemRect(list->topLevelItem(2));
                      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(row.left() + 10, row.center().y()));
                      dialog.m_list->SetChecked(0, true);
                  }),
              QDialog::Accepted);
    EXPECT_EQ(chosen, (std::vector<std::wstring>{L"Id", L"naïve", L"qty"}));

    chosen = {L"QTY", L"missing"};
    EXPECT_EQ(RunPicker(chosen, fields, "Cancel", [](CSelectField& dialog) { dialog.m_list->SetChecked(0, true); }),
              QDialog::Rejected);
    EXPECT_EQ(chosen, (std::vector<std::wstring>{L"QTY", L"missing"}));

    chosen = {L"Id"};
    EXPECT_EQ(RunPicker(chosen, fields, "Ok", [](CSelectField& dialog) { dialog.m_list->SetChecked(0, false); }),
              QDialog::Accepted);
    EXPECT_TRUE(chosen.empty());
}

TEST(SelectField, TableWithoutColumnsGivesAnEmptyList)
{
    std::vector<CADbSqlFieldInfo> fields;
    std::vector<std::wstring> chosen = {L"a"};
    EXPECT_EQ(RunPicker(chosen, fields, "Ok"), QDialog::Accepted);
    EXPECT_TRUE(chosen.empty());
}

} // namespace
