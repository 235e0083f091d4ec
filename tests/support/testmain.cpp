// Test entry: a real QApplication on the offscreen platform; a Qt warning printed
// during a test fails that test. The process gets a home folder of its own, so that
// nothing a test does (the default backup folder, the settings profile, the user's copy
// of the data file) lands in the real user's home.
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <string>

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

// A fresh home folder with the desktop's folders pointed into it, removed at the end.
class ScratchHome {
public:
    ScratchHome()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tabulon-home-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            return;
        m_path = pattern;
        setenv("HOME", m_path.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_path + "/.config").c_str(), 1);
        setenv("XDG_DATA_HOME", (m_path + "/.local/share").c_str(), 1);
        setenv("XDG_CACHE_HOME", (m_path + "/.cache").c_str(), 1);
    }
    ~ScratchHome()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;

private:
    std::string m_path;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const ScratchHome home;
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    qInstallMessageHandler(FailOnQtWarning);
    return RUN_ALL_TESTS();
}
