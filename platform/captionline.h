#pragma once
// The one-line message area of the caption strip, as the data layer reaches it.
// The data layer knows no widgets: the caption strip binds itself here at start-up.
#include <functional>
#include <string>

namespace platform {

// Line types. A warning and an error beep.
inline constexpr int CAPTION_LINE_NORMAL = 1;
inline constexpr int CAPTION_LINE_WARNING = 2;
inline constexpr int CAPTION_LINE_ERROR = 3;

using CaptionSink = std::function<void(const std::wstring& text, int type)>;

// Writes a line. On the user-interface thread the sink runs at once; from any other
// thread the line is queued to the user-interface thread and the call never waits.
// Without a sink the line is dropped.
void ShowCaptionLine(const std::wstring& text, int type);

// The number of lines written so far, from any thread, counted when written: a caller
// that wrote a passing line ("Sorting...") clears it only when no line came since.
unsigned CaptionLineCount();

// Clears a passing line: `written` is CaptionLineCount() right after the line was
// written. A line written since stays.
void ClearPassingCaptionLine(unsigned written);

// Binds the sink (the caption strip, or a test's recorder); returns the old one.
CaptionSink SetCaptionSink(CaptionSink sink);

} // namespace platform
