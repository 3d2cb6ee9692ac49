#include "display/GraphPlot.h"

#include "core/CurveNote.h"
#include "display/CurvePlot.h"
#include "display/DrawingSurface.h"
#include "display/ReferencePlot.h"
#include "core/Rounding.h"
#include "core/Settings.h"

namespace {

bool inSelectedScope(const BoxRecord &box, float scope)
{
    return box.holdsGraph() && box.Ein[10] == scope;
}

// Under the curves of the scope, the reference of each box drawn, each
// stored graph once.
void drawReferences(DrawingSurface &surface, const Settings &settings)
{
    QList<qint32> drawn;
    for (int k = 1; k <= 5; ++k) {
        const ReferenceCurve &r = settings.References.at(k);
        if (!inSelectedScope(settings.Box(k), settings.ScopeOfTime) || drawn.contains(r.UntID))
            continue;
        DrawReferenceCurve(surface, r, settings.ScopeOfTime);
        drawn << r.UntID;
    }
}

} // namespace

void DrawGraphPlot(DrawingSurface &surface, Settings &settings, const Notation &notation)
{
    surface.setScale(GraphScale::Left, GraphScale::Top, GraphScale::Right, GraphScale::Bottom);
    if (settings.DialogMode == 1) {
        BoxRecord &box = settings.activeBox();
        DrawGraphAxes(surface, box.Ein[10], notation);
        DrawReferenceCurve(surface, settings.References.at(settings.ActiveBox), box.Ein[10]);
        if (box.holdsGraph()) {
            surface.setForeColor(settings.boxColour(settings.ActiveBox));
            DrawCurve(surface, box, settings.LinieGr);
        }
        return;
    }
    DrawGraphAxes(surface, settings.ScopeOfTime, notation);
    drawReferences(surface, settings);
    for (int k = 1; k <= 5; ++k) {
        BoxRecord &box = settings.Box(k);
        if (!inSelectedScope(box, settings.ScopeOfTime))
            continue;
        surface.setForeColor(settings.boxColour(k));
        DrawCurve(surface, box, settings.LinieGr);
    }
}

// A legend squeezed flat still gets a readable minimum instead of a size
// the font system refuses.
double LegendFontSize(double height)
{
    const double size = height / 150;
    return size >= 1 ? size : 1;
}

void DrawGraphLegend(DrawingSurface &surface, const Settings &settings)
{
    surface.resetScale();
    const double H = surface.scaleHeight();
    surface.setFontSize(LegendFontSize(H));
    const int th = roundHalfEven(surface.textHeight(QStringLiteral("Box \u00a7: ")));
    const int gap = roundHalfEven((H - 5 * th) / 6);
    for (int i = 1; i <= 5; ++i) {
        QString text = QStringLiteral("Box %1: ").arg(i);
        const BoxRecord &box = settings.Box(i);
        if (inSelectedScope(box, settings.ScopeOfTime)) {
            text += box.Kovra;
            if (const QString note = CurveNote(box); !note.isEmpty())
                text += QStringLiteral("  (") + note + QLatin1Char(')');
        }
        surface.setForeColor(settings.boxColour(i));
        surface.setCurrentX(100);
        surface.setCurrentY((i - 1) * th + i * gap);
        surface.print(text);
    }
}
