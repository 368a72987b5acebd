#include "imagesizedialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

ImageSizeDialog::ImageSizeDialog(const QSize &initial, QWidget *parent)
    : QDialog(parent)
    , width(new QSpinBox(this))
    , height(new QSpinBox(this))
{
    setWindowTitle(tr("Export PNG"));
    auto *form = new QFormLayout(this);
    for (QSpinBox *side : {width, height}) {
        side->setRange(MinSide, MaxSide);
        side->setSuffix(tr(" px"));
    }
    width->setObjectName(QStringLiteral("imageWidth"));
    height->setObjectName(QStringLiteral("imageHeight"));
    width->setValue(initial.width());
    height->setValue(initial.height());
    form->addRow(tr("&Width:"), width);
    form->addRow(tr("&Height:"), height);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

ImageSizeDialog::~ImageSizeDialog() = default;

QSize ImageSizeDialog::imageSize() const
{
    return QSize(width->value(), height->value());
}

bool ImageSizeDialog::isFit(const QSize &size)
{
    return size.width() >= MinSide && size.width() <= MaxSide && size.height() >= MinSide &&
           size.height() <= MaxSide;
}
