#pragma once
// The "About Tabulon" box: the program's picture, its version and the version of the
// SQLite library it runs on.
#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    int DoModal();
};
