#pragma once
// The text on the system clipboard.
#include <string>

namespace platform {

// The clipboard's text; "" when it holds none.
std::wstring ClipboardText();
void SetClipboardText(const std::wstring& text);

} // namespace platform
