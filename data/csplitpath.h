#pragma once
// Splits a path into folder, file name and extension. Paths here have no drive
// part; the folder keeps its trailing separator. A path of any length splits whole.
#include <string>

class CSplitPath {
public:
    explicit CSplitPath(const wchar_t* path);

    std::wstring GetDrive() const { return m_szDrive; }
    std::wstring GetDir() const { return m_szDir; }
    std::wstring GetFileName() const { return m_szFileName; }
    std::wstring GetExt() const { return m_szExt; }

    std::wstring m_szPath;
    std::wstring m_szDrive;
    std::wstring m_szDir;
    std::wstring m_szFileName;
    std::wstring m_szExt;
};
