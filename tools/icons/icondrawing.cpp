#include "icondrawing.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

// All pictures except the flags are composed on a 100 x 100 canvas and scaled to the image.
constexpr qreal canvas = 100.0;

QImage blankImage(int side)
{
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void beginCanvas(QPainter &p, qreal side)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(side / canvas, side / canvas);
}

void beginCanvas(QPainter &p, const QImage &img)
{
    beginCanvas(p, qreal(img.width()));
}

// The rounded dark-blue tile behind both application icons.
void drawTile(QPainter &p)
{
    QLinearGradient tile(0, 4, 0, 96);
    tile.setColorAt(0.0, QColor(0x2c, 0x4a, 0x6e));
    tile.setColorAt(1.0, QColor(0x12, 0x22, 0x36));
    p.setPen(QPen(QColor(0x0b, 0x16, 0x24), 1.0));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(4, 4, 92, 92), 16, 16);
}

// A globe with meridians and parallels, centre (cx, cy), radius r.
void drawGlobe(QPainter &p, qreal cx, qreal cy, qreal r)
{
    const QPointF c(cx, cy);
    p.save();

    // Soft drop shadow so the globe stands off light and dark backgrounds alike.
    QRadialGradient shadow(c + QPointF(1.5, 2.5), r + 3);
    shadow.setColorAt(0.85, QColor(0, 0, 0, 70));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(c + QPointF(1.5, 2.5), r + 3, r + 3);

    QRadialGradient sea(c + QPointF(-r * 0.35, -r * 0.4), r * 1.45);
    sea.setColorAt(0.0, QColor(0xb8, 0xe2, 0xff));
    sea.setColorAt(0.35, QColor(0x3d, 0x95, 0xe0));
    sea.setColorAt(0.8, QColor(0x15, 0x5c, 0xb0));
    sea.setColorAt(1.0, QColor(0x0a, 0x36, 0x75));
    p.setBrush(sea);
    p.drawEllipse(c, r, r);

    QPainterPath disc;
    disc.addEllipse(c, r, r);
    p.setClipPath(disc);

    // Land masses: rough blobs, enough to read as a planet rather than a ball.
    QRadialGradient land(c + QPointF(-r * 0.3, -r * 0.3), r * 1.3);
    land.setColorAt(0.0, QColor(0x9b, 0xe0, 0x7a));
    land.setColorAt(1.0, QColor(0x2e, 0x7d, 0x32));
    p.setBrush(land);
    QPainterPath americas;
    americas.moveTo(cx - r * 0.55, cy - r * 0.75);
    americas.cubicTo(cx - r * 0.15, cy - r * 0.85, cx - r * 0.05, cy - r * 0.45, cx - r * 0.3,
                     cy - r * 0.2);
    americas.cubicTo(cx - r * 0.45, cy - r * 0.05, cx - r * 0.15, cy + r * 0.15, cx - r * 0.2,
                     cy + r * 0.45);
    americas.cubicTo(cx - r * 0.25, cy + r * 0.8, cx - r * 0.45, cy + r * 0.75, cx - r * 0.5,
                     cy + r * 0.4);
    americas.cubicTo(cx - r * 0.55, cy + r * 0.1, cx - r * 0.8, cy - r * 0.05, cx - r * 0.85,
                     cy - r * 0.35);
    americas.cubicTo(cx - r * 0.9, cy - r * 0.6, cx - r * 0.75, cy - r * 0.7, cx - r * 0.55,
                     cy - r * 0.75);
    p.drawPath(americas);
    QPainterPath eurasia;
    eurasia.moveTo(cx + r * 0.15, cy - r * 0.8);
    eurasia.cubicTo(cx + r * 0.6, cy - r * 0.95, cx + r * 1.0, cy - r * 0.5, cx + r * 0.9,
                    cy - r * 0.1);
    eurasia.cubicTo(cx + r * 0.8, cy + r * 0.2, cx + r * 0.55, cy + r * 0.05, cx + r * 0.45,
                    cy + r * 0.35);
    eurasia.cubicTo(cx + r * 0.35, cy + r * 0.65, cx + r * 0.15, cy + r * 0.5, cx + r * 0.2,
                    cy + r * 0.2);
    eurasia.cubicTo(cx + r * 0.25, cy - r * 0.05, cx + r * 0.05, cy - r * 0.2, cx + r * 0.1,
                    cy - r * 0.45);
    eurasia.cubicTo(cx + r * 0.12, cy - r * 0.6, cx + r * 0.05, cy - r * 0.7, cx + r * 0.15,
                    cy - r * 0.8);
    p.drawPath(eurasia);

    // Graticule.
    QPen grid(QColor(255, 255, 255, 150), r * 0.045);
    p.setPen(grid);
    p.setBrush(Qt::NoBrush);
    for (qreal f : {0.35, 0.72})
        p.drawEllipse(c, r * f, r);
    p.drawLine(QPointF(cx, cy - r), QPointF(cx, cy + r));
    for (qreal lat : {-0.5, 0.0, 0.5}) {
        const qreal y = cy + lat * r;
        const qreal half = std::sqrt(r * r - (lat * r) * (lat * r));
        p.drawLine(QPointF(cx - half, y), QPointF(cx + half, y));
    }

    // Specular highlight.
    QRadialGradient gloss(c + QPointF(-r * 0.4, -r * 0.45), r * 0.7);
    gloss.setColorAt(0.0, QColor(255, 255, 255, 140));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawEllipse(c, r, r);

    p.setClipping(false);
    p.setPen(QPen(QColor(0x08, 0x2a, 0x5c), r * 0.05));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
    p.restore();
}

