// The record set in rowid mode: columns, rows, edits, inserts, deletes, search,
// related rows and BLOB cells, over real files.
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/rowloader.h"
#include "recsettestsupport.h"

#include <gtest/gtest.h>

#include <QFile>

#include <memory>

using testing_support::BoxRecorder;
using testing_support::CaptionRecorder;
using testing_support::ExecRaw;
using testing_support::Failure;
using testing_support::QueryRaw;
using testing_support::TempFolder;

namespace {

class RecSet : public RecSetFixture {};

const char* const kPeople = "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT, score REAL, photo BLOB);"
                            "INSERT INTO t VALUES(1,'Ann',1.5,x'0102'),(2,'O''Brien',NULL,NULL),(3,'abc',3,NULL),"
                            "(4,'ABC',4,NULL),(5,'cab',5,NULL),(6,'a_c',6,NULL);";

TEST_F(RecSet, OpenDescribesTheColumnsAndReadsRowsByIndex)
{
    auto rs = Open(kPeople);
    EXPECT_EQ(rs->m_nFields, 4);
    EXPECT_EQ(rs->m_strSelectList, L" [id],[name],[score],[photo]");
    EXPECT_EQ(rs->GetRecordCount(), 6);
    EXPECT_FALSE(rs->IsLoading());
    EXPECT_EQ(rs->m_nCurrentRow, -1);
    EXPECT_EQ(Cell(*rs, 1, 1), L"O'Brien");
    EXPECT_EQ(Cell(*rs, 1, 2), L"<null>");
    EXPECT_EQ(Cell(*rs, 0, 2), L"1.5");
    EXPECT_EQ(Cell(*rs, 0, 3), L"<null>") << "a BLOB cell has no text";
    EXPECT_EQ(Cell(*rs, 0, 4), L"<null>") << "a column beyond the last";
    EXPECT_EQ(Cell(*rs, 6, 0), L"<no row>");
    EXPECT_EQ(Cell(*rs, -1, 0), L"<no row>");

    ASSERT_TRUE(rs->MoveToExact(0));
    EXPECT_EQ(rs->GetCurrentRowId(), 1);
    const SqlValue photo = rs->GetFieldSqlValue(3);
    EXPECT_EQ(photo.m_nType, SQLITE_BLOB);
    EXPECT_EQ(photo.m_blob, std::string("\x01\x02", 2));
    EXPECT_EQ(rs->GetFieldSqlValue(0).m_nInt, 1);
    CADbSqlFieldInfo info;
    EXPECT_TRUE(rs->GetFieldInfo(3, info));
    EXPECT_EQ(info.m_nTypeCode, FIELDTYPE_BLOB);
    EXPECT_FALSE(rs->GetFieldInfo(4, info));
    EXPECT_TRUE(rs->IsRowIdAlias(0));
    EXPECT_FALSE(rs->IsRowIdAlias(1));
}

// Closing the connection finalizes the record set's statements with all others and
// empties their owners, so that the record set, going afterwards, finalizes none again.
// The owner of its bound statement is seen here; its row SELECTs are private, and a
// second finalize of one of them is a use of freed memory that only the sanitizer
// build reports.
TEST_F(RecSet, ARecordSetOutlivingItsConnectionReleasesNothingTwice)
{
    auto rs = Open(kPeople);
    ASSERT_TRUE(rs->MoveTo(0));
    rs->Edit(1);
    ASSERT_NE(rs->m_pBindStmt.get(), nullptr);
    m_db.CloseDb();
    EXPECT_EQ(rs->m_pBindStmt.get(), nullptr);
    rs.reset();
}

TEST_F(RecSet, AMissingTableGivesFalseAndStartsNoLoad)
{
    m_path = m_folder.MakeDatabase(L"test.db", "CREATE TABLE t(a);");
    m_db.OpenDb(m_path);
    TestRecSet rs(&m_db, L"nothere");
    rs.m_pNotifyWnd = &m_target;
    EXPECT_FALSE(rs.OpenTable());
    EXPECT_FALSE(rs.IsLoading());
    DeliverQueuedEvents();
    EXPECT_TRUE(m_target.posts.empty());
}

TEST_F(RecSet, ANameWithACommaOrBracketStandsWhole)
{
    for (const auto& [create, name] : {std::pair<std::string, std::wstring>{"CREATE TABLE [a,b](x TEXT, \"y]z\" TEXT);", L"a,b"},
                                       {"CREATE TABLE \"p]q\"(x TEXT, \"y]z\" TEXT);", L"p]q"}}) {
        TempFolder folder;
        const std::wstring path = folder.MakeDatabase(L"n.db", create + "INSERT INTO \"" + testing_support::Utf8(name) +
                                                                   "\" VALUES('1','2'),('3','4');");
        CADbSqlDb db;
        db.OpenDb(path);
        LoadRecorder target;
        TestRecSet rs(&db, name);
        rs.m_pNotifyWnd = &target;
        ASSERT_TRUE(rs.OpenTable());
        ASSERT_EQ(rs.GetRecordCount(), 2);
        rs.Edit(rs.GetRowId(1));
        rs.BindField(0, L"new");
        rs.BindField(1, L"y]z value");
        EXPECT_EQ(rs.ExecuteBound(), 1);
        EXPECT_TRUE(rs.DeleteRow(0));
        EXPECT_EQ(QueryRaw(path, "SELECT group_concat(x || '/' || \"y]z\") FROM \"" + testing_support::Utf8(name) + "\""),
                  "new/y]z value");
        EXPECT_TRUE(target.WaitForEnds());
    }
}

TEST_F(RecSet, AnEditWritesTheRowByItsRowidAndLeavesBlobsAlone)
{
    auto rs = Open(kPeople);
    rs->Edit(1);
    EXPECT_TRUE(rs->m_bEditing);
    EXPECT_FALSE(rs->MoveTo(2)) << "no move while an edit is prepared";
    EXPECT_EQ(rs->m_nCurrentRow, -1);
    rs->BindField(0, L"1");
    rs->BindField(1, L""); // empty text is stored as NULL
    rs->BindField(2, L"2.5");
    rs->BindField(3, L""); // left out of the UPDATE: ignored
    EXPECT_EQ(rs->ExecuteBound(), 1);
    EXPECT_FALSE(rs->m_bEditing);
    EXPECT_EQ(Raw("SELECT quote(name) || ' ' || score || ' ' || hex(photo) FROM t WHERE id=1"), "NULL 2.5 0102");

    // Exact values go back unchanged.
    rs->Edit(2);
    SqlValue text;
    text.m_nType = SQLITE_TEXT;
    text.m_strText = L"007";
    SqlValue key;
    key.m_nType = SQLITE_INTEGER;
    key.m_nInt = 2;
    rs->BindValue(0, key);
    rs->BindValue(1, text);
    EXPECT_EQ(rs->ExecuteBound(), 1);
    EXPECT_EQ(Raw("SELECT typeof(name) || name || typeof(score) FROM t WHERE id=2"), "text007null");

    // An UPDATE of a row that is gone changes nothing.
    rs->Edit(99);
    EXPECT_EQ(rs->ExecuteBound(), 0);
}

TEST_F(RecSet, AFailedUpdateThrowsAndReleasesItsStatement)
{
    auto rs = Open("CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT NOT NULL);INSERT INTO t VALUES(1,'a');");
    rs->Edit(1);
    rs->BindField(0, L"1");
    rs->BindField(1, L"");
    const CADbSqlException e = Failure([&] { rs->ExecuteBound(); });
    EXPECT_NE(e.m_strMessage.find(L"NOT NULL"), std::wstring::npos);
    EXPECT_FALSE(rs->m_bEditing);
    EXPECT_EQ(rs->m_pBindStmt, nullptr);
    EXPECT_TRUE(rs->MoveTo(0));
    rs->CloseRowStmt();
    rs->AddNew();
    rs->CancelBound();
    EXPECT_FALSE(rs->m_bAdding);
    EXPECT_EQ(Raw("SELECT name FROM t"), "a");
}

TEST_F(RecSet, AnInsertWithAnEmptyKeyAppendsTheEngineChosenRowid)
{
    auto rs = Open("CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT, n INTEGER DEFAULT 7);"
                   "INSERT INTO t VALUES(10,'a',1);");
    rs->AddNew();
    rs->BindField(0, L"");
    rs->BindField(1, L"b");
    rs->BindField(2, L"3");
    EXPECT_EQ(rs->ExecuteBound(), 1);
    ASSERT_EQ(rs->GetRecordCount(), 2);
    EXPECT_EQ(rs->GetRowId(1), 11);
    EXPECT_EQ(Cell(*rs, 1, 1), L"b");

    // Only the marked columns are inserted, so the others take their defaults.
    rs->AddNew({false, true, false});
    rs->BindField(0, L"99");
    rs->BindField(1, L"c");
    rs->BindField(2, L"");
    EXPECT_EQ(rs->ExecuteBound(), 1);
    EXPECT_EQ(Raw("SELECT id || ' ' || n FROM t WHERE name='c'"), "12 7");
    EXPECT_EQ(rs->FindRowIndex(12), 2);
    EXPECT_EQ(rs->FindRowIndex(55), -1);
}

TEST_F(RecSet, RowidsBeyond32BitsAddressTheirOwnRows)
{
    // 2^32 + 1 truncates to 1, the id of another row.
    auto rs = Open("CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT);"
                   "INSERT INTO t VALUES(1,'small'),(4294967297,'big'),(-9223372036854775808,'min');");
    const int big = rs->FindRowIndex(4294967297LL);
    ASSERT_GE(big, 0);
    EXPECT_EQ(Cell(*rs, big, 1), L"big");
    rs->Edit(rs->GetRowId(big));
    rs->BindField(0, L"4294967297");
    rs->BindField(1, L"changed");
    EXPECT_EQ(rs->ExecuteBound(), 1);
    EXPECT_EQ(Raw("SELECT name FROM t WHERE id=1"), "small");
    EXPECT_EQ(Raw("SELECT name FROM t WHERE id=4294967297"), "changed");
    const int min = rs->FindRowIndex(INT64_MIN);
    ASSERT_GE(min, 0);
    EXPECT_TRUE(rs->DeleteRow(min));
    EXPECT_EQ(Raw("SELECT count(*) FROM t"), "2");
    rs->AddNew();
    rs->BindField(0, L"");
    rs->BindField(1, L"next");
    rs->ExecuteBound();
    EXPECT_EQ(rs->GetRowId(rs->GetRecordCount() - 1), 4294967298LL);
}

TEST_F(RecSet, ARowDeletedElsewhereIsNoLongerReachedAndNoMessageShows)
{
    auto rs = Open(kPeople);
    ExecRaw(m_path, "DELETE FROM t WHERE id=2");
    EXPECT_FALSE(rs->MoveTo(1));
    EXPECT_EQ(m_lines.Count(), 0u);
    EXPECT_TRUE(rs->MoveTo(2));
    EXPECT_EQ(rs->m_nCurrentRow, 2);
}

TEST_F(RecSet, DeleteRemovesTheRowAndShiftsTheLaterOnes)
{
    auto rs = Open(kPeople);
    ASSERT_TRUE(rs->MoveTo(4));
    EXPECT_TRUE(rs->DeleteRow(1));
    EXPECT_EQ(rs->GetRecordCount(), 5);
    EXPECT_EQ(rs->GetRowId(1), 3);
    EXPECT_EQ(rs->m_nCurrentRow, 3) << "the current row keeps standing on the same row";
    EXPECT_EQ(Raw("SELECT group_concat(id) FROM t"), "1,3,4,5,6");
    EXPECT_EQ(rs->DeleteRows({4, 0, 4, 17}), 2);
    EXPECT_EQ(Raw("SELECT group_concat(id) FROM t"), "3,4,5");
    EXPECT_EQ(rs->GetRowId(0), 3);
    EXPECT_EQ(rs->GetRecordCount(), 3);
}

TEST_F(RecSet, AFailedDeleteDeletesNoneOfItsRowsAndShowsTheFailure)
{
    auto rs = Open(std::string(kPeople) +
                   "CREATE TRIGGER keep BEFORE DELETE ON t WHEN old.id=3 BEGIN SELECT RAISE(ABORT,'kept'); END;");
    EXPECT_FALSE(rs->DeleteRow(2));
    EXPECT_EQ(rs->GetRecordCount(), 6);
    ASSERT_EQ(m_lines.Count(), 1u);
    EXPECT_EQ(m_lines.Last().type, platform::CAPTION_LINE_ERROR);
    EXPECT_NE(m_lines.Last().text.find(L"kept"), std::wstring::npos);
    EXPECT_NE(m_lines.Last().text.find(L"\n Location <00027>"), std::wstring::npos);

    // The rows before the refused one come back: the rows go together or not at all.
    EXPECT_EQ(rs->DeleteRows({0, 1, 2, 3}), 0);
    EXPECT_EQ(Raw("SELECT group_concat(id) FROM t"), "1,2,3,4,5,6");
    EXPECT_EQ(rs->GetRecordCount(), 6);
    EXPECT_EQ(rs->GetRowId(0), 1);
    EXPECT_TRUE(sqlite3_get_autocommit(m_db.m_pDb)) << "the transaction was ended";
}

TEST_F(RecSet, ARollbackConflictDeletesNothingAndKeepsTheList)
{
    auto rs = Open(std::string(kPeople) +
                   "CREATE TRIGGER keep BEFORE DELETE ON t WHEN old.id=3 BEGIN SELECT RAISE(ROLLBACK,'kept'); END;");
    EXPECT_EQ(rs->DeleteRows({0, 1, 2}), 0);
    EXPECT_EQ(Raw("SELECT count(*) FROM t"), "6");
    EXPECT_EQ(rs->GetRecordCount(), 6);
}

// Beside another connection that writes and reads the same file, in either journal
// mode: a delete takes all its rows, and one that a row refuses takes none of them.
TEST_F(RecSet, ADeleteGoesWholeOrNotAtAllBesideAnotherConnection)
{
    for (const char* mode : {"DELETE", "WAL"}) {
        SCOPED_TRACE(mode);
        m_db.CloseDb();
        for (const wchar_t* suffix : {L"", L"-wal", L"-shm"})
            QFile::remove(platform::ToQString(m_folder.Path(L"test.db") + suffix));
        auto rs = Open(std::string("PRAGMA journal_mode = ") + mode + ";" + kPeople +
                       "CREATE TRIGGER keep BEFORE DELETE ON t WHEN old.id = 4 BEGIN SELECT RAISE(ABORT, 'kept'); END;");
        ExecRaw(m_path, "INSERT INTO t(id, name) VALUES (7, 'other')");
        EXPECT_EQ(rs->DeleteRows({0, 1}), 2);
        EXPECT_EQ(Raw("SELECT group_concat(id) FROM t"), "3,4,5,6,7");
        EXPECT_EQ(rs->DeleteRows({0, 1, 2}), 0); // ids 3, 4, 5: 4 is refused
        EXPECT_EQ(Raw("SELECT group_concat(id) FROM t"), "3,4,5,6,7");
        ExecRaw(m_path, "DELETE FROM t WHERE id = 7");
        EXPECT_EQ(Raw("PRAGMA integrity_check"), "ok");
        EXPECT_EQ(Raw("PRAGMA journal_mode"), mode == std::string("WAL") ? "wal" : "delete");
    }
}

struct SearchCase {
    const wchar_t* text;
    int mode;
    const char* ids;
};

TEST_F(RecSet, SearchBindsTheTextAndKeepsLikeSemantics)
{
    auto rs = Open(kPeople);
    const SearchCase cases[] = {
        {L"ab", SEARCH_START_OF_FIELD, "3,4"},      // starts with, ASCII case ignored
        {L"abc", SEARCH_WHOLE_FIELD, "3"},       // equals
        {L"ab", SEARCH_ANY_PART_OF_FIELD, "3,4,5"},    // contains
        {L"O'Brien", SEARCH_WHOLE_FIELD, "2"},   // a quote is a character like any other
        {L"O'", SEARCH_START_OF_FIELD, "2"},
        {L"a_c", SEARCH_WHOLE_FIELD, "6"},
        {L"a_", SEARCH_START_OF_FIELD, "1,3,4,6"},  // '_' stays a wildcard
        {L"%", SEARCH_START_OF_FIELD, "1,2,3,4,5,6"},
        {L"'; DROP TABLE t; --", SEARCH_ANY_PART_OF_FIELD, ""},
    };
    for (const SearchCase& c : cases) {
        CADbSqlQuery query;
        rs->Search(query, c.text, c.mode, 1);
        std::string ids;
        while (!query.Eof()) {
            if (!ids.empty())
                ids += ',';
            ids += std::to_string(query.GetInt64Field(0));
            query.NextRow();
        }
        query.Finalize();
        EXPECT_EQ(ids, c.ids) << testing_support::Utf8(c.text) << " mode " << c.mode;
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(Raw("SELECT count(*) FROM t"), "6");

    rs->m_strSort = L"[id] DESC ";
    CADbSqlQuery sorted;
    rs->Search(sorted, L"ab", SEARCH_ANY_PART_OF_FIELD, 1);
    EXPECT_EQ(sorted.GetInt64Field(0), 5);
    sorted.Finalize();

    rs->m_strSort = L"nosuchcolumn";
    CADbSqlQuery failed;
    rs->Search(failed, L"ab", SEARCH_START_OF_FIELD, 1);
    EXPECT_TRUE(failed.Eof());
    EXPECT_EQ(failed.m_pStmt.get(), nullptr);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"\n Location <00002>"), std::wstring::npos);
    EXPECT_EQ(m_boxes.Last().caption, L"Error");
}

