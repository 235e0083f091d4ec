#pragma once
// Test helpers: recorders for message boxes and caption lines, a temporary folder
// with real database files, a copy of the shipped application data file, and the
// failure a call throws.
#include "data/cadbsqlexception.h"
#include "platform/captionline.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;
class QPushButton;
class QWidget;

namespace testing_support {

// Records every box shown while it lives and answers each one: with the queued
// answers first, then with the default answer.
class BoxRecorder {
public:
    explicit BoxRecorder(int defaultAnswer = platform::IDOK);
    ~BoxRecorder();

    std::vector<platform::MessageBoxRequest> Boxes() const;
    size_t Count() const;
    platform::MessageBoxRequest Last() const;
    void QueueAnswer(int answer);
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::vector<platform::MessageBoxRequest> m_boxes;
    std::deque<int> m_answers;
    int m_defaultAnswer;
    platform::MessageBoxHandler m_previous;
};

struct CaptionLine {
    std::wstring text;
    int type;
};

// Records every caption-strip line written while it lives.
class CaptionRecorder {
public:
    CaptionRecorder();
    ~CaptionRecorder();

    std::vector<CaptionLine> Lines() const;
    size_t Count() const;
    CaptionLine Last() const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::vector<CaptionLine> m_lines;
    platform::CaptionSink m_previous;
};

// A temporary folder removed with the object.
class TempFolder {
public:
    TempFolder();
    // Full path of a file in the folder.
    std::wstring Path(const std::wstring& name) const;
    // Makes a database file in the folder by running the script; returns its path.
    std::wstring MakeDatabase(const std::wstring& name, const std::string& script) const;
    // Makes a file of 4096 bytes that is no database; returns its path.
    std::wstring MakeJunkFile(const std::wstring& name) const;
    // Copies the shipped application data file into the folder; returns its path.
    std::wstring CopyAppDataFile(const std::wstring& name = L"KVZDATA.KVZ") const;

private:
    QTemporaryDir m_dir;
};

// Runs SQL on a file through a private raw connection (fixtures and checks).
void ExecRaw(const std::wstring& path, const std::string& sql);
// The first column of the first row of a query as UTF-8, "<null>" for NULL, "<none>" without a row.
std::string QueryRaw(const std::wstring& path, const std::string& sql);

std::string Utf8(const std::wstring& text);

// A raw connection of "another program" on a file, closed with the object.
class OtherConnection {
public:
    explicit OtherConnection(const std::wstring& path, int busyTimeout = 20000);
    ~OtherConnection();
    OtherConnection(const OtherConnection&) = delete;
    OtherConnection& operator=(const OtherConnection&) = delete;
    int Exec(const std::string& sql) const;
    sqlite3* db = nullptr;
};

// A database in rollback-journal mode with 10,000 rows, and the open write transaction of
// another program on it that has spilled into the file: 10,000 more rows inserted with a
// tiny page cache, so that the writer holds the file's exclusive lock until it ends.
std::wstring MakeSpilledDatabase(const TempFolder& folder, const std::wstring& name,
                                 std::unique_ptr<OtherConnection>& writer);

// The push button with the text among the widget's children; fails the test when there is none.
QPushButton* ButtonWithText(const QWidget& parent, const QString& text);

// The failure a call throws; fails the test when it throws none.
template <typename F> CADbSqlException Failure(F call)
{
    try {
        call();
    } catch (const CADbSqlException& e) {
        return e;
    }
    ADD_FAILURE() << "no failure thrown";
    return CADbSqlException(-1, L"", L"");
}

} // namespace testing_support
