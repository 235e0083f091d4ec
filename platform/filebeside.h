#pragma once
// A file written under a temporary name in the folder of the name it is meant for, so
// that nobody ever finds it half written under that name: the writer fills the
// temporary file, and publishing flushes it to disk and only then gives it its name.
// A file that is never published is removed.
#include <cstdint>
#include <string>

namespace platform {

class FileBeside {
public:
    // Creates an empty temporary file beside finalPath: a hidden name made of the final
    // file's name and a random suffix, in the same folder, so that naming it is a link
    // or a rename within one file system. Error() tells whether that worked.
    explicit FileBeside(const std::wstring& finalPath);
    ~FileBeside(); // removes the temporary file unless it was published
    FileBeside(const FileBeside&) = delete;
    FileBeside& operator=(const FileBeside&) = delete;

    // 0, or the errno value of the temporary file's creation.
    int Error() const { return m_error; }
    // The temporary file, for a writer of its own (the engine); it must have closed the
    // file before it is published.
    const std::wstring& TempPath() const { return m_tempPath; }
    // Appends the bytes to the temporary file: 0 or an errno value.
    int Write(const char* data, std::int64_t count);

    // Flushes the file to disk, links it to the final name, which is never written over
    // (EEXIST when a file has that name), removes the temporary name and flushes the
    // folder. 0 or an errno value; the temporary file is removed either way.
    int PublishNew();
    // The same, replacing the file at the final name in one step; the new file takes
    // the permission bits of the one it replaces.
    int PublishReplacing();

private:
    // Flushes the temporary file to disk and closes it.
    int Flush();

    std::wstring m_finalPath;
    std::wstring m_tempPath;
    int m_error = 0;
    int m_fd = -1; // open once Write was called
    bool m_bPublished = false;
};

// Writes the bytes to the file at path, replacing it: the bytes go into a file beside
// it, which replaces the old one only once written whole and flushed, so a write that
// fails part-way (a full disk) leaves the old file as it was. A link is followed: the
// file it names is replaced. An existing file that may not be written is refused
// (EACCES); a device or a pipe takes the bytes directly. 0 or an errno value.
int ReplaceFileContents(const std::wstring& path, const char* data, std::int64_t length);

// The system's text of an errno value.
std::wstring ErrorText(int error);

} // namespace platform
