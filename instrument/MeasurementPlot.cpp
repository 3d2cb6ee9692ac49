#include "instrument/MeasurementPlot.h"

#include "display/CurvePlot.h"
#include "display/PainterSurface.h"
#include "core/Settings.h"

#include <QPainter>

MeasurementPlot::MeasurementPlot(Settings &settings, const Notation &notation, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_notation(notation)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(480, 300);
}

void MeasurementPlot::setCurve(BoxRecord *box, bool hasPoints)
{
    m_box = box;
    m_hasPoints = hasPoints;
    update();
}

void MeasurementPlot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    PainterSurface surface(painter, PainterSurface::Kind::Screen, font());
    surface.setScale(GraphScale::Left, GraphScale::Top, GraphScale::Right, GraphScale::Bottom);
    DrawGraphAxes(surface, m_settings.ScopeOfTime, m_notation);
    if (m_box && m_hasPoints) {
        surface.setForeColor(m_settings.boxColour(m_box->BoxNr));
        DrawCurve(surface, *m_box, m_settings.LinieGr);
    }
}
