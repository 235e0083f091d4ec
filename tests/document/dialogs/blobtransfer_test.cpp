// The BLOB cell button over a real table: files into cells and cells into files,
// byte for byte, and every refusal and failure on the way.
#include "document/dialogs/blobtransfer.h"

#include "data/cadbsqldb.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "document/datasheet/cdataaccess.h"
#include "document/datasheet/cdatainterface.h"
#include "document/dialogs/cretrrestblobdlg.h"
#include "platform/filebeside.h"
#include "document/datasheet/datasheetlines.h"
#include "databasefixture.h"
#include "scopedhandlers.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <vector>

using testing_support::ExecRaw;
using testing_support::QueryRaw;

namespace {

// Row 0 has an empty (NULL) cell, row 1 a zero-length BLOB, row 2 three bytes.
const char* const kFixture =
    "CREATE TABLE files(id INTEGER PRIMARY KEY, name TEXT, data BLOB);"
    "INSERT INTO files VALUES(1, 'none', NULL);"
    "INSERT INTO files VALUES(2, 'zero', x'');"
    "INSERT INTO files VALUES(3, 'three', x'0A0D1A');";

constexpr int DATA = 2;

class NullLines : public DatasheetLines {
public:
    void UpdateLineCount(int) override {}
};

// Bytes that a text-mode transfer or a C-string copy would damage: NUL, 0xFF, CR LF,
// a lone LF and Ctrl-Z, and every other byte value.
std::string BinaryBytes()
{
    std::string bytes("\0\xFF\r\n\n\x1A\0", 7);
    for (int round = 0; round < 40; ++round)
        for (int value = 0; value < 256; ++value)
            bytes.push_back(static_cast<char>(value));
    return bytes;
}

std::string Hex(const std::string& bytes)
{
    return QByteArray::fromStdString(bytes).toHex().toUpper().toStdString();
}

void WriteFile(const std::wstring& path, const std::string& bytes)
{
    QFile file(QString::fromStdWString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
}

std::string ReadFile(const std::wstring& path)
{
    QFile file(QString::fromStdWString(path));
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll().toStdString();
}

// How the scripted dialog is answered.
struct Answer {
    bool restore = false;  // choose "Restore Blob" before browsing
    std::wstring path;     // the file chosen; empty: the dialog is cancelled
};

class BlobTransfer : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        ResetDatabaseGlobals();
        ASSERT_NO_FATAL_FAILURE(OpenDatabase(L"files.db", kFixture));
        m_bridge.m_pLines = &m_shownLines;
        m_model = std::make_unique<CDataAccess>();
        m_model->m_pDataInterface = &m_bridge;
        m_bridge.m_pDataAccess = m_model.get();
        ASSERT_TRUE(m_model->Open(L"files", RECSET_MODE_TABLE));
        m_model->InitRowBuffers();
        ASSERT_TRUE(QTest::qWaitFor([this] { return m_model->IsLoadEnded(); }, 10000));
        ASSERT_EQ(m_model->GetItemCount(), 4);
    }
    void TearDown() override
    {
        m_model.reset();
        DatabaseFixture::TearDown();
    }

    // Presses the cell's button with the dialog answered as given; records whether Restore
    // was offered and how often the dialog ran.
    void Press(int row, const Answer& answer)
    {
        ScopedFileHandler files([&](const platform::FileRequest&) { return answer.path; });
        ScopedDialogHandler dialogs([&](QDialog& shown) {
            ++m_dialogs;
            auto& blob = static_cast<CRetrRestBlobDlg&>(shown);
            m_restoreOffered = blob.GetRestoreButton()->isEnabled();
            if (answer.path.empty())
                return static_cast<int>(QDialog::Rejected);
            if (answer.restore)
                QTest::mouseClick(blob.GetRestoreButton(), Qt::LeftButton);
            QTest::mouseClick(blob.GetBrowseButton(), Qt::LeftButton);
            return shown.result();
        });
        HandleBlobCellButton(*m_model, row, DATA, &m_owner);
    }

