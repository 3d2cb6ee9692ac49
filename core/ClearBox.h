#pragma once

#include <QDate>

struct Settings;
class Notation;

// Resets box `box` (1..5) to an empty pattern box with today's dates. The
// adjustments, results, curve and directory key stay as they were.
void ClearBox(Settings &settings, int box, const Notation &notation,
              QDate today = QDate::currentDate());
