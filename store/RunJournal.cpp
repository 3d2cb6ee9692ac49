#include "store/RunJournal.h"

#include "store/Database.h"
#include "store/SqlHelpers.h"

#include <QDataStream>
#include <QIODevice>

namespace
{

// The box's own layout in the journal; a journal written by another layout
// is not restored.
constexpr qint32 kBoxLayout = 1;

QByteArray packBox(const BoxRecord &b)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kBoxLayout << qint32(b.BoxNr) << qint32(b.UntID) << qint32(b.VerzID);
    for (float v : b.Ein)
        out << v;
    for (const auto *limits : { &b.GwO, &b.GWU })
        for (float v : *limits)
            out << v;
    out << b.Kovra << b.Benutzer << b.PruefAm << b.BgArt << b.Bg << b.HarzTyp << b.BgVon
        << b.BgVonAm << b.DrVon << b.DrVonAm << b.PaVon << b.PaVonAm << b.GesGew << b.PaGew
        << b.Luftdurch << b.Temp << b.Feuchte << b.Fluss << b.Asche << b.Bemerk << b.GrwBez.text();
    return bytes;
}

bool unpackBox(const QByteArray &bytes, BoxRecord &b)
{
    QDataStream in(bytes);
    qint32 layout = 0, boxNr = 0, untId = 0, verzId = 0;
    in >> layout;
    if (layout != kBoxLayout)
        return false;
    in >> boxNr >> untId >> verzId;
    for (float &v : b.Ein)
        in >> v;
    for (auto *limits : { &b.GwO, &b.GWU })
        for (float &v : *limits)
            in >> v;
    QString grwBez;
    in >> b.Kovra >> b.Benutzer >> b.PruefAm >> b.BgArt >> b.Bg >> b.HarzTyp >> b.BgVon >> b.BgVonAm
        >> b.DrVon >> b.DrVonAm >> b.PaVon >> b.PaVonAm >> b.GesGew >> b.PaGew >> b.Luftdurch
        >> b.Temp >> b.Feuchte >> b.Fluss >> b.Asche >> b.Bemerk >> grwBez;
    b.BoxNr = boxNr;
    b.UntID = untId;
    b.VerzID = verzId;
    b.GrwBez.set(grwBez);
    return in.status() == QDataStream::Ok;
}

} // namespace

RunJournal::RunJournal(Database &db)
    : m_db(db)
{
}

QString RunJournal::lastError() const
{
    return m_db.lastError();
}

std::optional<qint64> RunJournal::begin(const BoxRecord &box, const QDateTime &now)
{
    qint64 id = 0;
    const bool written = m_db.transaction([&] {
        // RETURNING rather than the driver's last id: the server's driver has none.
        QSqlQuery &q = m_db.prepared(QStringLiteral(
            R"(INSERT INTO "Messjournal" ("BoxNr", "Kovra", "Beginn", "Box") VALUES (?, ?, ?, ?) )"
            R"(RETURNING "LaufID")"));
        Sql::Finish finish(q);
        if (!Sql::run(m_db, q,
                { box.BoxNr, Sql::text(box.Kovra), now.toString(Qt::ISODate), packBox(box) })
            || !q.next())
            return false;
        id = q.value(0).toLongLong();
        return true;
    });
    return written ? std::optional<qint64>(id) : std::nullopt;
}

bool RunJournal::write(qint64 id, const QList<Point> &points)
{
    return m_db.transaction([&] {
        // An interpolated substitute is written again over its first value.
        QSqlQuery &q = m_db.prepared(QStringLiteral(
            R"(INSERT INTO "Messpunkte" ("LaufID", "Punkt", "x", "y", "Ersatz") )"
            R"(VALUES (?, ?, ?, ?, ?) ON CONFLICT ("LaufID", "Punkt") DO UPDATE SET )"
            R"("x" = excluded."x", "y" = excluded."y", "Ersatz" = excluded."Ersatz")"));
        for (const Point &p : points)
            if (!Sql::run(m_db, q, { id, p.index, double(p.x), double(p.y), int(p.substitute) }))
                return false;
        return true;
    });
}

bool RunJournal::clear(qint64 id)
{
    return m_db.transaction([&] {
        QSqlQuery &points
            = m_db.prepared(QStringLiteral(R"(DELETE FROM "Messpunkte" WHERE "LaufID" = ?)"));
        QSqlQuery &run
            = m_db.prepared(QStringLiteral(R"(DELETE FROM "Messjournal" WHERE "LaufID" = ?)"));
        return Sql::run(m_db, points, { id }) && Sql::run(m_db, run, { id });
    });
}

QList<RunJournal::Interrupted> RunJournal::interrupted()
{
    QList<Interrupted> runs;
    {
        QSqlQuery &q = m_db.prepared(QStringLiteral(
            R"(SELECT "LaufID", "BoxNr", "Kovra", "Beginn", "Box" FROM "Messjournal" )"
            R"(ORDER BY "LaufID")"));
        Sql::Finish finish(q);
        if (!Sql::run(m_db, q))
            return runs;
        while (q.next()) {
            Interrupted run;
            run.id = q.value(0).toLongLong();
            run.boxNr = q.value(1).toInt();
            run.name = q.value(2).toString();
            run.begun = QDateTime::fromString(q.value(3).toString(), Qt::ISODate);
            if (unpackBox(q.value(4).toByteArray(), run.box))
                runs.append(run);
        }
    }
    QSqlQuery &q = m_db.prepared(QStringLiteral(
        R"(SELECT "Punkt", "x", "y", "Ersatz" FROM "Messpunkte" WHERE "LaufID" = ? )"
        R"(AND "Punkt" BETWEEN 1 AND ? ORDER BY "Punkt")"));
    for (Interrupted &run : runs) {
        Sql::Finish finish(q);
        if (!Sql::run(m_db, q, { run.id, CurveLastPoint }))
            continue;
        while (q.next())
            run.points.append({ q.value(0).toInt(), q.value(1).toFloat(), q.value(2).toFloat(),
                q.value(3).toInt() != 0 });
    }
    return runs;
}

BoxRecord RestoredBox(const RunJournal::Interrupted &run)
{
    BoxRecord box = run.box;
    box.x.fill(0);
    box.y.fill(0);
    int last = 0;
    int substitutes = 0;
    for (const RunJournal::Point &p : run.points) {
        // Points follow one another; a hole ends what can be trusted.
        if (p.index != last + substitutes + 1)
            break;
        box.x[size_t(p.index)] = p.x;
        box.y[size_t(p.index)] = p.y;
        if (p.substitute) {
            ++substitutes;
            continue;
        }
        box.Fehlend += p.index - last - 1;
        last = p.index;
        substitutes = 0;
    }
    for (int k = last + 1; k <= last + substitutes; ++k)
        box.x[size_t(k)] = box.y[size_t(k)] = 0;
    box.x[size_t(last) + 1] = CurveEndMark;
    box.x[0] = last > 0 ? box.x[1] : CurveEndMark;
    box.y[0] = 0;
    box.Status = BoxStatus::Graph;
    box.Unvollst = true;
    box.Changed = true;
    box.Stored = false;
    return box;
}
