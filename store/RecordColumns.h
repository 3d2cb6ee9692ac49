#pragma once

#include <QStringList>

// Column groups of the table Untersuchungen, in the order the record
// transfer writes them.
namespace RecordColumns
{

// Specimen data, stored for graphs and patterns alike.
const QStringList &specimen();
// Positions in specimen().
enum Specimen {
    GrwBez,
    Benutzer,
    PruefAm,
    BgArt,
    Bg,
    HarzTyp,
    BgVon,
    BgVonAm,
    DrVon,
    DrVonAm,
    PaVon,
    PaVonAm,
    GesGew,
    PaGew,
    Luftdurch,
    Temp,
    Feuchte,
    Fluss,
    Asche,
    Bemerk,
    SpecimenCount
};
// Curve, adjustments, results and limits: stored for graphs only.
const QStringList &graph();
// Positions in graph(): x, y, then Ein1..10, Erg1..5, GwO1..5, GWU1..5,
// Fehlend, Unvollst.
constexpr int GraphX = 0, GraphY = 1;
constexpr int graphEin(int k)
{
    return 1 + k;
}
constexpr int graphErg(int k)
{
    return 11 + k;
}
constexpr int graphGwO(int k)
{
    return 16 + k;
}
constexpr int graphGWU(int k)
{
    return 21 + k;
}
// How the curve was measured (layout 2 on); Null in older records.
constexpr int GraphFehlend = 27, GraphUnvollst = 28;
// The columns that hold dates (ISO texts in the file, "dd/mm/yy" in a box).
const QStringList &dates();
// A column name quoted for SQL (some hold umlauts).
QString quoted(const QString &column);

} // namespace RecordColumns