TEST_F(RecSet, RelatedRowsMatchEveryColumnInAnyOrderWithBoundValues)
{
    auto rs = Open("CREATE TABLE parent(a TEXT, b INTEGER, c TEXT);"
                   "INSERT INTO parent VALUES('x''y',2,'p1'),('x''y',3,'p2'),('z',2,'p3');"
                   "CREATE TABLE t(id INTEGER PRIMARY KEY, pb INTEGER, pa TEXT, other TEXT);"
                   "INSERT INTO t VALUES(1,2,'x''y','o'),(2,NULL,'z','o');");
    ASSERT_TRUE(rs->MoveTo(1));
    CADbSqlQuery related;
    // The columns come out of the table's order and map to other names in the parent.
    rs->FindRelatedRows(related, 0, L"parent", {L"pa", L"pb"}, {L"a", L"b"});
    ASSERT_FALSE(related.Eof());
    EXPECT_STREQ(related.GetFieldValue(2), L"p1");
    EXPECT_TRUE(related.NextRow());
    related.Finalize();
    EXPECT_EQ(rs->m_nCurrentRow, 1) << "the current row stays";
    EXPECT_EQ(rs->GetCurrentRowId(), 2);

    // A NULL value relates to nothing.
    rs->FindRelatedRows(related, 1, L"parent", {L"pa", L"pb"}, {L"a", L"b"});
    EXPECT_TRUE(related.Eof());
    related.Finalize();
    EXPECT_EQ(m_boxes.Count(), 0u);

    rs->FindRelatedRows(related, 0, L"parent", {L"pa"}, {L"nosuch"});
    EXPECT_TRUE(related.Eof());
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"\n Location <00003>"), std::wstring::npos);
}

