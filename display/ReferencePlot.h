#pragma once

#include "core/ReferenceCurve.h"

#include <optional>

class DrawingSurface;
class Store;

// The light grey of reference curves, lighter than any box colour's grid.
constexpr qint32 ReferenceColour = 0xC0C0C0;

// Draws a reference curve in light grey dashes, thin, on a plot whose time
// axis spans `scope` minutes (the plot's own scope, so the reference lines
// up with the curves over it whatever scope it was recorded in). Draws
// nothing when none is chosen or the scope is 0. Call it before the box
// curves so they lie on top.
void DrawReferenceCurve(DrawingSurface &surface, const ReferenceCurve &reference, float scope);

// The stored graph `key` as a reference; none when it is no graph or
// cannot be read (the store's lastError() tells why).
std::optional<ReferenceCurve> LoadReferenceCurve(Store &store, qint32 key);
