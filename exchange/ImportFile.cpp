#include "exchange/ImportFile.h"

#include "exchange/AnsiText.h"
#include "core/BoxRecord.h"
#include "core/Notation.h"
#include "core/OperatorMessages.h"
#include "core/Rounding.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cfloat>
#include <cmath>
#include <utility>

namespace
{

// A number text of the file with the decimal comma, read as the classic
// conversion reads it: an exponent ("1e3", "1,5E-2") is part of the number.
std::optional<double> readNumberText(const QString &text)
{
    const Notation comma(QLatin1Char(','));
    const QString t = text.trimmed();
    const qsizetype e = t.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    if (e < 0)
        return comma.parseNumber(t);
    // The part before the exponent by the file's own rules; the exponent as
    // C reads it ("1e", "1e3.5" are no numbers).
    if (!comma.parseNumber(t.left(e)))
        return std::nullopt;
    bool ok = false;
    const double v = QString(t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// Walks the file's bytes; every read says whether the bytes were there.
class FieldReader
{
public:
    explicit FieldReader(QByteArrayView data)
        : m_data(data)
    {
    }

    bool bytes(qsizetype n, QByteArrayView &out)
    {
        if (n < 0 || n > m_data.size() - m_pos)
            return fail(QStringLiteral("the file ends inside field %1").arg(m_field));
        out = m_data.sliced(m_pos, n);
        m_pos += n;
        return true;
    }

    bool string(QByteArrayView &out)
    {
        ++m_field;
        QByteArrayView length;
        if (!bytes(1, length))
            return false;
        return bytes(static_cast<unsigned char>(length.front()), out);
    }

    bool plainText(QString &out)
    {
        QByteArrayView raw;
        if (!string(raw))
            return false;
        out = DecodeAnsi(raw);
        return true;
    }

    bool umlautText(QString &out)
    {
        QByteArrayView raw;
        if (!string(raw))
            return false;
        out = ConvertUmlauts(raw);
        return true;
    }

    // A number written as text with either decimal mark; empty reads as 0.
    bool numberText(float &out)
    {
        QString text;
        if (!plainText(text))
            return false;
        if (text.isEmpty())
            text = QStringLiteral("0");
        text.replace(QLatin1Char('.'), QLatin1Char(','));
        const std::optional<double> v = readNumberText(text);
        if (!v)
            return fail(QStringLiteral("field %1 is no number").arg(m_field));
        return single(*v, out);
    }

    bool binary(double &out)
    {
        ++m_field;
        QByteArrayView raw;
        if (!bytes(8, raw))
            return false;
        out = ReadBinaryNumber(raw);
        return true;
    }

    // The record keeps single precision; a value outside it cannot be kept.
    bool binarySingle(float &out)
    {
        double v = 0;
        return binary(v) && single(v, out);
    }

    int field() const { return m_field; }
    bool fail(const QString &why)
    {
        m_why = why;
        return false;
    }
    const QString &why() const { return m_why; }

private:
    bool single(double v, float &out)
    {
        if (!std::isfinite(v) || std::fabs(v) > double(FLT_MAX))
            return fail(
                QStringLiteral("field %1 does not fit a number of the record").arg(m_field));
        out = float(v);
        return true;
    }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    int m_field = 0;
    QString m_why;
};

bool readSpecimen(FieldReader &in, BoxRecord &box, const QString &suffix)
{
    QString unused, name, note1, note2;
    const bool ok = in.plainText(unused) && in.umlautText(box.Benutzer) && in.plainText(box.PruefAm)
        && in.umlautText(name) && in.umlautText(box.BgArt) && in.numberText(box.Bg)
        && in.umlautText(box.HarzTyp) && in.umlautText(box.BgVon) && in.plainText(box.BgVonAm)
        && in.umlautText(box.DrVon) && in.plainText(box.DrVonAm) && in.umlautText(box.PaVon)
        && in.plainText(box.PaVonAm) && in.numberText(box.GesGew) && in.numberText(box.Feuchte)
        && in.numberText(box.PaGew) && in.numberText(box.Fluss) && in.numberText(box.Asche)
        && in.numberText(box.Luftdurch) && in.umlautText(note1) && in.umlautText(note2);
    if (!ok)
        return false;
    box.Kovra = suffix + QStringLiteral("->") + name;
    box.Bemerk = note1 + QLatin1Char(' ') + note2;
    return true;
}

// Results, then the adjustments; the file carries no Ein2 but the
// temperature in its place.
bool readNumbers(FieldReader &in, BoxRecord &box)
{
    for (int k = 1; k <= 5; ++k)
        if (!in.binarySingle(box.Erg[k]))
            return false;
    if (!in.binarySingle(box.Ein[1]) || !in.binarySingle(box.Temp))
        return false;
    for (int k = 3; k <= 10; ++k)
        if (!in.binarySingle(box.Ein[k]))
            return false;
    return true;
}

bool readPointCount(FieldReader &in, int &n)
{
    double count = 0;
    if (!in.binary(count))
        return false;
    if (std::isnan(count))
        return in.fail(QStringLiteral("the point count is no count"));
    // The curve arrays end at index 300 and need the slot behind the last
    // point for the end mark.
    if (count >= ImportMaxPoints + 1)
        return in.fail(QStringLiteral("more than %1 points").arg(ImportMaxPoints));
    // A count below 1, negative ones included, is a pattern: no curve.
    n = count < 0 ? 0 : roundHalfEven(count);
    if (n > ImportMaxPoints)
        return in.fail(QStringLiteral("more than %1 points").arg(ImportMaxPoints));
    return true;
}

bool readCurve(FieldReader &in, BoxRecord &box, int n)
{
    for (int i = 1; i <= n; ++i)
        if (!in.binarySingle(box.x[i]))
            return false;
    for (int i = 1; i <= n; ++i)
        if (!in.binarySingle(box.y[i]))
            return false;
    box.x[n + 1] = CurveEndMark;
    return true;
}

} // namespace

QString ConvertUmlauts(QByteArrayView text)
{
    // Code page 437 byte and its letter: ü ä Ä ö Ö Ü ß.
    static constexpr std::pair<unsigned char, char16_t> Umlauts[]
        = { { 129, 0x00FC }, { 132, 0x00E4 }, { 142, 0x00C4 }, { 148, 0x00F6 }, { 153, 0x00D6 },
              { 154, 0x00DC }, { 225, 0x00DF } };
    QString out = DecodeAnsi(text);
    for (qsizetype i = 0; i < text.size(); ++i)
        for (const auto &[dos, letter] : Umlauts)
            if (static_cast<unsigned char>(text[i]) == dos)
                out[i] = QChar(letter);
    return out;
}

double ReadBinaryNumber(QByteArrayView eightBytes)
{
    return qFromBigEndian<double>(eightBytes.data());
}

bool ParseImportData(QByteArrayView data, BoxRecord &box, const QString &suffix, QString *why)
{
    // Work on a copy so that a file that fails half-way leaves nothing of
    // itself behind in the caller's record.
    BoxRecord work = box;
    FieldReader in(data);
    int n = 0;
    const bool ok = readSpecimen(in, work, suffix) && readNumbers(in, work) && readPointCount(in, n)
        && (n < 1 || readCurve(in, work, n));
    if (!ok) {
        if (why)
            *why = in.why();
        return false;
    }
    work.Status = n < 1 ? BoxStatus::Pattern : BoxStatus::Graph;
    box = std::move(work);
    return true;
}

bool ReadImportFile(
    const QString &fileName, BoxRecord &box, const QString &suffix, OperatorMessages &messages)
{
    QFile file(fileName);
    bool ok = QFileInfo(fileName).isFile() && file.open(QIODevice::ReadOnly);
    if (ok) {
        const QByteArray data = file.read(ImportMaxFileSize);
        ok = file.error() == QFileDevice::NoError && ParseImportData(data, box, suffix);
    }
    if (!ok)
        messages.show(
            QStringLiteral("error on reading file: ") + fileName, OperatorMessages::Icon::Critical);
    return ok;
}
