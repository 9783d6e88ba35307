#include "gui/ProgramIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <stdexcept>

namespace elsetry {

QIcon ProgramIcon()
{
    // Drawn here rather than left to an icon plugin, which a system may lack.
    QSvgRenderer renderer(QStringLiteral(":/elsetry.svg"));
    if (!renderer.isValid())
        throw std::logic_error("The program's icon is missing or does not read");
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace elsetry
