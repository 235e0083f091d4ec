#include "document/cmainframebase.h"

CMainFrameBase* g_pMainFrame = nullptr;
