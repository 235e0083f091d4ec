#include "data/appstartup.h"
#include "platform/files.h"
#include "platform/widgets/presenters.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    platform::InstallWidgetPresenters();
    // Without the application data file the program cannot run.
    const std::unique_ptr<CAppDataFile> appData = AttachAppDataFile(platform::ExecutableFolder());
    if (!appData)
        return 1;
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tabulon"));
    window.showMaximized();
    return app.exec();
}
