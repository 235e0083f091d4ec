#pragma once
// Checks of typed numbers and dates, upper-casing and the editor navigation keys.
#include "platform/names.h"
#include "platform/wintypes.h"

#include <string>

// Digits, at most one dot and at most one minus anywhere; "" passes.
bool IsDecimalText(const std::wstring& text);
// Digits and at most one minus anywhere; "" passes.
bool IsIntegerText(const std::wstring& text);
// A name that holds nothing, or nothing but blanks and tabs: no object or column may be
// given it, though the engine would take "[]" or "[ ]".
bool IsEmptyName(const std::wstring& name);
// A calendar date of the Gregorian calendar; the year has no range.
bool IsValidDate(int year, int month, int day);
// ASCII a-z to A-Z in place; every other character stays.
void StringToUpper(std::wstring& text);
// Equal texts when ASCII letters are folded, as the engine matches names.
using platform::EqualsAsciiNoCase;

// The text with every line break ("\r\n", "\r" or "\n") written as "\n": a multi-line
// editor hands its text back with its own line breaks.
std::wstring NormalizeLineBreaks(const std::wstring& text);

// Navigation keys of the cell editors. The key is a Qt key code, with
// NAVKEY_SHIFT added while Shift is held. code: 1 left, 2 right, 3 up, 4 down.
inline constexpr UINT NAVKEY_SHIFT = 0x02000000; // Qt::ShiftModifier
bool MapNavigationKey(UINT key, UINT& code);