// An RJ45 network plug seen from above, pointing up in its own coordinates.
void drawNetworkPlug(QPainter &p)
{
    const QColor outline(0x2b, 0x2f, 0x36);

    // Cable, leaving through the bottom of the picture.
    QPen cable(QColor(0x1e, 0x88, 0xe5), 9, Qt::SolidLine, Qt::FlatCap);
    p.setPen(QPen(outline, 11.5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(0, 14), QPointF(0, 60));
    p.setPen(cable);
    p.drawLine(QPointF(0, 14), QPointF(0, 60));

    // Strain relief boot.
    QPainterPath boot;
    boot.moveTo(-9, 4);
    boot.lineTo(9, 4);
    boot.lineTo(6.5, 18);
    boot.lineTo(-6.5, 18);
    boot.closeSubpath();
    QLinearGradient bootFill(-9, 0, 9, 0);
    bootFill.setColorAt(0.0, QColor(0x12, 0x5a, 0xa8));
    bootFill.setColorAt(0.45, QColor(0x5a, 0xb0, 0xff));
    bootFill.setColorAt(1.0, QColor(0x0e, 0x4a, 0x8c));
    p.setPen(QPen(outline, 1.2));
    p.setBrush(bootFill);
    p.drawPath(boot);

    // Clear plastic body.
    QLinearGradient bodyFill(-11, 0, 11, 0);
    bodyFill.setColorAt(0.0, QColor(0xc9, 0xd3, 0xdc));
    bodyFill.setColorAt(0.4, QColor(0xfb, 0xfd, 0xff));
    bodyFill.setColorAt(1.0, QColor(0xa9, 0xb5, 0xc1));
    p.setBrush(bodyFill);
    p.drawRoundedRect(QRectF(-11, -20, 22, 25), 2, 2);

    // Latch tab running back over the body.
    p.setBrush(QColor(0xe4, 0xea, 0xf0));
    p.drawRoundedRect(QRectF(-4.5, -12, 9, 15), 1.5, 1.5);

    // Eight gold contacts at the tip.
    QLinearGradient gold(0, -20, 0, -13);
    gold.setColorAt(0.0, QColor(0xff, 0xe0, 0x7a));
    gold.setColorAt(1.0, QColor(0xc8, 0x96, 0x1e));
    p.setPen(Qt::NoPen);
    p.setBrush(gold);
    for (int i = 0; i < 8; ++i)
        p.drawRect(QRectF(-9.2 + i * 2.4, -19.2, 1.4, 6.5));
}

void drawProhibitionSign(QPainter &p, qreal cx, qreal cy, qreal r)
{
    const QPointF c(cx, cy);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawEllipse(c + QPointF(1.2, 1.8), r, r);
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawEllipse(c, r, r);

    const qreal ring = r * 0.26;
    QPen red(QColor(0xd3, 0x12, 0x1f), ring, Qt::SolidLine, Qt::FlatCap);
    p.setPen(red);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r - ring / 2, r - ring / 2);
    // The bar runs from upper left to lower right, inside the ring.
    const qreal inner = (r - ring) * 0.98;
    const qreal d = inner / std::sqrt(2.0);
    p.drawLine(QPointF(cx - d, cy - d), QPointF(cx + d, cy + d));
    p.restore();
}

