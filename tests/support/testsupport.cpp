#include "testsupport.h"

#include "data/sqlstatement.h"
#include "platform/utf16.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QPushButton>

namespace testing_support {

BoxRecorder::BoxRecorder(int defaultAnswer)
    : m_defaultAnswer(defaultAnswer)
{
    m_previous = platform::SetMessageBoxHandler([this](const platform::MessageBoxRequest& request) {
        std::lock_guard lock(m_mutex);
        m_boxes.push_back(request);
        if (m_answers.empty())
            return m_defaultAnswer;
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    });
}

BoxRecorder::~BoxRecorder() { platform::SetMessageBoxHandler(m_previous); }

std::vector<platform::MessageBoxRequest> BoxRecorder::Boxes() const
{
    std::lock_guard lock(m_mutex);
    return m_boxes;
}

size_t BoxRecorder::Count() const
{
    std::lock_guard lock(m_mutex);
    return m_boxes.size();
}

platform::MessageBoxRequest BoxRecorder::Last() const
{
    std::lock_guard lock(m_mutex);
    return m_boxes.empty() ? platform::MessageBoxRequest{} : m_boxes.back();
}

void BoxRecorder::QueueAnswer(int answer)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back(answer);
}

void BoxRecorder::Clear()
{
    std::lock_guard lock(m_mutex);
    m_boxes.clear();
}

CaptionRecorder::CaptionRecorder()
{
    m_previous = platform::SetCaptionSink([this](const std::wstring& text, int type) {
        std::lock_guard lock(m_mutex);
        m_lines.push_back({text, type});
    });
}

CaptionRecorder::~CaptionRecorder() { platform::SetCaptionSink(m_previous); }

std::vector<CaptionLine> CaptionRecorder::Lines() const
{
    std::lock_guard lock(m_mutex);
    return m_lines;
}

size_t CaptionRecorder::Count() const
{
    std::lock_guard lock(m_mutex);
    return m_lines.size();
}

CaptionLine CaptionRecorder::Last() const
{
    std::lock_guard lock(m_mutex);
    return m_lines.empty() ? CaptionLine{L"", 0} : m_lines.back();
}

void CaptionRecorder::Clear()
{
    std::lock_guard lock(m_mutex);
    m_lines.clear();
}

TempFolder::TempFolder()
{
    if (!m_dir.isValid())
        ADD_FAILURE() << "cannot make a temporary folder";
}

std::wstring TempFolder::Path(const std::wstring& name) const
{
    return platform::FromQString(m_dir.filePath(platform::ToQString(name)));
}

std::wstring TempFolder::MakeDatabase(const std::wstring& name, const std::string& script) const
{
    const std::wstring path = Path(name);
    ExecRaw(path, script);
    return path;
}

std::wstring TempFolder::MakeJunkFile(const std::wstring& name) const
{
    const std::wstring path = Path(name);
    QFile file(platform::ToQString(path));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    return path;
}

std::wstring TempFolder::CopyAppDataFile(const std::wstring& name) const
{
    const std::wstring path = Path(name);
    if (!QFile::copy(QStringLiteral(TABULON_APPDATA_FILE), platform::ToQString(path)))
        ADD_FAILURE() << "cannot copy " << TABULON_APPDATA_FILE;
    QFile::setPermissions(platform::ToQString(path), QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

std::string Utf8(const std::wstring& text) { return platform::ToQString(text).toStdString(); }

void ExecRaw(const std::wstring& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(Utf8(path).c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "") << " in: " << sql;
    sqlite3_free(error);
    sqlite3_close(db);
}

OtherConnection::OtherConnection(const std::wstring& path, int busyTimeout)
{
    EXPECT_EQ(sqlite3_open(Utf8(path).c_str(), &db), SQLITE_OK);
    sqlite3_busy_timeout(db, busyTimeout);
}

OtherConnection::~OtherConnection() { sqlite3_close(db); }

int OtherConnection::Exec(const std::string& sql) const { return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr); }

std::wstring MakeSpilledDatabase(const TempFolder& folder, const std::wstring& name,
                                 std::unique_ptr<OtherConnection>& writer)
{
    const std::string rows = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
                             "INSERT INTO t SELECT randomblob(300) FROM n;";
    const std::wstring path = folder.MakeDatabase(name, "PRAGMA journal_mode=DELETE; CREATE TABLE t(a); " + rows);
    writer = std::make_unique<OtherConnection>(path);
    EXPECT_EQ(writer->Exec("PRAGMA cache_size=10; BEGIN; " + rows), SQLITE_OK);
    const OtherConnection reader(path, 0);
    EXPECT_EQ(reader.Exec("SELECT count(*) FROM t"), SQLITE_BUSY) << "the transaction did not spill";
    return path;
}

std::string QueryRaw(const std::wstring& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(Utf8(path).c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return "<cannot open>";
    }
    std::string result = "<none>";
    {
        sqlite3_stmt* prepared = nullptr;
        const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &prepared, nullptr);
        const SqlStatement stmt(prepared);
        if (rc != SQLITE_OK) {
            result = std::string("<error: ") + sqlite3_errmsg(db) + ">";
        } else if (sqlite3_step(stmt) == SQLITE_ROW) {
            const unsigned char* text = sqlite3_column_text(stmt, 0);
            result = text ? reinterpret_cast<const char*>(text) : "<null>";
        }
    }
    sqlite3_close(db);
    return result;
}

QPushButton* ButtonWithText(const QWidget& parent, const QString& text)
{
    for (QPushButton* button : parent.findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

} // namespace testing_support
