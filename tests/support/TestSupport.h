#pragma once

#include "core/Notation.h"

#include <QString>

// Notations of the two kinds of system the program meets.
inline Notation commaNotation() { return Notation(QLatin1Char(','), QLatin1Char('.')); }
inline Notation pointNotation() { return Notation(QLatin1Char('.'), QLatin1Char('/')); }
