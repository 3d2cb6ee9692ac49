#include "instrument/MeasurementPlot.h"

#include "display/CurvePlot.h"
#include "display/PainterSurface.h"
#include "display/ReferenceDialog.h"
#include "display/ReferencePlot.h"
#include "core/Settings.h"

#include <QPainter>
#include <QPushButton>

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

int MeasurementPlot::box() const
{
    return m_box ? m_box->BoxNr : m_settings.ActiveBox;
}

void MeasurementPlot::offerReferenceChoice(Store &store, OperatorMessages &messages)
{
    m_reference = new QPushButton(QStringLiteral("Re&ference..."), this);
    m_reference->setObjectName(QStringLiteral("cmdReferenz"));
    m_reference->setAutoDefault(false);
    m_reference->setFocusPolicy(Qt::NoFocus); // Enter stays with the window's own buttons
    connect(m_reference, &QPushButton::clicked, this, [this, &store, &messages] {
        if (ChooseReference(store, messages, m_settings.References.at(box()), box(), this))
            update();
    });
    resizeEvent(nullptr);
}

void MeasurementPlot::resizeEvent(QResizeEvent *)
{
    if (!m_reference)
        return;
    m_reference->adjustSize();
    m_reference->move(std::max(0, width() - m_reference->width() - 4), 4);
}

void MeasurementPlot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    PainterSurface surface(painter, PainterSurface::Kind::Screen, font());
    surface.setScale(GraphScale::Left, GraphScale::Top, GraphScale::Right, GraphScale::Bottom);
    DrawGraphAxes(surface, m_settings.ScopeOfTime, m_notation);
    DrawReferenceCurve(surface, m_settings.References.at(box()), m_settings.ScopeOfTime);
    if (m_box && m_hasPoints) {
        surface.setForeColor(m_settings.boxColour(m_box->BoxNr));
        DrawCurve(surface, *m_box, m_settings.LinieGr);
    }
}
