#pragma once
// Moving BLOB values between datasheet cells and files: the two file functions and the
// data view's handling of a BLOB cell's "..." button.
#include <sqlite3.h>

#include <string>

class CDataAccess;
class QWidget;

// Writes the bytes to the file, replacing an existing one only once they are written
// whole (platform::ReplaceFileContents). A file that cannot be written shows the file
// system's message with location "00028"; false then, and an old file is as it was.
// NULL data writes nothing and leaves an existing file as it is.
bool WriteBufferToFile(const std::wstring& path, const char* data, sqlite3_int64 length);

enum class FileReadResult {
    Read,     // data holds the whole file
    Ignored,  // the file cannot be opened or read, or is empty
    TooLarge, // the file is longer than maxLength; nothing was read
};

// Reads the whole file, in binary, into data. length receives the file's length
// whenever it could be opened.
FileReadResult ReadFileToBuffer(const std::wstring& path, std::string& data, sqlite3_int64 maxLength,
                                sqlite3_int64& length);

// The "..." button of a BLOB cell: asks through the Retrieve/Restore dialog whether a file
// is read into the cell or the cell written to a file, and does it. Once loading has
// ended the line after the last record is the new-row line, where nothing can be
// attached or detached. owner owns the boxes of refused operations.
void HandleBlobCellButton(CDataAccess& data, int row, int column, QWidget* owner);
