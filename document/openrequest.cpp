#include "document/openrequest.h"

OpenRequest g_openRequest;

std::wstring GetOpenRequestText() { return g_openRequest.m_strText; }
