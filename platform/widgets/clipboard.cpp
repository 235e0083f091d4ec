#include "platform/widgets/clipboard.h"

#include "platform/utf16.h"

#include <QClipboard>
#include <QGuiApplication>

namespace platform {

std::wstring ClipboardText() { return FromQString(QGuiApplication::clipboard()->text()); }

void SetClipboardText(const std::wstring& text) { QGuiApplication::clipboard()->setText(ToQString(text)); }

} // namespace platform
