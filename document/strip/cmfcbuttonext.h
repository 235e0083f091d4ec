#pragma once
// The flat image buttons of the caption strip: a pressed or switched-on button gets a
// one-pixel frame of its own colour around the platform's border.
#include <QToolButton>

class QPainter;

class CMFCButtonExt : public QToolButton {
    Q_OBJECT
public:
    explicit CMFCButtonExt(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void OnDrawBorder(QPainter& painter, const QRect& rect);
};
