#pragma once
// A file written in the folder of the name it is meant for, so that nobody ever finds it
// half written under that name: the writer fills the file, and publishing flushes it to
// disk and only then gives it its name. Until then the file has no name at all where the
// file system can make unnamed files; elsewhere it has a hidden name beside the final
// one, locked while its writer lives. A file that is never published is removed, and a
// writer killed before it could remove its hidden file leaves it only until the next
// file is written beside a name in that folder.
#include <cstdint>
#include <string>

namespace platform {

class FileBeside {
public:
    // Creates an empty file in finalPath's folder, so that naming it is a link or a
    // rename within one file system, after removing the hidden files that writers which
    // no longer run left in that folder. Error() tells whether that worked.
    explicit FileBeside(const std::wstring& finalPath);
    ~FileBeside(); // removes the file unless it was published
    FileBeside(const FileBeside&) = delete;
    FileBeside& operator=(const FileBeside&) = delete;

    // 0, or the errno value of the file's creation.
    int Error() const { return m_error; }
    // The file, open for reading and writing, for a writer of its own (the engine); it
    // stays open until the file is published or dropped, and is closed here.
    int Descriptor() const { return m_fd; }
    // Appends the bytes to the file: 0 or an errno value.
    int Write(const char* data, std::int64_t count);

    // Flushes the file to disk, links it to the final name, which is never written over
    // (EEXIST when a file has that name), removes the hidden name and flushes the
    // folder. 0 or an errno value; the file is removed on failure.
    int PublishNew();
    // The same, replacing the file at the final name in one step; the new file takes
    // the permission bits of the one it replaces.
    int PublishReplacing();

private:
    // Gives the unnamed file a hidden name beside the final one.
    int NameHidden();
    // Closes the file once it has its final name; a full disk may show only here.
    int Close();

    std::wstring m_finalPath;
    std::wstring m_hiddenPath; // empty while the file has no name
    int m_error = 0;
    int m_fd = -1;
};

// On at start: files beside a name are made unnamed where the file system can. Tests
// turn it off to take the way of a file system that cannot, with the hidden name.
void UseUnnamedFiles(bool use);

// Writes the bytes to the file at path, replacing it: the bytes go into a file beside
// it, which replaces the old one only once written whole and flushed, so a write that
// fails part-way (a full disk) leaves the old file as it was. A link is followed: the
// file it names is replaced. An existing file that may not be written is refused
// (EACCES); a device or a pipe takes the bytes directly. 0 or an errno value.
int ReplaceFileContents(const std::wstring& path, const char* data, std::int64_t length);

// The system's text of an errno value.
std::wstring ErrorText(int error);

} // namespace platform
