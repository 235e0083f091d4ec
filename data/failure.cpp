#include "data/failure.h"

#include "data/constants.h"
#include "data/formatstring.h"
#include "platform/captionline.h"
#include "platform/messagebox.h"

#include <utility>

std::wstring FailureText(const std::wstring& text, const wchar_t* code)
{
    std::wstring out;
    return FormatString(out, STR_LOCATION_FORMAT, text, code);
}

namespace {

thread_local FailureContext* t_pFailureContext = nullptr;

} // namespace

FailureContext::FailureContext(std::wstring prefix)
    : m_strPrefix(std::move(prefix))
    , m_pOuter(t_pFailureContext)
{
    t_pFailureContext = this;
}

FailureContext::~FailureContext() { t_pFailureContext = m_pOuter; }

void ShowFailureBox(const std::wstring& text, const wchar_t* code)
{
    std::wstring shown = FailureText(text, code);
    if (FailureContext* context = t_pFailureContext) {
        if (context->m_nShown++ == 0 && !context->m_strPrefix.empty())
            shown = context->m_strPrefix + L"\n" + shown;
    }
    platform::MessageBox(nullptr, shown, STR_ERROR_CAPTION, platform::MB_OK | platform::MB_ICONERROR);
}

void ShowFailureBox(const CADbSqlException& e, const wchar_t* code) { ShowFailureBox(e.GetErrorText(), code); }

void ShowFailureLine(const std::wstring& text, const wchar_t* code)
{
    platform::ShowCaptionLine(FailureText(text, code), platform::CAPTION_LINE_ERROR);
}

void ShowFailureLine(const CADbSqlException& e, const wchar_t* code) { ShowFailureLine(e.GetErrorText(), code); }
