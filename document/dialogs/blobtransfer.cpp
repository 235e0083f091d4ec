#include "document/dialogs/blobtransfer.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/cadbsqlrecset.h"
#include "data/constants.h"
#include "data/failure.h"
#include "data/formatstring.h"
#include "document/datasheet/cdataaccess.h"
#include "document/dialogs/cretrrestblobdlg.h"
#include "platform/filebeside.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/waitcursor.h"

#include <QFile>

#include <new>

namespace {

constexpr wchar_t TXT_NEW_ROW_BLOB[] = L"Attach or detach on a new row is not allowed.";
constexpr wchar_t TXT_FILE_TOO_LARGE[] =
    L"The file holds %d bytes, more than the %d bytes this database accepts in one cell. Nothing was stored.";

// The file system's message, as long as a box shows it.
constexpr int FILE_MESSAGE_LENGTH = 256;

// Writes the cell's BLOB to the file.
void RestoreBlob(CADbSqlRecSet& recset, int row, int column, const std::wstring& path)
{
    std::string bytes;
    if (!recset.GetBlob(row, column, bytes)) {
        ShowFailureBox(STR_ROW_NOT_READABLE, LOC_BLOB_TRANSFER);
        return;
    }
    WriteBufferToFile(path, bytes.data(), static_cast<sqlite3_int64>(bytes.size()));
}

// Stores the file into the cell.
void RetrieveBlob(CADbSqlRecSet& recset, int row, int column, const std::wstring& path, QWidget* owner)
{
    // The longest value the engine stores; a longer file is refused before it is read.
    const sqlite3_int64 maxLength = recset.m_pDatabase->MaxValueLength();
    std::string bytes;
    sqlite3_int64 length = 0;
    switch (ReadFileToBuffer(path, bytes, maxLength, length)) {
    case FileReadResult::Ignored:
        return;
    case FileReadResult::TooLarge: {
        std::wstring text;
        platform::MessageBox(owner, FormatString(text, TXT_FILE_TOO_LARGE, length, maxLength),
                             STR_INVALID_OPERATION_CAPTION, platform::MB_OK | platform::MB_ICONWARNING);
        return;
    }
    case FileReadResult::Read:
        break;
    }
    try {
        recset.SetBlob(row, column, bytes.data(), length);
    } catch (const CADbSqlException& e) {
        // A row deleted meanwhile changes nothing; the record set reports it without a message.
        if (e.m_nCode == SQLITE_NOTFOUND)
            ShowFailureBox(STR_ROW_NOT_READABLE, LOC_BLOB_TRANSFER);
        else
            ShowFailureBox(e, LOC_BLOB_TRANSFER);
    }
}

} // namespace

bool WriteBufferToFile(const std::wstring& path, const char* data, sqlite3_int64 length)
{
    // No data (a NULL cell): the file is neither made nor truncated.
    if (!data)
        return false;
    if (const int error = platform::ReplaceFileContents(path, data, length)) {
        ShowFailureBox(platform::ErrorText(error).substr(0, FILE_MESSAGE_LENGTH), LOC_BLOB_TRANSFER);
        return false;
    }
    return true;
}

FileReadResult ReadFileToBuffer(const std::wstring& path, std::string& data, sqlite3_int64 maxLength,
                                sqlite3_int64& length)
{
    data.clear();
    length = 0;
    QFile file(platform::ToQString(path));
    if (!file.open(QIODevice::ReadOnly))
        return FileReadResult::Ignored;
    length = file.size();
    if (length <= 0)
        return FileReadResult::Ignored;
    if (length > maxLength)
        return FileReadResult::TooLarge;
    // Read straight into the buffer that is stored: the file is held in memory once.
    try {
        data.resize(static_cast<size_t>(length));
    } catch (const std::bad_alloc&) {
        return FileReadResult::Ignored; // no room to read it, like a file that cannot be read
    }
    sqlite3_int64 read = 0;
    while (read < length) {
        const qint64 count = file.read(data.data() + read, length - read);
        if (count <= 0)
            break;
        read += count;
    }
    if (read < length) {
        std::string().swap(data);
        return FileReadResult::Ignored;
    }
    return FileReadResult::Read;
}

void HandleBlobCellButton(CDataAccess& data, int row, int column, QWidget* owner)
{
    // Once loading has ended, the line after the last record is the new-row line.
    if (data.IsLoadEnded() && row >= data.GetRecordCount()) {
        platform::MessageBox(owner, TXT_NEW_ROW_BLOB, STR_INVALID_OPERATION_CAPTION,
                             platform::MB_OK | platform::MB_ICONINFORMATION);
        return;
    }
    CADbSqlRecSet* recset = data.m_pRecSet.get();
    const sqlite3_int64 size = recset ? recset->GetBlobSize(row, column) : 0;
    CRetrRestBlobDlg dialog(size <= 0);
    if (dialog.DoModal() != QDialog::Accepted || !recset)
        return;
    platform::WaitCursor wait;
    if (dialog.m_nMode == CRetrRestBlobDlg::MODE_RESTORE)
        RestoreBlob(*recset, row, column, dialog.m_strPath);
    else
        RetrieveBlob(*recset, row, column, dialog.m_strPath, owner);
}
