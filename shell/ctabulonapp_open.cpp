// Opening database files, and finding and activating open data windows.
#include "shell/ctabulonapp.h"

#include "document/windows/ctabulonview.h"
#include "document/windows/datawindows.h"

bool CTabulonApp::OpenDocumentFile(const std::wstring& path) { return OpenDatabaseFile(path); }

void CTabulonApp::OnFileNew() { DataWindowTemplate().OpenNewDocument(); }

CTabulonDoc* CTabulonApp::FindDataDocument(int kind, const std::wstring& object)
{
    return ::FindDataDocument(kind, object);
}

bool CTabulonApp::ActivateOpenDocument(int kind, const std::wstring& object) { return ActivateDataWindow(kind, object); }

bool CTabulonApp::NextRecentFile(std::wstring& out) { return ::NextRecentFile(out); }
