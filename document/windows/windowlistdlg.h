#pragma once
// "Windows": every data window by its title, in the order of the main window's tabs.
// Activate brings the chosen window forward and closes the list; Close closes the
// chosen windows as their own Close does (while a report is previewed or printed it
// says so and closes nothing); OK closes the list.
#include <QDialog>

class QListWidget;
class QMdiArea;
class QPushButton;

inline constexpr wchar_t STR_WINDOW_LIST_TITLE[] = L"Windows";

class WindowListDialog : public QDialog {
    Q_OBJECT
public:
    WindowListDialog(QMdiArea* area, QWidget* parent);

    // Runs the list modally.
    int DoModal();

    QListWidget* GetList() const { return m_pList; }
    QPushButton* GetActivateButton() const { return m_pActivate; }
    QPushButton* GetCloseButton() const { return m_pClose; }

private:
    void Fill();
    void UpdateButtons();
    void OnActivate();
    void OnCloseWindows();

    QMdiArea* m_pArea;
    QListWidget* m_pList;
    QPushButton* m_pActivate;
    QPushButton* m_pClose;
};
