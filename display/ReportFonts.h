#pragma once

#include <QString>

// The fixed-pitch face the report is laid out for.
inline QString ReportFontFamily()
{
    return QStringLiteral("Courier New");
}

// Makes the report's face resolve to a metric-compatible font where it is not
// installed (Liberation Mono has the same advances). Safe to call repeatedly.
void InstallFontSubstitutions();
