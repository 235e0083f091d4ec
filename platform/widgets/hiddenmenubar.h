#pragma once
// A window's menu bar kept hidden, as hidden menu bars behave on Linux desktops: it
// shows while Alt is held (so that Alt and a menu's letter open that menu) and after
// F10 (which opens the first menu), and hides again once none of its menus is in use.
#include <QObject>

class QMenuBar;

namespace platform {

class HiddenMenuBar : public QObject {
    Q_OBJECT
public:
    // Hides the bar; it keeps the bar's window's keys in view from then on.
    explicit HiddenMenuBar(QMenuBar* bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool InMyWindow(QObject* watched) const;
    bool InUse() const;
    // Hides the bar after the event in hand, unless Alt is held or a menu is in use.
    void HideLater();

    QMenuBar* m_pBar;
    bool m_bAltHeld = false;
};

} // namespace platform
