#include "designers/objectnames.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/dbschema.h"
#include "data/formatstring.h"
#include "designers/designerkit.h"
#include "platform/messagebox.h"

#include <QWidget>

bool CreateObject(QWidget* owner, const NewObject& object, const std::wstring& sql, QWidget* nameEdit)
{
    try {
        if (SchemaObjectExists(object.type, object.name, object.temporary)) {
            std::wstring text;
            platform::MessageBox(owner, FormatString(text, object.existsFormat, object.name), STR_PRODUCT_NAME,
                                 platform::MB_OK);
            nameEdit->setFocus();
            return false;
        }
        CurrentDb().ExecuteCmd(sql);
        return true;
    } catch (const CADbSqlException& e) {
        ShowDesignerFailure(owner, e);
        return false;
    }
}