// Draws the flag of the United Kingdom into `rect` with the proportions of that rectangle. Widths
// follow the official construction on a height of 30 units: St George's cross 6 with a white
// border of 2, St Andrew's saltire 6, St Patrick's counterchanged saltire 2.
void drawUnionJack(QPainter &p, const QRectF &rect)
{
    const qreal u = rect.height() / 30.0;
    const QPointF c = rect.center();
    const QColor blue(0x01, 0x21, 0x69);
    const QColor red(0xc8, 0x10, 0x2e);

    p.save();
    p.setClipRect(rect);
    p.fillRect(rect, blue);

    const QLineF diagonal1(rect.topLeft(), rect.bottomRight());
    const QLineF diagonal2(rect.topRight(), rect.bottomLeft());
    p.setPen(QPen(Qt::white, 6 * u, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(diagonal1);
    p.drawLine(diagonal2);

    // The red saltire is offset clockwise in each arm (wide white uppermost at the hoist):
    // stroke it at double width and keep only the half on that side of each diagonal.
    QPainterPath pinwheel;
    const QPointF tl = rect.topLeft(), tr = rect.topRight();
    const QPointF bl = rect.bottomLeft(), br = rect.bottomRight();
    pinwheel.addPolygon(QPolygonF({c, QPointF(rect.right(), c.y()), br, c}));
    pinwheel.addPolygon(QPolygonF({c, QPointF(c.x(), rect.bottom()), bl, c}));
    pinwheel.addPolygon(QPolygonF({c, QPointF(rect.left(), c.y()), tl, c}));
    pinwheel.addPolygon(QPolygonF({c, QPointF(c.x(), rect.top()), tr, c}));
    p.setClipPath(pinwheel, Qt::IntersectClip);
    p.setPen(QPen(red, 4 * u, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(diagonal1);
    p.drawLine(diagonal2);

    p.setClipRect(rect);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(c.x() - 5 * u, rect.top(), 10 * u, rect.height()));
    p.drawRect(QRectF(rect.left(), c.y() - 5 * u, rect.width(), 10 * u));
    p.setBrush(red);
    p.drawRect(QRectF(c.x() - 3 * u, rect.top(), 6 * u, rect.height()));
    p.drawRect(QRectF(rect.left(), c.y() - 3 * u, rect.width(), 6 * u));
    p.restore();
}

// Flags fill the width of the square at 3:2 and sit centred, so both read alike in a menu.
QRectF flagRect(int side)
{
    const qreal margin = side / 32.0;
    const qreal w = side - 2 * margin;
    const qreal h = std::round(w * 2.0 / 3.0);
    return QRectF(margin, std::round((side - h) / 2.0), w, h);
}

void drawFlagFrame(QPainter &p, const QRectF &rect)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = std::max(1.0, rect.height() / 100.0);
    p.setPen(QPen(QColor(0, 0, 0, 110), w));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect.adjusted(w / 2, w / 2, -w / 2, -w / 2));
    p.restore();
}

} // namespace

