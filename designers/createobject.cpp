#include "designers/createobject.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/dbschema.h"
#include "data/formatstring.h"
#include "designers/designerkit.h"
#include "platform/messagebox.h"

#include <QWidget>

namespace {

// The box of a name that the holder, an object of another type, holds.
const wchar_t* NameUsedFormat(const std::wstring& holder)
{
    if (holder == L"table")
        return STR_NAME_USED_BY_TABLE;
    return holder == L"view" ? STR_NAME_USED_BY_VIEW : STR_NAME_USED_BY_INDEX;
}

} // namespace

bool CreateObject(QWidget* owner, const NewObject& object, const std::wstring& sql, QWidget* nameEdit)
{
    try {
        const std::wstring holder = SchemaNameHolder(object.type, object.name, object.temporary);
        if (!holder.empty()) {
            const wchar_t* format = holder == object.type ? object.existsFormat : NameUsedFormat(holder);
            std::wstring text;
            platform::MessageBox(owner, FormatString(text, format, object.name), STR_PRODUCT_NAME, platform::MB_OK);
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
