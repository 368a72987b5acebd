#pragma once

#include <QAbstractButton>
#include <QColor>

QT_BEGIN_NAMESPACE
class QPainter;
QT_END_NAMESPACE

// A round lamp drawn with gradients; it is on exactly while the button is checked.
class LedIndicator : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(QColor onColor1 MEMBER onColor1 WRITE setOnColor1
                   DESIGNABLE true SCRIPTABLE true STORED true)
    Q_PROPERTY(QColor onColor2 MEMBER onColor2 WRITE setOnColor2
                   DESIGNABLE true SCRIPTABLE true STORED true)
    Q_PROPERTY(QColor offColor1 MEMBER offColor1 WRITE setOffColor1
                   DESIGNABLE true SCRIPTABLE true STORED true)
    Q_PROPERTY(QColor offColor2 MEMBER offColor2 WRITE setOffColor2
                   DESIGNABLE true SCRIPTABLE true STORED true)

public:
    explicit LedIndicator(QWidget *parent = nullptr, int edge = 22);
    ~LedIndicator() override;

    static QColor defaultOffColor1() { return {0, 28, 0}; }
    static QColor defaultOffColor2() { return {0, 128, 0}; }
    // Paints a lamp filling a widget of the given size whose top left corner is at the
    // painter's origin, exactly as the widget paints itself: views that draw lamps in their
    // cells look the same as a lamp widget placed there.
    static void paintLamp(QPainter &painter, QSize size, bool on, const QColor &onColor1,
                          const QColor &onColor2, const QColor &offColor1, const QColor &offColor2);

public slots:
    // The setters only store: a new colour shows with the next paint.
    void setOnColor1(QColor c);
    void setOffColor1(QColor c);
    void setOnColor2(QColor c);
    void setOffColor2(QColor c);
    void setBlinkInterval(int ms);
    void blink();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void blinkOff();

private:
    void startBlinkTimer();

    QColor onColor1{0, 255, 0};
    QColor offColor1 = defaultOffColor1();
    QColor onColor2{0, 192, 0};
    QColor offColor2 = defaultOffColor2();
    int blinkInterval = 200;
    bool blinking = false;
    bool blinkPending = false;
};
