#pragma once
// A record set over a real database file with a recording notification target, as
// the datasheet model drives it.
#include "data/cadbsqldb.h"
#include "data/cadbsqlrecset.h"
#include "platform/messagetarget.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <string>
#include <utility>
#include <vector>

// The record set of a datasheet: every column in table order.
class TestRecSet : public CADbSqlRecSet {
public:
    TestRecSet(CADbSqlDb* db, const std::wstring& name)
        : CADbSqlRecSet(db)
    {
        m_strTableName = name;
    }
    std::wstring GetDefaultSource() override { return L""; }
    std::wstring GetDefaultTableName() override { return L""; }
    std::wstring GetDefaultColumnOrder() override { return L""; }

    // Opens like the datasheet model: the column order names every column.
    bool OpenTable()
    {
        std::vector<CADbSqlFieldInfo> fields;
        GetFieldInfos(m_strTableName, fields);
        m_strColumnOrder.clear();
        for (size_t i = 0; i < fields.size(); ++i)
            m_strColumnOrder += (i == 0 ? L" " : L",") + std::to_wstring(i + 1);
        return Open(RECSET_MODE_TABLE);
    }
};

// Records every UM_LOAD_TABLE_DATA it receives, in order.
class LoadRecorder : public platform::MessageTarget {
public:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != UM_LOAD_TABLE_DATA)
            return 0;
        posts.emplace_back(static_cast<int>(wParam), static_cast<long long>(lParam));
        if (watched)
            loadingAtPost.push_back(watched->IsLoading());
        return 0;
    }
    // Delivers posted messages until `count` final posts (wParam 0) arrived; false after 20 s.
    bool WaitForEnds(size_t count = 1)
    {
        const QDeadlineTimer deadline(20000);
        while (Ends() < count && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return Ends() >= count;
    }
    size_t Ends() const
    {
        size_t n = 0;
        for (const auto& post : posts)
            n += post.first == 0 ? 1 : 0;
        return n;
    }
    std::vector<std::pair<int, long long>> posts;
    // When set, the record set's IsLoading() at each delivered post.
    const CADbSqlRecSet* watched = nullptr;
    std::vector<bool> loadingAtPost;
};

// Delivers the events queued so far (posts, caption lines and boxes from the loader).
inline void DeliverQueuedEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// A script that fills table t(id INTEGER PRIMARY KEY, name TEXT) with rows 1..n.
inline std::string NumberedRows(const std::string& table, long long rows)
{
    return "CREATE TABLE " + table + "(id INTEGER PRIMARY KEY, name TEXT);"
           "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x<" + std::to_string(rows) +
           ") INSERT INTO " + table + " SELECT x, 'n' || x FROM c;";
}
