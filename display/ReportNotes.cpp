#include "display/ReportNotes.h"

QStringList NoteLines(const QString &notes)
{
    QString buffer;
    for (const QChar c : notes) {
        if (c == QLatin1Char('\r'))
            continue;
        if (c == QLatin1Char('\n')) {
            // A line that is already full still ends, leaving an empty one.
            const qsizetype pad = NoteLineLength - buffer.size() % NoteLineLength;
            buffer += QString(pad, QLatin1Char(' '));
            continue;
        }
        buffer += c;
    }
    QStringList lines;
    for (int k = 0; k < NoteLineCount; ++k)
        lines << buffer.mid(k * NoteLineLength, NoteLineLength);
    return lines;
}