TEST_F(RecSet, ForeignKeyTargetsListTheParentColumns)
{
    auto rs = Open("CREATE TABLE p(k TEXT PRIMARY KEY, j TEXT);"
                   "CREATE TABLE t(id INTEGER PRIMARY KEY, pk TEXT REFERENCES p(j), pj TEXT REFERENCES p);");
    ASSERT_EQ(rs->m_arrForeignKeyColumns.size(), 2u);
    EXPECT_TRUE(rs->IsForeignKeyColumn(L"j"));
    EXPECT_TRUE(rs->IsForeignKeyColumn(L""));
    EXPECT_FALSE(rs->IsForeignKeyColumn(L"J"));
}

TEST_F(RecSet, BlobCellsRoundTripAndFailuresReachTheCaller)
{
    auto rs = Open(kPeople);
    std::string data;
    EXPECT_TRUE(rs->GetBlob(1, 3, data));
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(rs->GetBlobSize(1, 3), 0);

    const std::string bytes("\x00\xff\x10zero", 7);
    rs->SetBlob(1, 3, bytes.data(), static_cast<sqlite3_int64>(bytes.size()));
    EXPECT_TRUE(rs->GetBlob(1, 3, data));
    EXPECT_EQ(data, bytes);
    EXPECT_EQ(rs->GetBlobSize(1, 3), 7);
    EXPECT_EQ(Raw("SELECT typeof(photo) FROM t WHERE id=2"), "blob");

    rs->SetBlob(0, 3, nullptr, 0);
    EXPECT_EQ(Raw("SELECT quote(photo) FROM t WHERE id=1"), "NULL");
    EXPECT_FALSE(rs->GetBlob(0, 4, data));
    EXPECT_EQ(rs->GetBlobSize(0, 4), 0);

    ExecRaw(m_path, "DELETE FROM t WHERE id=3;"
                    "CREATE TRIGGER ro BEFORE UPDATE ON t BEGIN SELECT RAISE(ABORT,'read only'); END;");
    EXPECT_FALSE(rs->GetBlob(2, 3, data)) << "a row that is gone cannot be read";
    EXPECT_EQ(Failure([&] { rs->SetBlob(2, 3, bytes.data(), 7); }).m_nCode, SQLITE_NOTFOUND);
    EXPECT_NE(Failure([&] { rs->SetBlob(1, 3, bytes.data(), 7); }).m_strMessage.find(L"read only"), std::wstring::npos);
    EXPECT_EQ(Raw("SELECT hex(photo) FROM t WHERE id=2"), "00FF107A65726F");
}

} // namespace