namespace IconDrawing {

QImage connectIcon(int side)
{
    QImage img = blankImage(side);
    QPainter p(&img);
    beginCanvas(p, img);
    drawGlobe(p, 42, 42, 37);
    p.translate(72, 72);
    p.rotate(-45);
    drawNetworkPlug(p);
    return img;
}

QImage disconnectIcon(int side)
{
    QImage img = blankImage(side);
    QPainter p(&img);
    beginCanvas(p, img);
    drawGlobe(p, 42, 42, 37);
    drawProhibitionSign(p, 73, 73, 24);
    return img;
}

QImage serialConnectorIcon(int side)
{
    QImage img = blankImage(side);
    QPainter p(&img);
    beginCanvas(p, img);
    const QColor outline(0x3a, 0x40, 0x48);

    // Mounting flange.
    QLinearGradient steel(0, 26, 0, 74);
    steel.setColorAt(0.0, QColor(0xf2, 0xf4, 0xf7));
    steel.setColorAt(0.45, QColor(0xb9, 0xc0, 0xc8));
    steel.setColorAt(0.55, QColor(0xa3, 0xab, 0xb5));
    steel.setColorAt(1.0, QColor(0xdc, 0xe1, 0xe6));
    p.setPen(QPen(outline, 1.0));
    p.setBrush(steel);
    p.drawRoundedRect(QRectF(3, 27, 94, 46), 3.5, 3.5);

    // Hex standoffs with threaded holes either side of the shell.
    for (qreal x : {11.5, 88.5}) {
        QPolygonF hex;
        for (int i = 0; i < 6; ++i) {
            const qreal a = M_PI / 6 + i * M_PI / 3;
            hex << QPointF(x + 6.2 * std::cos(a), 50 + 6.2 * std::sin(a));
        }
        QLinearGradient nut(x - 6, 44, x + 6, 56);
        nut.setColorAt(0.0, QColor(0xe8, 0xec, 0xf0));
        nut.setColorAt(1.0, QColor(0x80, 0x88, 0x92));
        p.setBrush(nut);
        p.setPen(QPen(outline, 0.8));
        p.drawPolygon(hex);
        p.setBrush(QColor(0x2a, 0x2e, 0x33));
        p.drawEllipse(QPointF(x, 50), 2.6, 2.6);
    }

    // D-shaped shell: wider at the top so the plug only fits one way round.
    auto dShape = [](qreal top, qreal bottom, qreal topHalf, qreal bottomHalf, qreal r) {
        QPainterPath path;
        const QPointF a(50 - topHalf, top), b(50 + topHalf, top);
        const QPointF cpt(50 + bottomHalf, bottom), d(50 - bottomHalf, bottom);
        const auto towards = [](QPointF from, QPointF to, qreal dist) {
            const QLineF l(from, to);
            return l.pointAt(dist / l.length());
        };
        path.moveTo(towards(a, b, r));
        path.lineTo(towards(b, a, r));
        path.quadTo(b, towards(b, cpt, r));
        path.lineTo(towards(cpt, b, r));
        path.quadTo(cpt, towards(cpt, d, r));
        path.lineTo(towards(d, cpt, r));
        path.quadTo(d, towards(d, a, r));
        path.lineTo(towards(a, d, r));
        path.quadTo(a, towards(a, b, r));
        path.closeSubpath();
        return path;
    };
    QLinearGradient shell(0, 32, 0, 68);
    shell.setColorAt(0.0, QColor(0x8d, 0x95, 0x9f));
    shell.setColorAt(0.5, QColor(0xe9, 0xed, 0xf1));
    shell.setColorAt(1.0, QColor(0x7a, 0x83, 0x8d));
    p.setBrush(shell);
    p.setPen(QPen(outline, 1.0));
    p.drawPath(dShape(32, 68, 33, 26, 6));

    QLinearGradient insulator(0, 35, 0, 65);
    insulator.setColorAt(0.0, QColor(0x1c, 0x20, 0x26));
    insulator.setColorAt(1.0, QColor(0x3b, 0x42, 0x4c));
    p.setBrush(insulator);
    p.setPen(QPen(QColor(0x12, 0x14, 0x18), 0.8));
    p.drawPath(dShape(35.5, 64.5, 29.5, 23, 4.5));

    // Nine pins: five above, four below, on the standard staggered pitch.
    const qreal pitch = 10.0;
    auto pin = [&p](QPointF at) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 120));
        p.drawEllipse(at + QPointF(0.5, 0.8), 3.4, 3.4);
        QRadialGradient gold(at + QPointF(-1.1, -1.1), 4.2);
        gold.setColorAt(0.0, QColor(0xff, 0xf4, 0xc2));
        gold.setColorAt(0.45, QColor(0xf0, 0xc2, 0x3c));
        gold.setColorAt(1.0, QColor(0x9a, 0x6e, 0x0c));
        p.setBrush(gold);
        p.setPen(QPen(QColor(0x6b, 0x4a, 0x05), 0.5));
        p.drawEllipse(at, 3.2, 3.2);
    };
    for (int i = 0; i < 5; ++i)
        pin(QPointF(50 + (i - 2) * pitch, 43.5));
    for (int i = 0; i < 4; ++i)
        pin(QPointF(50 + (i - 1.5) * pitch, 56.5));
    return img;
}

QImage unitedKingdomFlag(int side)
{
    QImage img = blankImage(side);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF rect = flagRect(side);
    drawUnionJack(p, rect);
    drawFlagFrame(p, rect);
    return img;
}

