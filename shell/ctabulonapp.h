#pragma once
// The application object: starts and ends the program, makes the main frame, keeps
// the few values every window reads (the pending window request, the database-open
// flag, the object pictures, the look) and carries the application's commands.
#include "document/pictures/cobjectimagelist.h"
#include "document/session/openrequest.h"

#include <QStringList>

#include <memory>
#include <string>

class CMainFrame;
class CTabulonDoc;
class CTabulonView;

inline constexpr wchar_t STR_COMPANION_PROGRAM[] = L"Ostrivex";
inline constexpr wchar_t STR_COMPANION_FAILED[] = L"Could not execute Ostrivex.exe";
inline constexpr wchar_t STR_CLOSE_FOR_IMPORT_EXPORT[] =
    L"All datasheets will be closed for this operation. Do you want to continue?";
inline constexpr wchar_t STR_CLOSE_FOR_IMPORT_EXPORT_CAPTION[] = L"Closing datasheet";
inline constexpr wchar_t STR_SAVE_AS_FAILED[] = L"Could not copy the database file to <%s>:\n%s";
inline constexpr wchar_t STR_SAVE_AS_FILE_EXISTS[] =
    L"A file named <%s> exists already.\nSave As makes a new file only: please choose another name.";
inline constexpr wchar_t STR_SAVE_AS_CAPTION[] = L"Save As";
inline constexpr wchar_t STR_CREATE_MISSING_FILE[] = L"The file <%s> does not exist.\nDo you want to create it?";
inline constexpr wchar_t STR_FILE_GONE[] = L"The file <%s> does not exist any more.";
inline constexpr wchar_t STR_ABOUT_CAPTION[] = L"About Tabulon";
inline constexpr wchar_t STR_ABOUT_VERSION[] = L"Tabulon, Version 1.0.1.1";
inline constexpr wchar_t STR_ABOUT_SQLITE_VERSION[] = L"Built with SQLite version: %s";
// The Application Look items: one per style Qt offers, numbered from this id.
inline constexpr int FIRST_LOOK_ID = 205;

class CTabulonApp {
public:
    // Sets g_pTabulonApp; a QApplication must exist.
    CTabulonApp();
    ~CTabulonApp();
    CTabulonApp(const CTabulonApp&) = delete;
    CTabulonApp& operator=(const CTabulonApp&) = delete;

    // The start-up sequence: the main frame (which may end the process when the
    // application data file is missing), dropped files, the command line (a database
    // path opens that file), the maximised window. False ends the program.
    bool InitInstance(const QStringList& arguments);
    // The main event loop until the main window closes; its exit code.
    int Run();
    // Closes the documents, stops the loader and closes the connection; the exit code.
    int ExitInstance();

    // Opening database files and finding open data windows.
    // True when the file was opened as the current database. A path with no file behind
    // it is made into a new database only after the user agreed to it (New database has
    // asked already).
    bool OpenDocumentFile(const std::wstring& path);
    // The same for a file that was there before (Reload, the reopening after a failed
    // Save As): when it is gone the user is told so and nothing is opened.
    bool OpenExistingDocumentFile(const std::wstring& path);
    // The data window of the kind showing the object (see FindDataDocument).
    bool ActivateOpenDocument(int kind, const std::wstring& object);
    CTabulonDoc* FindDataDocument(int kind, const std::wstring& object);
    bool NextRecentFile(std::wstring& out);

    // File New: a data window for the pending request, which it consumes.
    void OnFileNew();
    // Closes every data window; their loads have ended when it returns.
    void CloseAllDocuments();

    // Commands, with the handlers that decide whether they are enabled.
    void OnAbout();
    void OnFileOpen();
    bool OnUpdateFileOpen() const;
    void OnSaveAs();
    bool OnUpdateOpenDbPath() const;
    void OnImportExport();
    void OnDatabaseConfiguration();
    void OnRelationships();
    bool OnUpdateRelationships() const;
    // Print Report (Print Preview) and Print of the active data window.
    void OnPrintReport();
    bool OnUpdatePrintReport() const;
    void OnFilePrint();
    // Print Setup: the page set-up dialog on the program's printer.
    void OnFilePrintSetup();

    CMainFrame* GetMainFrame() const { return m_pMainWnd.get(); }

    int m_nApplicationLook = 0;      // the Application Look item of the style in use; 0 for none
    bool m_bHighColorIcons = true;
    bool m_bDatabaseOpen = false;    // set by the first database opened, never cleared
    CObjectImageList m_imageList;    // the 16x16 object pictures
    OpenRequest& m_openRequest = g_openRequest; // the program's one pending request

private:
    std::unique_ptr<CMainFrame> m_pMainWnd;
};

// The one application object; null before it is made and after it is gone.
extern CTabulonApp* g_pTabulonApp;

// The document's first view that is a data view; null when none.
CTabulonView* FindDataView(CTabulonDoc* document);
