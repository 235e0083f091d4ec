#pragma once
// Splits a path into folder, file name and extension. Paths here have no drive
// part; the folder keeps its trailing separator.
#include <string>

class CSplitPath {
public:
    explicit CSplitPath(const wchar_t* path);

    std::wstring GetDrive() const { return m_szDrive; }
    std::wstring GetDir() const { return m_szDir; }
    std::wstring GetFileName() const { return m_szFileName; }
    std::wstring GetExt() const { return m_szExt; }

    wchar_t m_szPath[260];
    wchar_t m_szDrive[3];
    wchar_t m_szDir[256];
    wchar_t m_szFileName[256];
    wchar_t m_szExt[256];
};
