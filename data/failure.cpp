#include "data/failure.h"

#include "data/constants.h"
#include "data/formatstring.h"
#include "platform/captionline.h"
#include "platform/messagebox.h"

std::wstring FailureText(const std::wstring& text, const wchar_t* code)
{
    std::wstring out;
    return FormatString(out, STR_LOCATION_FORMAT, text, code);
}

void ShowFailureBox(const std::wstring& text, const wchar_t* code)
{
    platform::MessageBox(nullptr, FailureText(text, code), STR_ERROR_CAPTION,
                         platform::MB_OK | platform::MB_ICONERROR);
}

void ShowFailureBox(const CADbSqlException& e, const wchar_t* code) { ShowFailureBox(e.GetErrorText(), code); }

void ShowFailureLine(const std::wstring& text, const wchar_t* code)
{
    platform::ShowCaptionLine(FailureText(text, code), platform::CAPTION_LINE_ERROR);
}

void ShowFailureLine(const CADbSqlException& e, const wchar_t* code) { ShowFailureLine(e.GetErrorText(), code); }
