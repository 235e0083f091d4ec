#include "shell/cappconfigsheet.h"

CAppConfigSheet::CAppConfigSheet(QWidget* parent) : PropertySheet(QStringLiteral("Tabulon Settings"), parent)
{
    AddPage(&m_dataSheetPage);
    AddPage(&m_dbConfigPage);
}

CAppConfigSheet::~CAppConfigSheet() { RemovePages(); }