    // Every row as id:hex(data), NULL kept apart from an empty BLOB.
    std::string Cells() const
    {
        return QueryRaw(m_path, "SELECT group_concat(id || ':' || quote(data), ' ') FROM files ORDER BY id");
    }

    NullLines m_shownLines;
    CDataInterface m_bridge;
    std::unique_ptr<CDataAccess> m_model;
    QWidget m_owner;
    int m_dialogs = 0;
    bool m_restoreOffered = false;
};

const std::string kCells = "1:NULL 2:X'' 3:X'0A0D1A'";

TEST_F(BlobTransfer, FixtureIsAsWritten) { EXPECT_EQ(Cells(), kCells); }

// A binary file goes into an empty cell and back out to a new file unchanged; restoring
// over an existing, longer file replaces it whole.
TEST_F(BlobTransfer, BinaryFileRoundTrip)
{
    const std::string bytes = BinaryBytes();
    const std::wstring source = m_folder.Path(L"source.bin");
    WriteFile(source, bytes);

    Press(0, {false, source});
    EXPECT_FALSE(m_restoreOffered);
    EXPECT_EQ(QueryRaw(m_path, "SELECT hex(data) FROM files WHERE id = 1"), Hex(bytes));
    EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(id || ':' || quote(data), ' ') FROM files WHERE id > 1"),
              "2:X'' 3:X'0A0D1A'");

    const std::wstring target = m_folder.Path(L"restored.bin");
    Press(0, {true, target});
    EXPECT_TRUE(m_restoreOffered);
    EXPECT_EQ(ReadFile(target), bytes);

    const std::wstring longer = m_folder.Path(L"longer.bin");
    WriteFile(longer, std::string(bytes.size() * 2, 'x'));
    Press(0, {true, longer});
    EXPECT_EQ(ReadFile(longer), bytes);

    EXPECT_EQ(m_dialogs, 3);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// One byte and ten megabytes go in and come out unchanged.
