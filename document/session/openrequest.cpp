#include "document/session/openrequest.h"

OpenRequest g_openRequest;

std::wstring GetOpenRequestText() { return g_openRequest.m_strText; }
