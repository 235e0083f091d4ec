#include "shell/csplash.h"

#include "data/constants.h"
#include "platform/utf16.h"

#include <QApplication>
#include <QBitmap>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

namespace {

QColor FromColorRef(unsigned colorRef)
{
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

// The window paints the splash's picture and nothing else.
class SplashWindow : public QWidget {
public:
    explicit SplashWindow(const CSplash& splash)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_splash(splash)
    {
        setAttribute(Qt::WA_DeleteOnClose, false);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setCursor(Qt::WaitCursor);
        setWindowTitle(QStringLiteral("Banner"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (m_splash.GetBitmap().isNull())
            return;
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_splash.GetBitmap());
    }

private:
    const CSplash& m_splash;
};

} // namespace

CSplash::CSplash(const QPixmap& bitmap)
{
    SetBitmap(bitmap);
    m_crColorKey = COLOR_KEY;
    ApplyColorKey();
}

CSplash::~CSplash() { Hide(); }

bool CSplash::SetBitmap(const QPixmap& bitmap)
{
    m_hBitmap = bitmap;
    m_nWidth = bitmap.width();
    m_nHeight = bitmap.height();
    return true;
}

QWidget* CSplash::Show()
{
    auto* window = new SplashWindow(*this);
    m_hWnd = window;
    window->setFixedSize(m_nWidth, m_nHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.x() + (area.width() - m_nWidth) / 2, area.y() + (area.height() - m_nHeight) / 2);
    }
    ApplyColorKey();
    window->show();
    // One synchronous paint: the event loop does not run yet.
    window->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return window;
}

void CSplash::ApplyColorKey()
{
    if (!m_hWnd || m_crColorKey == 0 || m_hBitmap.isNull())
        return;
    m_hWnd->setMask(m_hBitmap.createMaskFromColor(FromColorRef(m_crColorKey), Qt::MaskInColor));
}

void CSplash::ShowText(const std::wstring& text, const QRect& rect)
{
    if (!m_hWnd || m_hBitmap.isNull())
        return;
    {
        QPainter painter(&m_hBitmap);
        painter.setFont(QApplication::font());
        painter.setPen(Qt::black);
        painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, platform::ToQString(text));
    }
    m_hWnd->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CSplash::Hide()
{
    if (!m_hWnd)
        return;
    delete m_hWnd.data();
    m_hWnd = nullptr;
}

QPixmap LoadSplashBitmap()
{
    QPixmap picture(CSplash::WIDTH, CSplash::HEIGHT);
    picture.fill(FromColorRef(CSplash::COLOR_KEY));
    QPainter painter(&picture);
    // No antialiasing at the outline: the mask keys on the exact colour.
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect panel(0, 0, CSplash::WIDTH - 1, CSplash::HEIGHT - 1);
    QLinearGradient body(0, 0, 0, CSplash::HEIGHT);
    body.setColorAt(0.0, QColor(250, 252, 255));
    body.setColorAt(1.0, QColor(218, 229, 243));
    painter.setPen(QColor(46, 84, 140));
    painter.setBrush(body);
    painter.drawRoundedRect(panel, 14, 14);

    // The title band.
    QLinearGradient band(0, 0, 0, 120);
    band.setColorAt(0.0, QColor(52, 101, 164));
    band.setColorAt(1.0, QColor(32, 74, 135));
    painter.setPen(Qt::NoPen);
    painter.setBrush(band);
    painter.drawRoundedRect(QRect(1, 1, CSplash::WIDTH - 2, 118), 13, 13);
    painter.drawRect(QRect(1, 60, CSplash::WIDTH - 2, 59));

    // A small datasheet: a header row and three rows of cells.
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRect sheet(32, 30, 60, 60);
    painter.setBrush(QColor(255, 255, 255));
    painter.setPen(QColor(200, 214, 235));
    painter.drawRect(sheet);
    painter.fillRect(QRect(sheet.left() + 1, sheet.top() + 1, sheet.width() - 1, 14), QColor(245, 194, 66));
    for (int row = 1; row < 4; ++row)
        painter.drawLine(sheet.left(), sheet.top() + 15 * row, sheet.right(), sheet.top() + 15 * row);
    painter.drawLine(sheet.left() + 25, sheet.top(), sheet.left() + 25, sheet.bottom());

    QFont title = QApplication::font();
    title.setPixelSize(40);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(110, 26, 270, 48), Qt::AlignLeft | Qt::AlignVCenter, platform::ToQString(STR_PRODUCT_NAME));
    QFont subtitle = QApplication::font();
    subtitle.setPixelSize(14);
    painter.setFont(subtitle);
    painter.setPen(QColor(220, 230, 245));
    painter.drawText(QRect(112, 74, 270, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Workbench for SQLite database files"));
    return picture;
}
