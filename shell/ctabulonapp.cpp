#include "shell/ctabulonapp.h"

#include "shell/cmainframe.h"

CTabulonApp* g_pTabulonApp = nullptr;

CTabulonApp::CTabulonApp()
{
    g_pTabulonApp = this;
    g_pOpenRequest = &m_openRequest;
}

CTabulonApp::~CTabulonApp()
{
    m_pMainWnd.reset();
    g_pOpenRequest = nullptr;
    g_pTabulonApp = nullptr;
}
