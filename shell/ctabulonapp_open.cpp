// Opening database files, and finding and activating open data windows.
#include "shell/ctabulonapp.h"

#include "document/windows/ctabulonview.h"
#include "document/windows/datawindows.h"

bool CTabulonApp::OpenDocumentFile(const std::wstring& path) { return OpenDatabaseFile(path); }

void CTabulonApp::OnFileNew() { DataWindowTemplate().OpenNewDocument(); }

CTabulonDoc* CTabulonApp::FindDocumentByTitle(const std::wstring& title) { return ::FindDocumentByTitle(title); }

bool CTabulonApp::ActivateOpenDocument(const std::wstring& title) { return ActivateDataWindow(title); }

bool CTabulonApp::NextRecentFile(std::wstring& out) { return ::NextRecentFile(out); }
