#pragma once

#include <QStringList>

// The notes as the report prints them: 8 lines of 36 characters. A line
// feed continues on the next line; text beyond 288 characters is dropped.
constexpr int NoteLineLength = 36;
constexpr int NoteLineCount = 8;
QStringList NoteLines(const QString &notes);
