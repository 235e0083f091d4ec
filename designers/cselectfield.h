#pragma once
// "Field(s)": the user ticks columns of one table. The caller gives the columns offered
// and the names chosen so far; Ok replaces the chosen names by the ticked ones.
#include "data/cadbsqlfieldinfo.h"

#include <QDialog>

#include <string>
#include <vector>

namespace platform {
class ReportList;
}

class CSelectField : public QDialog {
    Q_OBJECT
public:
    // Both vectors belong to the caller and must outlive the dialog. Without a parent the
    // dialog is owned by the program's main window.
    CSelectField(std::vector<std::wstring>* selected, std::vector<CADbSqlFieldInfo>* fields,
                 QWidget* parent = nullptr);

    // Runs the dialog modally; QDialog::Accepted after Ok.
    int DoModal();

    platform::ReportList* m_list;
    std::vector<std::wstring>* m_pSelected;
    std::vector<CADbSqlFieldInfo>* m_pFields;

private:
    void OnInitDialog();
    // Ticks, for every chosen name, the row that names it: the equal row, else the row
    // equal to it but for ASCII letter case.
    void CheckSelected();
    void OnOk();
};
