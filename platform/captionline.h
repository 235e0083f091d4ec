#pragma once
// The one-line message area of the caption strip, as the data layer reaches it.
// The data layer knows no widgets: the caption strip binds itself here at start-up.
#include <functional>
#include <string>

namespace platform {

// Line types: 1 normal, 2 warning, 3 error.
using CaptionSink = std::function<void(const std::wstring& text, int type)>;

// Writes a line. On the user-interface thread the sink runs at once; from any other
// thread the line is queued to the user-interface thread and the call never waits.
// Without a sink the line is dropped.
void ShowCaptionLine(const std::wstring& text, int type);

// Binds the sink (the caption strip, or a test's recorder); returns the old one.
CaptionSink SetCaptionSink(CaptionSink sink);

} // namespace platform
