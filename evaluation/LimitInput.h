#pragma once

#include <QString>
#include <optional>

class Notation;
struct LimitRangeRow;

// A limit typed into the limit editor, within the allowed range of its
// result. The text must read as the number it shows (on a comma system
// "1.5" is refused, not taken as 15). The range texts keep their long-
// standing reading by the system's number rules, under which "9.999" is 9999
// on a comma system. An unreadable range refuses everything.
std::optional<float> ReadLimitInput(
    const QString &text, const LimitRangeRow &range, const Notation &notation);

// The number a limit field holds, whatever its range: how "&OK" reads a
// limit that was loaded and not typed over.
std::optional<float> ReadLimitValue(const QString &text, const Notation &notation);

// "(0...999.9)", shown beside the row.
QString LimitRangeCaption(const LimitRangeRow &range);
// "valid user input:", an empty line, "( 0 .... 999.9 )".
QString LimitRangeMessage(const LimitRangeRow &range);
// The longest text a limit field takes: as long as the range's maximum.
int LimitInputLength(const LimitRangeRow &range);
