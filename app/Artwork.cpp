// Drawing of the program's icon and of the about box's picture.
#include "app/Artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "form/Artwork.h"

namespace zorvik {

namespace {

QColor Colour(ArtColour colour) {
    return {colour.red, colour.green, colour.blue};
}

const QColor kHousing = Colour(kArtHousing);
const QColor kRed = Colour(kArtRed);
const QColor kYellow = Colour(kArtYellow);
const QColor kGreen = Colour(kArtGreen);
const QColor kNameColour = Colour(kArtName);

// A vertical signal head filling `r`.
void DrawSignalHead(QPainter& painter, const QRectF& r) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kHousing);
    painter.drawRoundedRect(r, r.width() * 0.22, r.width() * 0.22);
    const qreal d = std::min(r.width() * 0.7, r.height() / 3.0 * 0.8);
    const qreal step = r.height() / 3.0;
    const QColor lights[] = {kRed, kYellow, kGreen};
    for (int i = 0; i < 3; ++i) {
        const QPointF centre(r.center().x(), r.top() + step * (i + 0.5));
        painter.setBrush(lights[i]);
        painter.drawEllipse(centre, d / 2, d / 2);
    }
}

QPixmap IconPixmap(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal w = side * 0.5;
    DrawSignalHead(painter, QRectF((side - w) / 2, side * 0.03, w, side * 0.94));
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
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal h = size.height() - 4;
    DrawSignalHead(painter, QRectF(4, 2, h * 0.42, h));

    QFont name(QStringLiteral("DejaVu Sans"));
    name.setBold(true);
    name.setPixelSize(static_cast<int>(size.height() * 0.5));
    painter.setFont(name);
    painter.setPen(kNameColour);
    const QRectF text(h * 0.42 + 16, 0, size.width() - h * 0.42 - 16, size.height());
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(kArtNameText));

    QLinearGradient line(text.left(), 0, size.width(), 0);
    line.setColorAt(0, kRed);
    line.setColorAt(0.5, kYellow);
    line.setColorAt(1, kGreen);
    painter.fillRect(QRectF(text.left(), size.height() - 6, text.width() - 4, 3), line);
    return pixmap;
}

}  // namespace zorvik
