#include "display/ReferencePlot.h"

#include "display/DashedLine.h"
#include "display/DrawingSurface.h"
#include "store/Store.h"

void DrawReferenceCurve(DrawingSurface &surface, const ReferenceCurve &reference, float scope)
{
    const BoxRecord &c = reference.curve;
    if (!reference.chosen() || scope <= 0 || c.pointCount() < 2)
        return;
    const qint32 colour = surface.foreColor();
    const int width = surface.drawWidth();
    surface.setForeColor(ReferenceColour);
    surface.setDrawWidth(1);
    // As a box curve is drawn: from the second reading on, each point the
    // mean of two neighbours, without changing the stored first reading.
    DashedLine dashes(surface, 14, 10);
    dashes.moveTo(0, -10.0 * c.x[1]);
    for (int j = 1; j < CurveSize; ++j) {
        const float previous = j == 1 ? c.x[1] : c.x[j - 1];
        dashes.lineTo(25.0 * c.y[j] / scope, -10.0 * (double(previous) + c.x[j]) / 2);
        if (j + 1 >= CurveSize || c.x[j + 1] <= CurveEndMark)
            break;
    }
    surface.setForeColor(colour);
    surface.setDrawWidth(width);
}

std::optional<ReferenceCurve> LoadReferenceCurve(Store &store, qint32 key)
{
    ReferenceCurve r;
    if (!store.LoadBox(r.curve, key) || !r.curve.holdsGraph())
        return std::nullopt;
    r.UntID = key;
    r.Kovra = r.curve.Kovra;
    for (const DirectoryEntry &d : store.listDirectories(DirectoryType::Graphs))
        if (d.VerzID == r.curve.VerzID)
            r.directory = d.VerzName;
    return r;
}
