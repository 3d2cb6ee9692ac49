#pragma once

#include <QtGlobal>

class DrawingSurface;
class Notation;
struct BoxRecord;

// The graph's logical system, shared by screen and paper: time runs from 0
// to 1500 over the scope of time, the value axis grows upwards from 0 with
// ten units per percent (so it is drawn at -10 * value).
namespace GraphScale {
constexpr double TimeAxisEnd = 1500;
constexpr double TopGridLine = -800;
constexpr double Overhang = 15;
// The logical system of a picture box: corners (-100, -900) and (1600, 150).
constexpr double Left = -100, Top = -900, Right = 1600, Bottom = 150;
constexpr qint32 ScreenAxisColor = 0x808080; // dark grey of the standard palette
} // namespace GraphScale

// Picture box routines. The caller sets the logical system first; `scope`
// (minutes) only labels the time axis. Foreground colour is left dark grey.
void DrawGraphAxes(DrawingSurface &surface, float scope, const Notation &notation);
// Draws the curve of `box` in the surface's foreground colour with line
// width `LinieGr`, restoring the draw width afterwards. Sets box.x[0] to
// box.x[1] as the measurement does. Draws nothing for a box without points
// after the first or without a scope of time.
void DrawCurve(DrawingSurface &surface, BoxRecord &box, int LinieGr);

// Paper routines: as above with the printer's widths and colours; the curve
// uses the surface's current draw width. With `label` 1..5 the box number
// is printed along the curve every twentieth point, staggered by box.
void PrintGraphAxes(DrawingSurface &surface, float scope, const Notation &notation);
void PrintCurve(DrawingSurface &surface, BoxRecord &box, int label);
