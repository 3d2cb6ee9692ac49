#pragma once

class DrawingSurface;
class Notation;
struct Settings;

// What the graph window shows, read afresh at every paint: with DialogMode
// 1 the curve of the active box in its own scope of time, otherwise every
// curve of the selected scope, later boxes over earlier ones.
void DrawGraphPlot(DrawingSurface &surface, Settings &settings, const Notation &notation);

// The legend, one line per box in the box's colour, naming the specimen of
// every box with a curve in the selected scope. The surface is in twips;
// the font grows with the legend's height.
void DrawGraphLegend(DrawingSurface &surface, const Settings &settings);

// The legend's font size in points for a legend `height` twips high.
double LegendFontSize(double height);
