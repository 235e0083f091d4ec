#pragma once
// Runs the new-database dialog and hands its choices to the main frame.
#include <string>

class CNewDbMgr {
public:
    // True after Create, with the six outputs set; false after Cancel, with them untouched.
    bool RunNewDatabaseDialog(std::wstring& newPath, std::wstring& sourcePath, bool& fromExisting,
                              std::wstring& encoding, std::wstring& pageSize, bool& autoVacuum) const;
};
