#include "evaluation/SpecimenRecord.h"

#include "core/BoxRecord.h"
#include "core/Notation.h"

namespace
{

// Both directions list the fields once, so a field added to one side cannot
// be forgotten on the other.
template <typename From, typename To> void copySpecimen(const From &from, To &to)
{
    to.Kovra = from.Kovra;
    to.Benutzer = from.Benutzer;
    to.PruefAm = from.PruefAm;
    to.BgArt = from.BgArt;
    to.Bg = from.Bg;
    to.HarzTyp = from.HarzTyp;
    to.BgVon = from.BgVon;
    to.BgVonAm = from.BgVonAm;
    to.DrVon = from.DrVon;
    to.DrVonAm = from.DrVonAm;
    to.PaVon = from.PaVon;
    to.PaVonAm = from.PaVonAm;
    to.GesGew = from.GesGew;
    to.PaGew = from.PaGew;
    to.Luftdurch = from.Luftdurch;
    to.Temp = from.Temp;
    to.Feuchte = from.Feuchte;
    to.Fluss = from.Fluss;
    to.Asche = from.Asche;
    to.Bemerk = from.Bemerk;
}

} // namespace

SpecimenRecord SpecimenOf(const BoxRecord &box)
{
    SpecimenRecord specimen;
    copySpecimen(box, specimen);
    return specimen;
}

void PutSpecimen(const SpecimenRecord &specimen, BoxRecord &box)
{
    copySpecimen(specimen, box);
}

bool SameSpecimen(const SpecimenRecord &a, const SpecimenRecord &b)
{
    return a.Kovra == b.Kovra && a.Benutzer == b.Benutzer && a.PruefAm == b.PruefAm
        && a.BgArt == b.BgArt && a.Bg == b.Bg && a.HarzTyp == b.HarzTyp && a.BgVon == b.BgVon
        && a.BgVonAm == b.BgVonAm && a.DrVon == b.DrVon && a.DrVonAm == b.DrVonAm
        && a.PaVon == b.PaVon && a.PaVonAm == b.PaVonAm && a.GesGew == b.GesGew
        && a.PaGew == b.PaGew && a.Luftdurch == b.Luftdurch && a.Temp == b.Temp
        && a.Feuchte == b.Feuchte && a.Fluss == b.Fluss && a.Asche == b.Asche
        && a.Bemerk == b.Bemerk;
}

QString SpecimenNumberText(float value, const Notation &notation)
{
    return notation.plain(value);
}

std::optional<float> ReadSpecimenNumber(
    const QString &text, SpecimenRange range, const Notation &notation)
{
    const std::optional<double> value = notation.parseNumber(text);
    // Compared before narrowing, so 999,1 cannot slip under 999 as a float.
    if (!value || *value < 0 || *value > range.limit)
        return std::nullopt;
    return float(*value);
}

QString SpecimenNumberMessage(SpecimenRange range)
{
    return QStringLiteral("valid user input:\n\n(0 .... %1)").arg(QLatin1String(range.limitText));
}

std::optional<QString> RewriteSpecimenDate(const QString &text, const Notation &notation)
{
    const std::optional<QDate> date = notation.parseDate(text.trimmed());
    if (!date)
        return std::nullopt;
    return notation.date(*date);
}
