#pragma once
// The open of database files and the look-up of open data windows: the services behind
// the application object's OpenDocumentFile, FindDocumentByTitle, ActivateOpenDocument
// and NextRecentFile.
#include <string>

class CTabulonDoc;
class CTabulonView;

// Every road that opens a database file comes here. A transaction open on the database
// is ended first as the user says (EndOpenTransaction); Cancel opens nothing. The path
// is made absolute; a file that is not a database (its box shown) leaves every window
// and the workspace as they are. Otherwise every data window closes (each document waits until the loader has left
// its record set), the main frame clears the workspace, and the document's open handler
// opens the file. True when the file is then the open database.
bool OpenDatabaseFile(const std::wstring& path);

// The first open document whose title is exactly the text; null when none.
CTabulonDoc* FindDocumentByTitle(const std::wstring& title);
// The document's first view that is a data view; null when none.
CTabulonView* FindDataView(CTabulonDoc* document);
// Activates the frame of the window titled exactly so; false when there is none.
bool ActivateDataWindow(const std::wstring& title);

// The recent-file list one entry a call, from the first on: false at the end of the
// list or at an empty entry, after which the next call starts from the first again.
bool NextRecentFile(std::wstring& out);
