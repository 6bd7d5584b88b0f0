#include "courseware/qt_form_printer.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

#include <algorithm>

namespace tavola {

bool renderFormOnPrinter(QWidget& form, QPrinter& printer)
{
    if (form.width() <= 0 || form.height() <= 0) return false;
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    int screenDpi = form.logicalDpiX() > 0 ? form.logicalDpiX() : 96;
    double scale = static_cast<double>(printer.resolution()) / screenDpi;
    scale = std::min(
        {scale, static_cast<double>(page.width()) / form.width(), static_cast<double>(page.height()) / form.height()});
    painter.scale(scale, scale);
    form.render(&painter);
    return painter.end();
}

bool DialogFormPrinter::printForm(QWidget& form)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, &form);
    if (dialog.exec() != QDialog::Accepted) return false;
    return renderFormOnPrinter(form, printer);
}

} // namespace tavola