TEST_F(BlobTransfer, RoundTripsOfOneByteAndTenMegabytes)
{
    std::string large(10 * 1024 * 1024, '\0');
    for (size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>((i * 2654435761u) >> 13);
    for (const std::string& bytes : {std::string("\0", 1), large}) {
        SCOPED_TRACE(bytes.size());
        const std::wstring source = m_folder.Path(L"in.bin");
        const std::wstring target = m_folder.Path(L"out.bin");
        WriteFile(source, bytes);
        Press(0, {false, source});
        EXPECT_EQ(QueryRaw(m_path, "SELECT length(data) FROM files WHERE id = 1"), std::to_string(bytes.size()));
        Press(0, {true, target});
        EXPECT_TRUE(m_restoreOffered);
        EXPECT_TRUE(ReadFile(target) == bytes);
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// NULL data writes nothing: no file is made, an existing one keeps its bytes.
TEST_F(BlobTransfer, NullDataWritesNothing)
{
    const std::wstring fresh = m_folder.Path(L"fresh.bin");
    const std::wstring kept = m_folder.Path(L"kept.bin");
    WriteFile(kept, "keep");
    EXPECT_FALSE(WriteBufferToFile(fresh, nullptr, 4));
    EXPECT_FALSE(WriteBufferToFile(kept, nullptr, 0));
    EXPECT_FALSE(QFile::exists(QString::fromStdWString(fresh)));
    EXPECT_EQ(ReadFile(kept), "keep");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// The new-row line has no cell to attach to: its box, and no dialog.
TEST_F(BlobTransfer, NewRowLineIsRefused)
{
    Press(3, {false, m_folder.Path(L"unused.bin")});
    EXPECT_EQ(m_dialogs, 0);
    ASSERT_EQ(m_boxes.Count(), 1u);
    const platform::MessageBoxRequest box = m_boxes.Last();
    EXPECT_EQ(box.text, L"Attach or detach on a new row is not allowed.");
    EXPECT_EQ(box.caption, L"Invalid Operation");
    EXPECT_EQ(box.style, platform::MB_OK | platform::MB_ICONINFORMATION);
    EXPECT_EQ(box.owner, &m_owner);
    EXPECT_EQ(Cells(), kCells);
}

// Restore is offered only for a cell that holds bytes; Cancel changes nothing.
TEST_F(BlobTransfer, RestoreOnlyForCellsWithBytesAndCancelDoesNothing)
{
    const struct {
        int row;
        bool offered;
    } cases[] = {{0, false}, {1, false}, {2, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        Press(c.row, {});
        EXPECT_EQ(m_restoreOffered, c.offered);
    }
    EXPECT_EQ(m_dialogs, 3);
    EXPECT_EQ(Cells(), kCells);
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(QDir(QString::fromStdWString(m_folder.Path(L""))).entryList(QDir::Files).size(), 2); // app data, database
}

// A source file that is missing, empty or a folder is ignored without a message.
TEST_F(BlobTransfer, UnreadableOrEmptySourceChangesNothing)
{
    const std::wstring empty = m_folder.Path(L"empty.bin");
    WriteFile(empty, "");
    const std::wstring folder = m_folder.Path(L"folder");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdWString(folder)));
    for (const std::wstring& source : {m_folder.Path(L"missing.bin"), empty, folder}) {
        SCOPED_TRACE(testing_support::Utf8(source));
        Press(2, {false, source});
    }
    EXPECT_EQ(m_dialogs, 3);
    EXPECT_EQ(Cells(), kCells);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A target that cannot be opened, or fills up while it is written, shows the file
// system's message with "00028".
TEST_F(BlobTransfer, UnwritableTargetShowsTheFileSystemMessage)
{
    const std::wstring folder = m_folder.Path(L"folder");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdWString(folder)));
    std::vector<std::wstring> targets = {m_folder.Path(L"no/such/folder/out.bin"), folder};
    if (QFile::exists(QStringLiteral("/dev/full")))
        targets.push_back(L"/dev/full"); // every write fails: no space left
    for (const std::wstring& target : targets) {
        SCOPED_TRACE(testing_support::Utf8(target));
        m_boxes.Clear();
        Press(2, {true, target});
        ASSERT_EQ(m_boxes.Count(), 1u);
        const platform::MessageBoxRequest box = m_boxes.Last();
        EXPECT_EQ(box.caption, L"Error");
        EXPECT_EQ(box.style, platform::MB_OK | platform::MB_ICONERROR);
        const std::wstring suffix = L"\n Location <00028>";
        ASSERT_GT(box.text.size(), suffix.size());
        EXPECT_EQ(box.text.substr(box.text.size() - suffix.size()), suffix);
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdWString(m_folder.Path(L"no"))));
    EXPECT_EQ(Cells(), kCells);
}

// Writing a cell over an existing file that fails part-way (the process's file-size
// limit stands in for a full disk) shows the file system's message and leaves the old
// file byte for byte as it was, with nothing beside it.
TEST_F(BlobTransfer, AFailedWriteLeavesTheOldFileAsItWas)
{
    ExecRaw(m_path, "UPDATE files SET data = randomblob(1000000) WHERE id = 3");
    const std::wstring target = m_folder.Path(L"old.bin");
    WriteFile(target, "the user's old file");
    const QStringList before = QDir(QString::fromStdWString(m_folder.Path(L""))).entryList(QDir::Files | QDir::Hidden);

    rlimit previous {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto signalBefore = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 100000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    Press(2, {true, target});
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, signalBefore);

    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, platform::ErrorText(EFBIG) + L"\n Location <00028>"); // "File too large"
    EXPECT_EQ(ReadFile(target), "the user's old file");
    EXPECT_EQ(QDir(QString::fromStdWString(m_folder.Path(L""))).entryList(QDir::Files | QDir::Hidden), before);
}

