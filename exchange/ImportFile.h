#pragma once

#include <QByteArrayView>
#include <QString>

struct BoxRecord;
class OperatorMessages;

// The binary import file "*.kpf": one specimen with its curve, texts in the
// DOS code page 437 as length-prefixed strings, numbers as big-endian
// doubles. The file has no header and no checksum, so every length and
// count in it is checked against what is really there.

// The largest file the reader can use: 21 strings of 255 bytes, 16 numbers
// and two curves of 299 points. Bytes beyond are never looked at.
constexpr int ImportMaxPoints = 299;
constexpr qsizetype ImportMaxFileSize = 21 * 256 + 16 * 8 + 2 * ImportMaxPoints * 8;

inline QString importFilePattern()
{
    return QStringLiteral("*.kpf");
}

// A string field of the file: the umlauts of code page 437 become their
// letters, every other byte is taken as the ANSI character of that number.
QString ConvertUmlauts(QByteArrayView text);

// Eight bytes, most significant first, as a double.
double ReadBinaryNumber(QByteArrayView eightBytes);

// Reads the file's content into box. The specimen name becomes
// suffix + "->" + the name in the file. On any fault (a field running past
// the end, a bad number text, more than 299 points, a
// not-a-number count, a number that does not fit the record) box is left
// exactly as it was and the reason is put in *why. A count below 1 is a
// pattern: specimen data without a curve.
bool ParseImportData(
    QByteArrayView data, BoxRecord &box, const QString &suffix, QString *why = nullptr);

// Reads the file fileName into box; on failure tells the operator
// "error on reading file: " + fileName and leaves box untouched.
bool ReadImportFile(
    const QString &fileName, BoxRecord &box, const QString &suffix, OperatorMessages &messages);
