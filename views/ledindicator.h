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

    // The lamp as this widget draws it, into area of any painter: for views that paint many
    // lamps in their cells instead of holding a widget for each.
    static void paintLamp(QPainter *painter, const QRect &area, bool on, const QColor &onColor1,
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
    QColor offColor1{0, 28, 0};
    QColor onColor2{0, 192, 0};
    QColor offColor2{0, 128, 0};
    int blinkInterval = 200;
    bool blinking = false;
    bool blinkPending = false;
};
