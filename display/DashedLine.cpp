#include "display/DashedLine.h"

#include "display/DrawingSurface.h"

#include <algorithm>
#include <cmath>

DashedLine::DashedLine(DrawingSurface &surface, double dash, double gap)
    : m_surface(surface)
    , m_dash(dash > 0 ? dash : 1)
    , m_gap(gap > 0 ? gap : 1)
{
}

void DashedLine::moveTo(double x, double y)
{
    m_x = x;
    m_y = y;
    m_phase = 0;
}

void DashedLine::lineTo(double x, double y)
{
    const double dx = x - m_x, dy = y - m_y;
    const double length = std::hypot(dx, dy);
    const double period = m_dash + m_gap;
    double done = 0;
    while (done < length) {
        const bool drawing = m_phase < m_dash;
        const double left = drawing ? m_dash - m_phase : period - m_phase;
        const double step = std::min(left, length - done);
        if (drawing)
            m_surface.line(m_x + dx * done / length, m_y + dy * done / length,
                m_x + dx * (done + step) / length, m_y + dy * (done + step) / length);
        done += step;
        m_phase = std::fmod(m_phase + step, period);
    }
    m_x = x;
    m_y = y;
}
