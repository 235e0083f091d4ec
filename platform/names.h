#pragma once
// Names as the engine matches them: it folds the ASCII letters A to Z and nothing else,
// so "É" and "é" are two names while "Album" and "ALBUM" are one.
#include <functional>
#include <string>

namespace platform {

// Equal texts when ASCII letters are folded; every other character must be the same.
bool EqualsAsciiNoCase(const std::wstring& a, const std::wstring& b);

// The entry texts of a list, by index.
using NameEntry = std::function<std::wstring(int index)>;

// The entry that stands for a stored name: the first one equal to it, else the first one
// equal to it with ASCII letters folded; -1 when there is none.
int FindName(int count, const NameEntry& entry, const std::wstring& name);

} // namespace platform