QImage russianFlag(int side)
{
    QImage img = blankImage(side);
    QPainter p(&img);
    const QRectF rect = flagRect(side);
    const qreal stripe = rect.height() / 3.0;
    p.fillRect(QRectF(rect.left(), rect.top(), rect.width(), stripe), Qt::white);
    p.fillRect(QRectF(rect.left(), rect.top() + stripe, rect.width(), stripe),
               QColor(0x00, 0x39, 0xa6));
    p.fillRect(QRectF(rect.left(), rect.top() + 2 * stripe, rect.width(), stripe),
               QColor(0xd5, 0x2b, 0x1e));
    drawFlagFrame(p, rect);
    return img;
}

QImage render(Painting paint, int side)
{
    QImage img = blankImage(side);
    QPainter p(&img);
    paint(p, side);
    return img;
}

QImage applicationIcon(int side)
{
    return render(paintApplicationIcon, side);
}

void paintApplicationIcon(QPainter &p, qreal side)
{
    p.save();
    beginCanvas(p, side);

    drawTile(p);

    // Machine surface the sensor is studded to.
    QLinearGradient surface(0, 80, 0, 90);
    surface.setColorAt(0.0, QColor(0x9a, 0xa4, 0xae));
    surface.setColorAt(1.0, QColor(0x55, 0x5e, 0x68));
    p.setPen(Qt::NoPen);
    p.setBrush(surface);
    p.drawRoundedRect(QRectF(14, 81, 72, 8), 2, 2);

    // Vibration waves on both sides of the sensor.
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        const qreal r = 22 + i * 7;
        p.setPen(QPen(QColor(0x7f, 0xd8, 0xff, 220 - i * 60), 2.6, Qt::SolidLine, Qt::RoundCap));
        const QRectF arc(50 - r, 55 - r, 2 * r, 2 * r);
        p.drawArc(arc, 150 * 16, 60 * 16);
        p.drawArc(arc, -30 * 16, 60 * 16);
    }

    const QColor outline(0x1a, 0x1f, 0x25);
    auto metal = [](qreal left, qreal right) {
        QLinearGradient g(left, 0, right, 0);
        g.setColorAt(0.0, QColor(0x6d, 0x75, 0x7e));
        g.setColorAt(0.3, QColor(0xf4, 0xf6, 0xf8));
        g.setColorAt(0.6, QColor(0xb5, 0xbc, 0xc4));
        g.setColorAt(1.0, QColor(0x5a, 0x62, 0x6b));
        return g;
    };

    // Cable from the top connector out to the right.
    QPainterPath cablePath(QPointF(50, 18));
    cablePath.cubicTo(QPointF(50, 8), QPointF(70, 6), QPointF(96, 10));
    p.setPen(QPen(outline, 6.5, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(cablePath);
    p.setPen(QPen(QColor(0x3c, 0x44, 0x4e), 4.5, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(cablePath);

    p.setPen(QPen(outline, 0.9));
    // Stud and hex base.
    p.setBrush(metal(46, 54));
    p.drawRect(QRectF(46, 76, 8, 6));
    p.setBrush(metal(30, 70));
    p.drawRect(QRectF(30, 66, 40, 11));
    p.setPen(QPen(QColor(0x40, 0x46, 0x4e, 160), 0.8));
    p.drawLine(QPointF(40, 66.5), QPointF(40, 76.5));
    p.drawLine(QPointF(60, 66.5), QPointF(60, 76.5));

    // Housing with its top face.
    p.setPen(QPen(outline, 0.9));
    p.setBrush(metal(34, 66));
    p.drawRect(QRectF(34, 31, 32, 35));
    p.drawEllipse(QRectF(34, 28, 32, 6));
    p.setBrush(QColor(0xd9, 0xde, 0xe3));
    p.drawEllipse(QRectF(34.6, 28.3, 30.8, 5.4));

    // Connector.
    p.setBrush(metal(44, 56));
    p.drawRect(QRectF(44, 18, 12, 13));
    p.drawEllipse(QRectF(44, 16.5, 12, 3));

    // Status lamp: green, lit.
    const QPointF lamp(78, 26);
    QRadialGradient glow(lamp, 15);
    glow.setColorAt(0.0, QColor(0x6c, 0xff, 0x5a, 170));
    glow.setColorAt(1.0, QColor(0x6c, 0xff, 0x5a, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(lamp, 15, 15);
    QRadialGradient bulb(lamp + QPointF(-2.5, -2.5), 10);
    bulb.setColorAt(0.0, QColor(0xe4, 0xff, 0xd8));
    bulb.setColorAt(0.35, QColor(0x4c, 0xe0, 0x3a));
    bulb.setColorAt(1.0, QColor(0x0c, 0x7a, 0x1c));
    p.setPen(QPen(QColor(0x06, 0x3d, 0x0e), 1.0));
    p.setBrush(bulb);
    p.drawEllipse(lamp, 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 190));
    p.drawEllipse(lamp + QPointF(-3, -3.2), 2.2, 1.6);
    p.restore();
}

QImage moduleViewIcon(int side)
{
    return render(paintModuleViewIcon, side);
}

void paintModuleViewIcon(QPainter &p, qreal side)
{
    p.save();
    beginCanvas(p, side);

    // The same tile as the viewer's, so the two programs read as one family.
    drawTile(p);

    // A plot screen: waveform above, spectrum below.
    const QRectF screen(13, 14, 74, 72);
    p.setPen(QPen(QColor(0x0b, 0x16, 0x24), 1.2));
    p.setBrush(QColor(0xf4, 0xf7, 0xfa));
    p.drawRoundedRect(screen, 4, 4);
    p.setPen(QPen(QColor(0, 0, 0, 40), 0.6, Qt::DotLine));
    for (int i = 1; i < 4; ++i) {
        const qreal x = screen.left() + i * screen.width() / 4;
        p.drawLine(QPointF(x, screen.top() + 3), QPointF(x, screen.bottom() - 3));
    }
    p.drawLine(QPointF(screen.left() + 3, 50), QPointF(screen.right() - 3, 50));

    QPainterPath wave;
    for (int i = 0; i <= 120; ++i) {
        const qreal t = i / 120.0;
        const qreal a = 2 * M_PI * 3 * t;
        qreal y = 8 * std::sin(a) + 3 * std::sin(2 * a + 0.4);
        if (t > 0.55)
            y += 9 * std::exp(-(t - 0.55) * 40) * std::sin((t - 0.55) * 160);
        const QPointF pt(screen.left() + 4 + t * (screen.width() - 8), 32 - y);
        if (i == 0)
            wave.moveTo(pt);
        else
            wave.lineTo(pt);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 90, 200), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(wave);

    const qreal peaks[] = {3, 4, 18, 5, 3, 9, 3, 2, 5, 2, 2, 3, 2, 1.5};
    const int n = int(sizeof peaks / sizeof peaks[0]);
    const qreal w = (screen.width() - 10) / n;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 60, 20));
    for (int i = 0; i < n; ++i)
        p.drawRect(
            QRectF(screen.left() + 5 + i * w + 0.6, 80 - peaks[i] * 1.3, w - 1.2, peaks[i] * 1.3));
    p.restore();
}

void paintJournalViewIcon(QPainter &p, qreal side)
{
    p.save();
    beginCanvas(p, side);
    drawTile(p);

    // A page of the journal: rows of events, the top two with their alarm lamps lit.
    const QRectF page(16, 12, 68, 76);
    p.setPen(QPen(QColor(0x0b, 0x16, 0x24), 1.2));
    p.setBrush(QColor(0xf4, 0xf7, 0xfa));
    p.drawRoundedRect(page, 4, 4);
    const QColor lamps[] = {QColor(230, 30, 20), QColor(250, 180, 0), QColor(40, 170, 60),
                            QColor(40, 170, 60), QColor(40, 170, 60)};
    for (int i = 0; i < 5; ++i) {
        const qreal y = page.top() + 12 + i * 13.5;
        p.setPen(QPen(QColor(0x0b, 0x16, 0x24), 0.8));
        p.setBrush(lamps[i]);
        p.drawEllipse(QPointF(page.left() + 10, y), 4.2, 4.2);
        p.setPen(QPen(QColor(0x33, 0x44, 0x55), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(page.left() + 19, y - 1.5),
                   QPointF(page.right() - 8 - (i % 3) * 7, y - 1.5));
        p.setPen(QPen(QColor(0x99, 0xa4, 0xb0), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(page.left() + 19, y + 3),
                   QPointF(page.right() - 20 + (i % 2) * 6, y + 3));
    }
    p.restore();
}

} // namespace IconDrawing
