#pragma once

#include "display/PainterSurface.h"

class QPagedPaintDevice;

// The paper surface over a printer or a PDF writer: positions in twips from
// the printable origin, mapped onto the device's real resolution; the page
// size is the device's printable area. The painter stays the caller's, so
// the caller decides how a document is begun, ended or abandoned.
class PrinterSurface : public PainterSurface
{
public:
    PrinterSurface(QPainter &painter, QPagedPaintDevice &device);

    bool newPage() override;

private:
    QPagedPaintDevice &m_device;
};
