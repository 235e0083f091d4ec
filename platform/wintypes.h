#pragma once
// The handful of message-passing types that the program's window messages use.
#include <cstdint>

using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// Base number of the program's own window messages (UM_...).
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;
