#include "platform/captionline.h"

#include "platform/threads.h"

#include <atomic>
#include <mutex>

namespace platform {
namespace {

std::mutex g_sinkMutex;
CaptionSink g_sink;
std::atomic<unsigned> g_nLines{0};

void Deliver(const std::wstring& text, int type)
{
    CaptionSink sink;
    {
        std::lock_guard lock(g_sinkMutex);
        sink = g_sink;
    }
    if (sink)
        sink(text, type);
}

} // namespace

void ShowCaptionLine(const std::wstring& text, int type)
{
    ++g_nLines;
    if (IsGuiThread())
        Deliver(text, type);
    else
        PostToGuiThread([text, type] { Deliver(text, type); });
}

unsigned CaptionLineCount()
{
    return g_nLines.load();
}

void ClearPassingCaptionLine(unsigned written)
{
    if (CaptionLineCount() == written)
        ShowCaptionLine(std::wstring(), CAPTION_LINE_NORMAL);
}

CaptionSink SetCaptionSink(CaptionSink sink)
{
    std::lock_guard lock(g_sinkMutex);
    std::swap(g_sink, sink);
    return sink;
}

} // namespace platform
