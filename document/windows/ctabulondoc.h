#pragma once
// The document of every data window, and the open of a database file. As the target of
// a file open it opens the database into the program-wide state (backup check,
// connection, the options of a database being created, name lists), tells the main
// frame, records the file in the recent-file list and reports failure: no window stays
// for a database. As the document of a data window it prepares the window of its kind
// for the pending request, or runs a statement that returns no rows without a window.
#include "document/datasheet/cdataaccess.h"
#include "document/datasheet/cdatainterface.h"
#include "document/datasheet/datasheetrows.h"
#include "document/windows/doctemplate.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CADbSqlDb;

inline constexpr wchar_t STR_EXECUTED_STATEMENT[] = L"Successfully executed statement";
inline constexpr wchar_t STR_PRAGMA_SUCCEEDED[] = L"Pragma execution succeeded";

// The backup step of an open: runs before the file is opened and makes a copy when the
// backup policy says one is due. The shell installs it; without one no copy is made.
using BackupCheck = std::function<void(const std::wstring& path)>;
BackupCheck SetBackupCheck(BackupCheck check);

class CTabulonDoc : public CDocument {
public:
    CTabulonDoc();
    // Stops a running load and waits until the loader has let go of the record set.
    ~CTabulonDoc() override;

    bool OnNewDocument() override;
    // Always false: the database lives in the program-wide state, not in a document.
    bool OnOpenDocument(const std::wstring& path) override;

    std::wstring m_strPragmaText;             // the statement of a PRAGMA window
    int m_nKind = 0;                          // the request's mode, copied by the view's OnCreate
    // What the window shows, by which it is found: the table or view name of a table or
    // view window, empty for the kinds that have one window at most (the diagram, the
    // settings list) and for query and PRAGMA windows, which are never looked for.
    std::wstring m_strObject;
    std::unique_ptr<CDataAccess> m_pDataAccess;
    CDataInterface m_wndDataInterface;        // the bridge of a datasheet window
    // The datasheet's rows, which the grid of every window on the document shows; they
    // go first, before the bridge and the model they read.
    DatasheetRows m_rows{m_wndDataInterface};

    // The result of a PRAGMA window's one run: the column names (none when no row came)
    // and the rows' texts.
    std::vector<std::wstring> m_arrPragmaColumns;
    std::vector<std::vector<std::wstring>> m_arrPragmaRows;

private:
    // The model and the bridge know each other.
    void WireModel();
    bool OpenDatasheet(const std::wstring& text);
    bool OpenPragma(const std::wstring& text);
};

// "<Query%d>" with a number counted from 1 for the whole process.
std::wstring NextQueryTitle();

// The PRAGMA settings shown in the database settings window: (name, last value read).
using PragmaSetting = std::pair<std::wstring, std::wstring>;
extern std::vector<PragmaSetting> PragmaSettingList;
// Fills the list with its 37 names and empty values, once.
void InitPragmaSettingList();
// Each setting's value on the connection into the list (ReadPragmaValue).
void ReadPragmaSettings(CADbSqlDb& db);
// Reads the settings of the source database (opened read-only) and writes them to the
// open database with "PRAGMA name = value", except auto_vacuum, collation_list,
// compile_options, encoding and empty values.
void WritePragmaSettings(const std::wstring& source);
// Runs the stored statements of the source database (opened read-only) on the open
// database, skipping the shadow tables of virtual tables; the first failure ends it.
void CopySchemaFromDatabase(const std::wstring& source);
