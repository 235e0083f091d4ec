#include "shell/ctabulonapp.h"

#include "shell/cmainframe.h"

CTabulonApp* g_pTabulonApp = nullptr;

CTabulonApp::CTabulonApp()
{
    g_pTabulonApp = this;
}

CTabulonApp::~CTabulonApp()
{
    m_pMainWnd.reset();
    g_pTabulonApp = nullptr;
}
