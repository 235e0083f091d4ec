#pragma once
// The modal settings sheet "Tabulon Settings" with its two pages; the datasheet page
// is the one shown on opening.
#include "platform/widgets/propertysheet.h"
#include "shell/cdatasheetpage.h"
#include "shell/cdbconfigpage.h"

class CAppConfigSheet : public platform::PropertySheet {
    Q_OBJECT
public:
    explicit CAppConfigSheet(QWidget* parent);
    ~CAppConfigSheet() override;

    CDataSheetPage m_dataSheetPage;
    CDBConfigPage m_dbConfigPage;
};
