#ifndef ICONDRAWING_H
#define ICONDRAWING_H

#include <QImage>

// The program's images, drawn from geometry so that they can be regenerated at any time.
// Every function returns a transparent square ARGB image of the given side.
namespace IconDrawing {

QImage connectIcon(int side);
QImage disconnectIcon(int side);
QImage serialConnectorIcon(int side);
QImage unitedKingdomFlag(int side);
QImage russianFlag(int side);
QImage applicationIcon(int side);
QImage moduleViewIcon(int side);

} // namespace IconDrawing

#endif // ICONDRAWING_H
