// The start-up splash: its see-through key colour, its place on the screen, and text
// lines drawn over each other without erasing.
#include "shell/csplash.h"

#include <gtest/gtest.h>

#include <QBitmap>
#include <QGuiApplication>
#include <QImage>
#include <QRegion>
#include <QScreen>

namespace {

TEST(CSplash, KeyColourPixelsAreSeeThroughAndTheWindowIsCentred)
{
    QPixmap picture(40, 30);
    picture.fill(QColor(128, 128, 128));
    {
        QImage image = picture.toImage();
        for (int y = 10; y < 20; ++y)
            for (int x = 10; x < 30; ++x)
                image.setPixelColor(x, y, QColor(128, 128, 129)); // one step off the key: opaque
        picture = QPixmap::fromImage(image);
    }
    CSplash splash(picture);
    QWidget* window = splash.Show();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->size(), QSize(40, 30));
    const QRegion mask = window->mask();
    EXPECT_TRUE(mask.contains(QPoint(15, 15)));
    EXPECT_FALSE(mask.contains(QPoint(2, 2)));
    EXPECT_FALSE(mask.contains(QPoint(35, 25)));
    EXPECT_EQ(window->cursor().shape(), Qt::WaitCursor);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(window->pos(), QPoint(area.x() + (area.width() - 40) / 2, area.y() + (area.height() - 30) / 2));
    splash.Hide();
    EXPECT_EQ(splash.GetWindow(), nullptr);
}

TEST(CSplash, TextLinesAreDrawnOverWhatWasThereWithoutErasing)
{
    CSplash splash(LoadSplashBitmap());
    ASSERT_EQ(splash.GetBitmap().size(), QSize(CSplash::WIDTH, CSplash::HEIGHT));
    splash.Show();
    const QRect line(QPoint(35, 146), QPoint(334, 299));
    const auto darkPixels = [&] {
        const QImage image = splash.GetBitmap().toImage();
        int count = 0;
        for (int y = line.top(); y < line.top() + 20; ++y)
            for (int x = line.left(); x <= line.right(); ++x)
                count += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
        return count;
    };
    const int before = darkPixels();
    splash.ShowText(L"iiii", line);
    const int first = darkPixels();
    EXPECT_GT(first, before);
    // A second, different text in the same place adds its strokes to the first one's.
    splash.ShowText(L"----", line);
    EXPECT_GT(darkPixels(), first);
    splash.Hide();
}

TEST(CSplash, PictureCornersCarryTheKeyColour)
{
    const QImage image = LoadSplashBitmap().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(CSplash::WIDTH - 1, CSplash::HEIGHT - 1), QColor(128, 128, 128));
    EXPECT_NE(image.pixelColor(CSplash::WIDTH / 2, 160), QColor(128, 128, 128));
}

} // namespace
