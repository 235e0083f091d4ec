#include "document/openrequest.h"

OpenRequest* g_pOpenRequest = nullptr;

std::wstring GetOpenRequestText() { return g_pOpenRequest ? g_pOpenRequest->m_strText : std::wstring(); }
