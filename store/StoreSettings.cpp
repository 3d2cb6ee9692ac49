#include "store/Store.h"

#include "core/Settings.h"
#include "core/SettingsRanges.h"
#include "core/SettingsTables.h"
#include "store/Database.h"
#include "store/SqlHelpers.h"

namespace
{

// The one settings record is the first in table order.
const char kFirstInit[] = "rowid = (SELECT min(rowid) FROM Init)";

template <typename T> void readInt(const QVariant &value, T &field)
{
    if (!value.isNull())
        field = T(value.toLongLong());
}

bool expectOneRow(Database &db, const QSqlQuery &q)
{
    if (q.numRowsAffected() == 1)
        return true;
    db.setLastError(QStringLiteral("the settings record is missing"));
    return false;
}

} // namespace

bool Store::LoadSettings(Settings &s, QStringList *corrected)
{
    QSqlQuery &q = m_db.prepared(
        QStringLiteral("SELECT DisKvFa1, DisKvFa2, DisKvFa3, DisKvFa4, DisKvFa5, "
                       "PrnOffOb, PrnOffUn, PrnOffRe, PrnOffLi, AEB, AZB, LinieDr, LinieGr, "
                       "\"Rührer\", Temp, Viskos, AD_Adr, IO_ADR, HostAddress FROM Init WHERE %1")
            .arg(QLatin1String(kFirstInit)));
    {
        Sql::Finish finish(q);
        if (!Sql::run(m_db, q))
            return false;
        if (!q.next()) {
            m_db.setLastError(QStringLiteral("the settings record is missing"));
            return false;
        }
        // A Null (a file edited by hand) leaves the program's default.
        for (int k = 1; k <= 5; ++k)
            readInt(q.value(k - 1), s.DisKvFa[k]);
        Sql::read(q.value(5), s.PrnOffOb);
        Sql::read(q.value(6), s.PrnOffUn);
        Sql::read(q.value(7), s.PrnOffRe);
        Sql::read(q.value(8), s.PrnOffLi);
        readInt(q.value(9), s.ActiveBox);
        Sql::read(q.value(10), s.ScopeOfTime);
        readInt(q.value(11), s.LinieDr);
        readInt(q.value(12), s.LinieGr);
        readInt(q.value(13), s.Ruehrer);
        Sql::read(q.value(14), s.Temp);
        Sql::read(q.value(15), s.Viskos);
        readInt(q.value(16), s.AD_Adr);
        readInt(q.value(17), s.IO_ADR);
        Sql::read(q.value(18), s.HostAddress);
    }
    // The tables below and every window rely on these being in range.
    const QStringList notes = CorrectOutOfRange(s);
    if (corrected)
        *corrected = notes;
    FillSettingsTables(s);
    s.TraceText = QStringLiteral("0");
    s.MeasureRequested = 0;
    return true;
}

std::optional<StartChoices> Store::readStartChoices()
{
    QSqlQuery &q = m_db.prepared(
        QStringLiteral("SELECT AEB, AZB FROM Init WHERE %1").arg(QLatin1String(kFirstInit)));
    Sql::Finish finish(q);
    if (!Sql::run(m_db, q))
        return std::nullopt;
    if (!q.next()) {
        m_db.setLastError(QStringLiteral("the settings record is missing"));
        return std::nullopt;
    }
    StartChoices choices;
    readInt(q.value(0), choices.AEB);
    Sql::read(q.value(1), choices.AZB);
    return choices;
}

bool Store::writeColours(const Settings &s)
{
    return m_db.transaction([&] {
        QSqlQuery &q = m_db.prepared(
            QStringLiteral("UPDATE Init SET DisKvFa1 = ?, DisKvFa2 = ?, DisKvFa3 = ?, "
                           "DisKvFa4 = ?, DisKvFa5 = ? WHERE %1")
                .arg(QLatin1String(kFirstInit)));
        return Sql::run(m_db, q,
                   { s.DisKvFa[1], s.DisKvFa[2], s.DisKvFa[3], s.DisKvFa[4], s.DisKvFa[5] })
            && expectOneRow(m_db, q);
    });
}

bool Store::writeOtherAdjustments(const Settings &s, int aeb, std::optional<float> azb)
{
    return m_db.transaction([&] {
        QString sql = QStringLiteral(
            "UPDATE Init SET AEB = ?, PrnOffUn = ?, PrnOffOb = ?, PrnOffRe = ?, PrnOffLi = ?, "
            "LinieGr = ?, LinieDr = ?, AD_Adr = ?, IO_ADR = ?, Viskos = ?, HostAddress = ?");
        QVariantList values = { aeb, Sql::single(s.PrnOffUn), Sql::single(s.PrnOffOb),
            Sql::single(s.PrnOffRe), Sql::single(s.PrnOffLi), s.LinieGr, s.LinieDr, s.AD_Adr,
            s.IO_ADR, Sql::single(s.Viskos), Sql::text(s.HostAddress) };
        if (azb) {
            sql += QStringLiteral(", AZB = ?");
            values << Sql::single(*azb);
        }
        QSqlQuery &q = m_db.prepared(sql + QStringLiteral(" WHERE ") + QLatin1String(kFirstInit));
        return Sql::run(m_db, q, values) && expectOneRow(m_db, q);
    });
}
