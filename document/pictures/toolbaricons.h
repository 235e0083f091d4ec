#pragma once
// The pictures of the main toolbar's buttons, drawn in code at 32 x 32 (and sharp at
// twice that on high-density screens).
#include <QIcon>

enum class ToolBarPicture {
    NewDatabase,
    Open,
    SaveAs,
    ImportExport,
    Relationships,
    Console,
    PrintReport,
    Backup,
    Vacuum,
    DatabaseSettings,
    Settings,
    Help,
    About,
};

QIcon ToolBarIcon(ToolBarPicture picture);
