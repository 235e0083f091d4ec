#pragma once
// The borderless picture window shown while the main frame loads the settings. It
// exists before the main window and before the event loop runs, so it paints when it
// is shown and whenever a text line is drawn onto its picture.
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <string>

class CSplash {
public:
    static constexpr int WIDTH = 400;
    static constexpr int HEIGHT = 300;
    // Pixels of exactly this colour are see-through.
    static constexpr unsigned COLOR_KEY = 0x808080; // RGB(128,128,128)

    explicit CSplash(const QPixmap& bitmap);
    virtual ~CSplash();
    CSplash(const CSplash&) = delete;
    CSplash& operator=(const CSplash&) = delete;

    // Takes the picture; a null one leaves none and gives true.
    bool SetBitmap(const QPixmap& bitmap);
    // Shows the window centred on the screen's available area at the picture's size,
    // top-most and without a taskbar entry; the window, or null when it could not be made.
    QWidget* Show();
    // Makes the key colour transparent through the window's mask.
    void ApplyColorKey();
    // Draws one line of text into the rectangle at its top left, over whatever was
    // drawn there before, and repaints at once.
    void ShowText(const std::wstring& text, const QRect& rect);
    // Takes the window down.
    void Hide();

    QWidget* GetWindow() const { return m_hWnd; }
    const QPixmap& GetBitmap() const { return m_hBitmap; }

private:
    QPointer<QWidget> m_hWnd;
    unsigned m_crColorKey = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    QPixmap m_hBitmap;
};

// The start-up picture (400 x 300), drawn in code; its corners carry the key colour.
QPixmap LoadSplashBitmap();
