#pragma once

#include <QImage>

QT_BEGIN_NAMESPACE
class QPainter;
QT_END_NAMESPACE

// The program's images, drawn from geometry so that they can be regenerated at any time.
// Every image function returns a transparent square ARGB image of the given side.
namespace IconDrawing {

// Paints a drawing into the square of the given side at the painter's origin. The same code
// feeds the PNGs of every size and the scalable SVG, so they cannot drift apart.
using Painting = void (*)(QPainter &p, qreal side);

QImage render(Painting paint, int side);
void paintApplicationIcon(QPainter &p, qreal side);
void paintModuleViewIcon(QPainter &p, qreal side);
void paintJournalViewIcon(QPainter &p, qreal side);

QImage connectIcon(int side);
QImage disconnectIcon(int side);
QImage serialConnectorIcon(int side);
QImage unitedKingdomFlag(int side);
QImage russianFlag(int side);
QImage applicationIcon(int side);
QImage moduleViewIcon(int side);

} // namespace IconDrawing
