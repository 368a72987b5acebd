#pragma once

#include <QDialog>
#include <QSize>

QT_BEGIN_NAMESPACE
class QSpinBox;
QT_END_NAMESPACE

// Asks for the width and height in pixels an exported plot image is rendered at.
class ImageSizeDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int MinSide = 200;
    static constexpr int MaxSide = 8000;

    explicit ImageSizeDialog(const QSize &initial, QWidget *parent = nullptr);
    ~ImageSizeDialog() override;

    QSize imageSize() const;
    // Within MinSide and MaxSide on both sides.
    static bool isFit(const QSize &size);

private:
    QSpinBox *const width;
    QSpinBox *const height;
};
