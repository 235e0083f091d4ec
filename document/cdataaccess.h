#pragma once
// The datasheet model of one data window.
class CDataAccess {
public:
    // Opens the program-wide connection on g_strCurrentDbPath and names the database's
    // saved-query node; false after showing the failure.
    static bool OpenDatabase();
};
