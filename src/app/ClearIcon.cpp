#include "ClearIcon.h"

#include <QPainter>
#include <QPixmap>

using namespace Qt::StringLiterals;

namespace app {
namespace {

// A grey disc with a white cross, the usual sign for emptying a field.
QPixmap drawClearSymbol(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(128, 128, 128));
    const qreal inset = size / 16.0;
    painter.drawEllipse(QRectF(inset, inset, size - 2 * inset, size - 2 * inset));
    painter.setPen(QPen(Qt::white, size / 8.0, Qt::SolidLine, Qt::RoundCap));
    const qreal near = size * 0.34;
    const qreal far = size - near;
    painter.drawLine(QPointF(near, near), QPointF(far, far));
    painter.drawLine(QPointF(near, far), QPointF(far, near));
    return pixmap;
}

} // namespace

QIcon clearIcon()
{
    QIcon drawn;
    for (const int size : {16, 24, 32})
        drawn.addPixmap(drawClearSymbol(size));
    return QIcon::fromTheme(u"edit-clear"_s, drawn);
}

} // namespace app