// A store the engine refuses is shown, and the cell keeps its bytes: a trigger that
// raises, and a row another program deleted while the dialog was open (in both
// directions: storing and restoring).
TEST_F(BlobTransfer, FailedTransferIsReported)
{
    const std::wstring source = m_folder.Path(L"source.bin");
    WriteFile(source, BinaryBytes());
    ExecRaw(m_path, "CREATE TRIGGER frozen BEFORE UPDATE OF data ON files WHEN old.id = 3"
                    " BEGIN SELECT RAISE(ABORT, 'row 3 is frozen'); END;");
    Press(2, {false, source});
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().caption, L"Error");
    EXPECT_EQ(m_boxes.Last().style, platform::MB_OK | platform::MB_ICONERROR);
    EXPECT_NE(m_boxes.Last().text.find(L"row 3 is frozen"), std::wstring::npos);
    EXPECT_NE(m_boxes.Last().text.find(L"\n Location <00028>"), std::wstring::npos);
    EXPECT_EQ(Cells(), kCells);

    const std::wstring target = m_folder.Path(L"target.bin");
    for (const Answer& answer : {Answer{false, source}, Answer{true, target}}) {
        SCOPED_TRACE(answer.restore ? "restore" : "retrieve");
        ExecRaw(m_path, "INSERT OR REPLACE INTO files VALUES(2, 'zero', x'BEEF')");
        m_boxes.Clear();
        ScopedFileHandler files([&](const platform::FileRequest&) { return answer.path; });
        ScopedDialogHandler dialogs([&](QDialog& shown) {
            auto& blob = static_cast<CRetrRestBlobDlg&>(shown);
            ExecRaw(m_path, "DELETE FROM files WHERE id = 2");
            if (answer.restore)
                QTest::mouseClick(blob.GetRestoreButton(), Qt::LeftButton);
            QTest::mouseClick(blob.GetBrowseButton(), Qt::LeftButton);
            return shown.result();
        });
        HandleBlobCellButton(*m_model, 1, DATA, &m_owner);
        ASSERT_EQ(m_boxes.Count(), 1u);
        EXPECT_EQ(m_boxes.Last().text, L"The row could not be read; nothing was written.\n Location <00028>");
        EXPECT_EQ(QueryRaw(m_path, "SELECT count(*) FROM files WHERE id = 2"), "0");
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdWString(target)));
}

// A file longer than the engine's length limit is refused before it is read; one within
// it is stored.
TEST_F(BlobTransfer, FileAboveTheLengthLimitIsRefused)
{
    sqlite3_limit(g_pCurrentDb->m_pDb, SQLITE_LIMIT_LENGTH, 1000);
    const std::wstring tooLong = m_folder.Path(L"long.bin");
    WriteFile(tooLong, std::string(1001, '\xFF'));
    Press(2, {false, tooLong});
    ASSERT_EQ(m_boxes.Count(), 1u);
    const platform::MessageBoxRequest box = m_boxes.Last();
    EXPECT_EQ(box.text,
              L"The file holds 1001 bytes, more than the 1000 bytes this database accepts in one cell. Nothing was stored.");
    EXPECT_EQ(box.caption, L"Invalid Operation");
    EXPECT_EQ(box.style, platform::MB_OK | platform::MB_ICONWARNING);
    EXPECT_EQ(box.owner, &m_owner);
    EXPECT_EQ(Cells(), kCells);

    const std::wstring within = m_folder.Path(L"within.bin");
    WriteFile(within, std::string(900, '\x01'));
    Press(2, {false, within});
    EXPECT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(QueryRaw(m_path, "SELECT length(data) FROM files WHERE id = 3"), "900");
}

} // namespace
