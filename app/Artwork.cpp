// Drawing of the program's icon and of the about box's picture.
#include "app/Artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

#include "form/Artwork.h"

namespace zorvik {

namespace {

QColor Colour(ArtColour colour) {
    return {colour.red, colour.green, colour.blue};
}

void Paint(QPainter& painter, const std::vector<ArtShape>& shapes) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (const ArtShape& shape : shapes) {
        const QRectF box(shape.left, shape.top, shape.width, shape.height);
        switch (shape.kind) {
            case ArtShape::Kind::RoundedBox:
                painter.setBrush(Colour(shape.colour));
                painter.drawRoundedRect(box, shape.corner, shape.corner);
                break;
            case ArtShape::Kind::Disc:
                painter.setBrush(Colour(shape.colour));
                painter.drawEllipse(box);
                break;
            case ArtShape::Kind::Name: {
                QFont name(QStringLiteral("DejaVu Sans"));
                name.setBold(true);
                name.setPixelSize(static_cast<int>(shape.textPixels));
                painter.setFont(name);
                painter.setPen(Colour(shape.colour));
                painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                                 QString::fromLatin1(kArtNameText));
                painter.setPen(Qt::NoPen);
                break;
            }
            case ArtShape::Kind::Stripe: {
                QLinearGradient band(box.left(), 0, box.right(), 0);
                band.setColorAt(0, Colour(kArtRed));
                band.setColorAt(0.5, Colour(kArtYellow));
                band.setColorAt(1, Colour(kArtGreen));
                painter.fillRect(box, band);
                break;
            }
        }
    }
}

QPixmap IconPixmap(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    Paint(painter, IconShapes(side));
    return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64}) {
        icon.addPixmap(IconPixmap(side));
    }
    return icon;
}

QPixmap AboutPicture(QSize size, qreal pixelRatio) {
    QPixmap pixmap(size * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    Paint(painter, AboutPictureShapes(size.width(), size.height()));
    return pixmap;
}

}  // namespace zorvik
