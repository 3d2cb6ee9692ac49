#pragma once

class DrawingSurface;

// A polyline drawn in dashes on a surface that only draws solid lines. The
// dash pattern runs on from one segment to the next, so a curve of many
// short segments still reads as dashed. Lengths are in the surface's
// logical units, measured as the two axes' units come (the caller picks
// lengths that suit its scale).
class DashedLine
{
public:
    DashedLine(DrawingSurface &surface, double dash, double gap);

    void moveTo(double x, double y);
    void lineTo(double x, double y);

private:
    DrawingSurface &m_surface;
    double m_dash;
    double m_gap;
    double m_x = 0;
    double m_y = 0;
    double m_phase = 0; // how far into the current dash + gap period
};
