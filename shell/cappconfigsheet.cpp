#include "shell/cappconfigsheet.h"

CAppConfigSheet::CAppConfigSheet(QWidget* parent) : PropertySheet(QStringLiteral("Tabulon Settings"), parent)
{
    AddPage(&m_dataSheetPage);
    AddPage(&m_dbConfigPage);
}

CAppConfigSheet::~CAppConfigSheet() { RemovePages(); }

// Compiled here, so that the page and dialog code links without the rest of the shell.
#include "moc_cappconfigsheet.cpp"
