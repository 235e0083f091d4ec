#include "shell/settingsloaders.h"

#include "data/cappdatafile.h"
#include "data/constants.h"
#include "data/datetimeutil.h"
#include "data/formatstring.h"
#include "data/settings.h"
#include "document/session/cmainframebase.h"
#include "platform/utf16.h"
#include "shell/backup.h"

#include <QDir>

#include <functional>
#include <vector>

namespace {

struct SettingNode {
    const wchar_t* name;
    int type;
    std::wstring defaultText;
    std::function<void(const std::wstring&)> take; // the global takes the stored text
    std::function<void()> onCreate = {};            // what making the node also does
};

std::function<void(const std::wstring&)> Text(std::wstring& global)
{
    return [&global](const std::wstring& text) { global = text; };
}

template <typename T> std::function<void(const std::wstring&)> Number(T& global)
{
    return [&global](const std::wstring& text) { global = static_cast<T>(ReadDecimal(text)); };
}

std::wstring Decimal(int value)
{
    std::wstring text;
    return FormatString(text, L"%d", value);
}

void LoadSettings(const std::vector<SettingNode>& nodes)
{
    CAppDataFile* store = MainAppDataFile();
    if (!store)
        return;
    for (const SettingNode& node : nodes) {
        if (!store->NodeExists(node.name)) {
            store->CreateNode(node.name, node.type);
            store->AddTextValue(node.name, node.defaultText);
            if (node.onCreate)
                node.onCreate();
        }
        std::wstring text;
        if (store->GetTextValue(node.name, text))
            node.take(text);
    }
}

} // namespace

std::wstring DefaultDbFolder()
{
    std::wstring folder = platform::FromQString(QDir::homePath());
    if (folder.empty() || folder.back() != L'/')
        folder += L'/';
    return folder;
}

std::wstring DefaultBackupFolder() { return DefaultDbFolder() + BACKUP_FOLDER_NAME; }

void LoadDatasheetSettings()
{
    LoadSettings({
        {NODE_CURFONT, NODE_TYPE_TEXT, STR_DEFAULT_FONT_FACE, Text(g_strFontFace)},
        {NODE_CURFONTSIZE, NODE_TYPE_TEXT, STR_DEFAULT_FONT_SIZE, Text(g_strFontSize)},
        {NODE_CURTEXTCOLOR, NODE_TYPE_NUMBER, Decimal(DEFAULT_TEXT_COLOR), Number(g_clrText)},
        {NODE_CUREVENROWCOLOR, NODE_TYPE_NUMBER, Decimal(DEFAULT_EVEN_ROW_COLOR), Number(g_clrEvenRow)},
        {NODE_CURODDROWCOLOR, NODE_TYPE_NUMBER, Decimal(DEFAULT_ODD_ROW_COLOR), Number(g_clrOddRow)},
        {NODE_MAX_GRID_ROW, NODE_TYPE_NUMBER, Decimal(DEFAULT_MAX_GRID_ROWS),
         [](const std::wstring& text) { g_nMaxGridRows = ReadDecimal(text); }},
        {NODE_DEF_COL_WIDTH, NODE_TYPE_NUMBER, Decimal(DEFAULT_COL_WIDTH), Number(g_nDefColWidth)},
        {NODE_DEF_REPORT_COL_WIDTH, NODE_TYPE_NUMBER, Decimal(DEFAULT_REPORT_COL_WIDTH), Number(g_nReportColWidth)},
        {NODE_REPORT_HEADER_TEXT, NODE_TYPE_TEXT, DEFAULT_REPORT_TEXT, Text(g_strReportHeader)},
        {NODE_REPORT_FOOTER_TEXT, NODE_TYPE_TEXT, DEFAULT_REPORT_TEXT, Text(g_strReportFooter)},
    });
}

void LoadBackupSettings()
{
    const std::wstring backupFolder = DefaultBackupFolder();
    LoadSettings({
        {NODE_BUP_AUTO, NODE_TYPE_NUMBER, Decimal(0), [](const std::wstring& text) { g_bAutoBackup = ReadDecimal(text) != 0; },
         [] { g_bAutoBackup = false; }},
        {NODE_BUP_PERIOD, NODE_TYPE_NUMBER, Decimal(BACKUP_DAILY), Number(g_nBackupPeriod),
         [] { g_nBackupPeriod = BACKUP_DAILY; }},
        {NODE_BUP_WORK_FILE, NODE_TYPE_TEXT, L"", Text(g_strBackupFile), [] { g_strBackupFile.clear(); }},
        {NODE_BUP_LOCATION, NODE_TYPE_TEXT, backupFolder, Text(g_strBackupFolder),
         [&backupFolder] {
             g_strBackupFolder = backupFolder;
             QDir().mkdir(platform::ToQString(backupFolder)); // a failure shows at the first backup
         }},
    });
    LoadLastBackupTime();
}
