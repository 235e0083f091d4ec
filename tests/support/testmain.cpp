// Test entry: a real QApplication on the offscreen platform; a Qt warning printed
// during a test fails that test.
#include <gtest/gtest.h>

#include <QApplication>

namespace {

void FailOnQtWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    // The offscreen platform can neither grab the keyboard for a popup, raise a window
    // nor pass a shown window's size limits on, nor shape a window by a mask, and says so
    // whenever a menu, tooltip or drop-down list opens, a shown main window lays itself
    // out anew or a window gets its mask.
    if (message == QLatin1String("This plugin does not support grabbing the keyboard") ||
        message == QLatin1String("This plugin does not support raise()") ||
        message == QLatin1String("This plugin does not support propagateSizeHints()") ||
        message == QLatin1String("This plugin does not support setting window masks"))
        return;
    if (testing::UnitTest::GetInstance()->current_test_info())
        ADD_FAILURE() << "Qt warning: " << message.toStdString();
    else
        fprintf(stderr, "Qt warning outside a test: %s\n", qPrintable(message));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    qInstallMessageHandler(FailOnQtWarning);
    return RUN_ALL_TESTS();
}
