#include "data/browseforfolder.h"

#include "platform/folderdialog.h"

std::wstring& BrowseForFolder(std::wstring& out, QWidget* owner, const std::wstring& initialFolder,
                              const std::wstring& title)
{
    out = platform::BrowseFolder(owner, initialFolder, title);
    return out;
}
