#include "platform/widgets/presenters.h"
#include "shell/ctabulonapp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    platform::InstallWidgetPresenters();
    CTabulonApp tabulon;
    if (!tabulon.InitInstance(QApplication::arguments()))
        return 1;
    const int result = tabulon.Run();
    const int exitCode = tabulon.ExitInstance();
    return result != 0 ? result : exitCode;
}
