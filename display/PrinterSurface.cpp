#include "display/PrinterSurface.h"

#include <QPagedPaintDevice>

PrinterSurface::PrinterSurface(QPainter &painter, QPagedPaintDevice &device)
    : PainterSurface(painter, Kind::Paper), m_device(device)
{
}

bool PrinterSurface::newPage()
{
    return m_device.newPage();
}
