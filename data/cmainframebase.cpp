#include "data/cmainframebase.h"

CMainFrameBase* g_pMainFrame = nullptr;
