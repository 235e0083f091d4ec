#pragma once
// The open of database files and the look-up of open data windows: the services behind
// the application object's OpenDocumentFile, FindDataDocument, ActivateOpenDocument
// and NextRecentFile.
#include <QMdiSubWindow>
#include <QPointer>

#include <string>
#include <vector>

class CTabulonDoc;
class CTabulonView;

// Every road that opens a database file comes here. A transaction open on the database
// is ended first as the user says (EndOpenTransaction); Cancel opens nothing. The path
// is made absolute; a file that is not a database (its box shown) leaves every window
// and the workspace as they are. Otherwise every data window closes (each document waits until the loader has left
// its record set), the main frame clears the workspace, and the document's open handler
// opens the file. True when the file is then the open database.
bool OpenDatabaseFile(const std::wstring& path);

// The first open data window of the kind (a document kind, OpenTableData and the rest)
// that shows the object (exactly that name; empty for the diagram and the settings
// list); null when none. A title says nothing: a table may be named like another
// window's title.
CTabulonDoc* FindDataDocument(int kind, const std::wstring& object);
// The document's first view that is a data view; null when none.
CTabulonView* FindDataView(CTabulonDoc* document);
// Activates the frame of that window; false when there is none.
bool ActivateDataWindow(int kind, const std::wstring& object);

// The view of the active data window; null when none is active.
CTabulonView* ActiveDataView();
// New Window applies to the active data window: it shows the rows of a table, a view or
// a query.
bool CanOpenNewDataWindow();
// New Window: another window on the active data window's document, showing the same
// rows, made active; its view, null when New Window does not apply.
CTabulonView* OpenNewDataWindow();

// A table's windows closed for a change of its table, and brought back afterwards where
// they were: among the MDI area's windows (their tabs), each on the rows it showed, the
// one that was active active again.
class TableWindowPlace {
public:
    // Notes the places of the document's windows and closes them; a text typed in an
    // open cell is stored first.
    explicit TableWindowPlace(CTabulonDoc* document);
    // Windows on the table (the name it bears now) where the closed ones were; null when
    // the table cannot be opened.
    CTabulonDoc* Reopen(const std::wstring& table) const;

private:
    struct Place {
        int m_nWindowIndex = -1;
        int m_nTopRow = 0;
        int m_nCursorRow = -1;
        int m_nCursorColumn = -1;
    };
    std::vector<Place> m_arrPlaces; // the document's windows in the order they were made
    int m_nActivePlace = -1;        // the one of them that was active, -1 none
    QPointer<QMdiSubWindow> m_pActiveFrame; // the window active before, when another one
};

// The recent-file list one entry a call, from the first on: false at the end of the
// list or at an empty entry, after which the next call starts from the first again.
bool NextRecentFile(std::wstring& out);
