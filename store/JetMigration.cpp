#include "store/JetMigration.h"

#include "core/Notation.h"
#include "core/SettingsTables.h"
#include "store/Database.h"
#include "store/DatabaseBackup.h"
#include "store/DatabaseCopy.h"
#include "store/DatabaseTarget.h"
#include "store/JetFileCheck.h"
#include "store/JetReader.h"
#include "store/RecordColumns.h"
#include "store/Schema.h"
#include "store/SqlHelpers.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cmath>
#include <optional>

namespace
{

const QString kDirectories = QStringLiteral("Verzeichnisse");
const QString kRecords = QStringLiteral("Untersuchungen");
const QString kLimits = QStringLiteral("Grenzwerte");
const QString kInit = QStringLiteral("Init");

QString native(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

std::optional<qint32> wholeNumber(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (!ok || n < INT32_MIN || n > INT32_MAX)
        return std::nullopt;
    return qint32(n);
}

QVariant text(const QVariant &v)
{
    if (v.isNull())
        return {};
    return Sql::text(v.toString());
}

// A single as the file held it; a text (a column the old program kept as
// text) is read with either decimal separator.
std::optional<float> single(const QVariant &v, bool &unreadable)
{
    unreadable = false;
    if (v.isNull())
        return std::nullopt;
    if (v.metaType().id() == QMetaType::QString) {
        QString t = v.toString().trimmed();
        t.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const float f = t.toFloat(&ok);
        unreadable = !ok;
        return ok ? std::optional<float>(f) : std::nullopt;
    }
    bool ok = false;
    const float f = v.toFloat(&ok);
    unreadable = !ok;
    return ok ? std::optional<float>(f) : std::nullopt;
}

// A date as this program keeps it (ISO text); a text column is read in
// the old program's notation.
std::optional<QString> isoDate(const QVariant &v, bool &unreadable)
{
    unreadable = false;
    if (v.isNull())
        return std::nullopt;
    QDate d;
    if (v.metaType().id() == QMetaType::QDate) {
        d = v.toDate();
    } else {
        const QString t = v.toString().trimmed();
        if (t.isEmpty())
            return std::nullopt;
        d = QDate::fromString(t, Qt::ISODate);
        if (!d.isValid())
            d = Notation().parseDate(t).value_or(QDate());
    }
    unreadable = !d.isValid();
    return d.isValid() ? std::optional<QString>(d.toString(Qt::ISODate)) : std::nullopt;
}

QString shown(const QVariant &v)
{
    return v.isNull() ? QStringLiteral("Null") : QLatin1Char('"') + v.toString() + QLatin1Char('"');
}

QStringList quotedAll(const QStringList &columns)
{
    QStringList out;
    for (const QString &c : columns)
        out << RecordColumns::quoted(c);
    return out;
}

QString insertSql(const QString &table, const QStringList &columns)
{
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(table, quotedAll(columns).join(QStringLiteral(", ")),
            QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
}

// One row's fate: kept, or left out with a reason.
struct Verdict {
    QString skipReason;
    bool kept() const { return skipReason.isEmpty(); }
};

class Converter
{
public:
    Converter(JetReader &reader, Database &db, MigrationReport &report,
        const MigrationProgress &progress, qint64 total)
        : m_reader(reader)
        , m_db(db)
        , m_report(report)
        , m_progress(progress)
        , m_total(total)
    {
    }

    bool run() { return directories() && records() && limitFiles() && settings(); }
    QString error() const { return m_error; }

private:
    bool directories();
    bool records();
    bool limitFiles();
    bool settings();

    bool read(const QString &table, const QStringList &columns,
        const std::function<Verdict(const QVariantList &)> &convert, const QString &keyColumn);
    void note(const QString &table, const QString &key, const QString &text)
    {
        m_report.notes << QStringLiteral("%1 %2: %3").arg(table, key, text);
    }
    bool insert(const QString &sql, const QVariantList &values, Verdict &verdict);
    QVariant singleValue(
        const QVariant &v, const QString &table, const QString &key, const QString &column);
    QVariant dateValue(
        const QVariant &v, const QString &table, const QString &key, const QString &column);

    JetReader &m_reader;
    Database &m_db;
    MigrationReport &m_report;
    const MigrationProgress &m_progress;
    qint64 m_total = 0;
    qint64 m_done = 0;
    QString m_error;
    QHash<qint32, int> m_directoryTypes;
};

bool Converter::read(const QString &table, const QStringList &columns,
    const std::function<Verdict(const QVariantList &)> &convert, const QString &keyColumn)
{
    MigrationReport::TableCount *count = m_report.count(table);
    bool failed = false;
    const bool read = m_reader.readTable(table, columns, [&](const QVariantList &row) {
        const Verdict verdict = convert(row);
        if (!m_error.isEmpty()) {
            failed = true;
            return false;
        }
        if (verdict.kept()) {
            ++count->converted;
        } else {
            ++count->skipped;
            const QVariant key = row.value(0);
            m_report.skipped.append({ table,
                QStringLiteral("%1 %2").arg(
                    keyColumn, key.isNull() ? QStringLiteral("Null") : key.toString()),
                verdict.skipReason });
        }
        if (m_progress)
            m_progress(++m_done, m_total);
        return true;
    });
    if (!read && m_error.isEmpty())
        m_error = m_reader.error();
    return read && !failed;
}

bool Converter::insert(const QString &sql, const QVariantList &values, Verdict &verdict)
{
    QSqlQuery &q = m_db.prepared(sql);
    if (Sql::run(m_db, q, values))
        return true;
    // A key the file holds twice is the file's fault; anything else is ours.
    if (m_db.lastError().contains(QLatin1String("UNIQUE"))) {
        verdict.skipReason = QStringLiteral("its key occurs twice in the file");
        return false;
    }
    m_error = QStringLiteral("the new database cannot be written (%1)").arg(m_db.lastError());
    return false;
}

QVariant Converter::singleValue(
    const QVariant &v, const QString &table, const QString &key, const QString &column)
{
    bool unreadable = false;
    const std::optional<float> f = single(v, unreadable);
    if (unreadable)
        note(table, key, QStringLiteral("%1 %2 is no number; left empty").arg(column, shown(v)));
    return f ? Sql::single(*f) : QVariant();
}

QVariant Converter::dateValue(
    const QVariant &v, const QString &table, const QString &key, const QString &column)
{
    bool unreadable = false;
    const std::optional<QString> d = isoDate(v, unreadable);
    if (unreadable)
        note(table, key, QStringLiteral("%1 %2 is no date; left empty").arg(column, shown(v)));
    return d ? QVariant(*d) : QVariant();
}

bool Converter::directories()
{
    const QStringList columns
        = { QStringLiteral("VerzID"), QStringLiteral("VerzName"), QStringLiteral("VerzTyp") };
    const QString sql = insertSql(kDirectories, columns);
    return read(
        kDirectories, columns,
        [&](const QVariantList &row) -> Verdict {
            const std::optional<qint32> id = wholeNumber(row[0]);
            if (!id)
                return { QStringLiteral("it has no key") };
            if (row[1].isNull())
                return { QStringLiteral("it has no name") };
            const std::optional<qint32> type = wholeNumber(row[2]);
            if (!type || *type < 0 || *type > 2)
                return { QStringLiteral("its type %1 is none of 0 (graphs), 1 (limit files), "
                                        "2 (patterns)")
                             .arg(shown(row[2])) };
            Verdict verdict;
            if (insert(sql, { *id, text(row[1]), *type }, verdict))
                m_directoryTypes.insert(*id, *type);
            return verdict;
        },
        QStringLiteral("VerzID"));
}

bool Converter::records()
{
    const QStringList head = { QStringLiteral("UntID"), QStringLiteral("VerzID"),
        QStringLiteral("Status"), QStringLiteral("Kovra") };
    // The earlier program's files know nothing of how a curve was measured.
    const QStringList columns = head + RecordColumns::specimen()
        + RecordColumns::graph().mid(0, RecordColumns::GraphFehlend);
    const QString sql = insertSql(kRecords, columns);
    const QStringList &dates = RecordColumns::dates();
    const QStringList texts = { QStringLiteral("GrwBez"), QStringLiteral("Benutzer"),
        QStringLiteral("BgArt"), QStringLiteral("HarzTyp"), QStringLiteral("BgVon"),
        QStringLiteral("DrVon"), QStringLiteral("PaVon"), QStringLiteral("Bemerk"),
        QStringLiteral("x"), QStringLiteral("y") };
    return read(
        kRecords, columns,
        [&](const QVariantList &row) -> Verdict {
            const std::optional<qint32> id = wholeNumber(row[0]);
            if (!id)
                return { QStringLiteral("it has no key") };
            const std::optional<qint32> dir = wholeNumber(row[1]);
            if (!dir || !m_directoryTypes.contains(*dir))
                return { QStringLiteral("its directory %1 does not exist").arg(shown(row[1])) };
            if (m_directoryTypes.value(*dir) == 1)
                return { QStringLiteral("its directory %1 holds limit files").arg(*dir) };
            const std::optional<qint32> status = wholeNumber(row[2]);
            if (!status || (*status != 2 && *status != 4))
                return { QStringLiteral("its status %1 is neither 2 (pattern) nor 4 (graph)")
                             .arg(shown(row[2])) };
            if (row[3].isNull())
                return { QStringLiteral("it has no name") };
            const QString key = QStringLiteral("UntID %1").arg(*id);
            QVariantList values = { *id, *dir, *status, text(row[3]) };
            for (int i = int(head.size()); i < columns.size(); ++i) {
                const QString &column = columns[i];
                if (texts.contains(column))
                    values << text(row[i]);
                else if (dates.contains(column))
                    values << dateValue(row[i], kRecords, key, column);
                else
                    values << singleValue(row[i], kRecords, key, column);
            }
            Verdict verdict;
            insert(sql, values, verdict);
            return verdict;
        },
        QStringLiteral("UntID"));
}

bool Converter::limitFiles()
{
    QStringList columns;
    for (const Schema::TableColumns &t : Schema::requiredTables())
        if (QLatin1String(t.table) == kLimits)
            columns = t.columns;
    const QString sql = insertSql(kLimits, columns);
    return read(
        kLimits, columns,
        [&](const QVariantList &row) -> Verdict {
            const std::optional<qint32> id = wholeNumber(row[0]);
            if (!id)
                return { QStringLiteral("it has no key") };
            if (row[1].isNull())
                return { QStringLiteral("it has no name") };
            const std::optional<qint32> dir = wholeNumber(row[2]);
            if (!dir || !m_directoryTypes.contains(*dir))
                return { QStringLiteral("its directory %1 does not exist").arg(shown(row[2])) };
            if (m_directoryTypes.value(*dir) != 1)
                return { QStringLiteral("its directory %1 is no limit-file directory").arg(*dir) };
            const QString key = QStringLiteral("GrwID %1").arg(*id);
            QVariantList values = { *id, text(row[1]), *dir };
            for (int i = 3; i < columns.size(); ++i)
                values << singleValue(row[i], kLimits, key, columns[i]);
            Verdict verdict;
            insert(sql, values, verdict);
            return verdict;
        },
        QStringLiteral("GrwID"));
}

// The settings columns with the values each may take; a value outside is
// not taken and the new database keeps its default there.
struct SettingRange {
    const char *column;
    std::function<bool(double)> allowed;
    const char *described;
};

const QList<SettingRange> &settingRanges()
{
    static const auto between
        = [](double lo, double hi) { return [lo, hi](double v) { return v >= lo && v <= hi; }; };
    static const auto oneOf = [](std::initializer_list<double> values) {
        const QList<double> list(values);
        return [list](double v) { return list.contains(v); };
    };
    static const QList<SettingRange> ranges = {
        { "DisKvFa1", between(0, 0xFFFFFF), "0 … 16777215" },
        { "DisKvFa2", between(0, 0xFFFFFF), "0 … 16777215" },
        { "DisKvFa3", between(0, 0xFFFFFF), "0 … 16777215" },
        { "DisKvFa4", between(0, 0xFFFFFF), "0 … 16777215" },
        { "DisKvFa5", between(0, 0xFFFFFF), "0 … 16777215" },
        { "PrnOffOb", between(0, 10), "0 … 10" },
        { "PrnOffUn", between(0, 10), "0 … 10" },
        { "PrnOffRe", between(0, 10), "0 … 10" },
        { "PrnOffLi", between(0, 10), "0 … 10" },
        { "AEB", between(1, 5), "1 … 5" },
        { "AZB", [](double v) { return ScopeIndex(float(v)) != 0; },
            "2.5, 5, 10, 25, 50, 100, 250 or 500" },
        { "LinieDr", oneOf({ 2, 4, 6 }), "2, 4 or 6" },
        { "LinieGr", oneOf({ 1, 2, 3 }), "1, 2 or 3" },
        { "Rührer", between(1, 99), "1 … 99" },
        { "Temp", between(0, 999), "0 … 999" },
        { "Viskos", between(0, 9999), "0 … 9999" },
        { "AD_Adr", between(-32768, 32767), "-32768 … 32767" },
        { "IO_ADR", between(-32768, 32767), "-32768 … 32767" },
    };
    return ranges;
}

bool Converter::settings()
{
    QStringList columns;
    for (const SettingRange &r : settingRanges())
        columns << QString::fromUtf8(r.column);
    bool first = true;
    const bool ok = read(
        kInit, columns,
        [&](const QVariantList &row) -> Verdict {
            if (!first)
                return { QStringLiteral("only the first settings record is used") };
            first = false;
            QStringList assignments;
            QVariantList values;
            for (int i = 0; i < columns.size(); ++i) {
                const SettingRange &range = settingRanges()[i];
                bool unreadable = false;
                const std::optional<float> v = single(row[i], unreadable);
                if (!v || !std::isfinite(*v) || !range.allowed(double(*v))) {
                    note(kInit, columns[i],
                        QStringLiteral("%1 is not in %2; the default is kept")
                            .arg(shown(row[i]), QString::fromUtf8(range.described)));
                    continue;
                }
                assignments << RecordColumns::quoted(columns[i]) + QStringLiteral(" = ?");
                values << Sql::single(*v);
            }
            if (assignments.isEmpty())
                return {};
            Verdict verdict;
            insert(QStringLiteral("UPDATE Init SET %1 WHERE rowid = (SELECT min(rowid) FROM Init)")
                       .arg(assignments.join(QStringLiteral(", "))),
                values, verdict);
            return verdict;
        },
        QStringLiteral("record"));
    if (ok && first)
        m_report.notes << QStringLiteral("Init: the file holds no settings; the defaults are used");
    return ok;
}

void removeDatabaseFiles(const QString &path)
{
    for (const char *suffix : { "", "-wal", "-shm", "-journal" })
        QFile::remove(path + QLatin1String(suffix));
}

// Moves a database file with its write-ahead files.
bool moveDatabaseFiles(const QString &from, const QString &to)
{
    if (!QFile::rename(from, to))
        return false;
    for (const char *suffix : { "-wal", "-shm" })
        if (QFile::exists(from + QLatin1String(suffix)))
            QFile::rename(from + QLatin1String(suffix), to + QLatin1String(suffix));
    return true;
}

QString backupName(const QString &target)
{
    const QFileInfo info(target);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString candidate;
    for (int n = 0;; ++n) {
        candidate = info.dir().filePath(
            QStringLiteral("%1-before-conversion-%2%3.%4")
                .arg(info.completeBaseName(), stamp, n ? QStringLiteral("-%1").arg(n) : QString(),
                    info.suffix()));
        if (!QFile::exists(candidate))
            return candidate;
    }
}

MigrationResult failure(const QString &source, const QString &cause)
{
    MigrationResult r;
    r.cause = cause;
    r.message
        = QStringLiteral("The file \"%1\" cannot be converted: %2.").arg(native(source), cause);
    return r;
}

} // namespace

MigrationReport::TableCount *MigrationReport::count(const QString &table)
{
    for (TableCount &c : counts)
        if (c.table == table)
            return &c;
    counts.append({ table });
    return &counts.last();
}

QString MigrationReport::text() const
{
    QStringList lines;
    for (const TableCount &c : counts)
        lines << QStringLiteral("%1: %2 converted, %3 skipped")
                     .arg(c.table, QString::number(c.converted), QString::number(c.skipped));
    if (!skipped.isEmpty()) {
        lines << QStringLiteral("Skipped:");
        for (const SkippedRow &s : skipped)
            lines << QStringLiteral("  %1 %2: %3").arg(s.table, s.key, s.reason);
    }
    if (!notes.isEmpty()) {
        lines << QStringLiteral("Notes:");
        for (const QString &n : notes)
            lines << QStringLiteral("  ") + n;
    }
    return lines.join(QLatin1Char('\n'));
}

namespace
{

MigrationResult convert(
    const QString &source, const QString &target, bool replace, const MigrationProgress &progress)
{
    JetReader reader;
    if (!reader.open(source))
        return failure(source, reader.error());
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() && !replace)
        return failure(source,
            QStringLiteral("the database \"%1\" exists already; give --replace to replace it "
                           "(it is then kept as a backup)")
                .arg(native(target)));
    if (!QDir().mkpath(targetInfo.absolutePath()))
        return failure(
            source, QStringLiteral("the folder of \"%1\" cannot be created").arg(native(target)));

    // The new file grows under a name of its own beside the target, so that
    // a failure at any point leaves no half-made database in its place.
    QString building;
    {
        QTemporaryFile reserve(targetInfo.absoluteDir().filePath(
            QStringLiteral(".%1-converting-XXXXXX").arg(targetInfo.fileName())));
        reserve.setAutoRemove(false);
        if (!reserve.open())
            return failure(source,
                QStringLiteral("no file can be written beside \"%1\" (%2)")
                    .arg(native(target), reserve.errorString()));
        building = reserve.fileName();
    }
    QFile::remove(building);

    MigrationResult result;
    QString error;
    {
        Database db;
        const Database::OpenResult opened = db.open(building);
        if (!opened) {
            error = opened.message;
        } else {
            qint64 total = 0;
            for (const QString &t : { kDirectories, kRecords, kLimits, kInit })
                total += reader.rowCount(t);
            Converter converter(reader, db, result.report, progress, total);
            const bool done = db.transaction([&] { return converter.run(); });
            if (!done)
                error = converter.error().isEmpty() ? db.lastError() : converter.error();
        }
        db.close();
    }
    if (!error.isEmpty()) {
        removeDatabaseFiles(building);
        return failure(source, error);
    }

    if (QFile::exists(target)) {
        result.backupPath = backupName(target);
        if (!moveDatabaseFiles(target, result.backupPath)) {
            removeDatabaseFiles(building);
            return failure(source,
                QStringLiteral("the database \"%1\" cannot be moved aside").arg(native(target)));
        }
    }
    if (!QFile::rename(building, target)) {
        if (!result.backupPath.isEmpty())
            moveDatabaseFiles(result.backupPath, target);
        removeDatabaseFiles(building);
        return failure(source,
            QStringLiteral("the new database cannot be put in place as \"%1\"")
                .arg(native(target)));
    }
    result.ok = true;
    result.message = QStringLiteral("Converted \"%1\" (Jet %2) into \"%3\".")
                         .arg(native(source), QString::number(reader.version()), native(target));
    if (!result.backupPath.isEmpty())
        result.message += QStringLiteral(" The previous database is kept as \"%1\".")
                              .arg(native(result.backupPath));
    return result;
}

// A server database is not a file to build beside and rename: the
// conversion builds a file in a temporary folder, then copies it to the
// server in one transaction, so the server holds either its old content or
// the whole conversion. Content replaced there is first written to a backup
// file beside the old database.
MigrationResult convertToServer(
    const QString &source, const QString &target, bool replace, const MigrationProgress &progress)
{
    QTemporaryDir work;
    if (!work.isValid())
        return failure(
            source, QStringLiteral("no temporary folder can be made (%1)").arg(work.errorString()));
    const QString building = work.filePath(QStringLiteral("kovra.mdb"));
    MigrationResult result = convert(source, building, false, progress);
    if (!result.ok)
        return result;

    Database file, server;
    const Database::OpenResult builtOpen = file.open(building);
    if (!builtOpen)
        return failure(source, builtOpen.message);
    const Database::OpenResult serverOpen = server.open(target);
    if (!serverOpen)
        return failure(source, serverOpen.message);
    const QString where = server.target().display();
    if (replace) {
        const QFileInfo old(source);
        result.backupPath = backupName(
            old.dir().filePath(QStringLiteral("%1.mdb").arg(server.target().databaseName)));
        const QString problem = WriteBackup(server, result.backupPath);
        if (!problem.isEmpty())
            return failure(source,
                QStringLiteral("the database %1 cannot be backed up before it is replaced (%2)")
                    .arg(where, problem));
    }
    const CopyResult copied = CopyDatabase(file, server, replace);
    if (!copied.ok()) {
        QFile::remove(result.backupPath);
        return failure(source, copied.problem);
    }
    // The message names the server instead of the temporary file.
    result.message.replace(QLatin1Char('"') + native(building) + QLatin1Char('"'), where);
    if (!result.backupPath.isEmpty())
        result.message += QStringLiteral(" Its previous content is kept as \"%1\".")
                              .arg(native(result.backupPath));
    return result;
}

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

// Converting a file into its own place: the original moves aside first and
// comes back when the conversion fails.
MigrationResult convertInPlace(const QString &path, const MigrationProgress &progress)
{
    const QFileInfo info(path);
    const QString kept = info.dir().filePath(
        QStringLiteral("%1-jet.%2").arg(info.completeBaseName(), info.suffix()));
    const JetFileCheck check = CheckJetFile(path);
    if (!check.convertible())
        return failure(path,
            check.isJet() ? check.cause
                          : QStringLiteral("it is not a database of the earlier program"));
    if (QFile::exists(kept))
        return failure(
            path, QStringLiteral("\"%1\" exists already; move it away first").arg(native(kept)));
    if (!QFile::rename(path, kept))
        return failure(path, QStringLiteral("it cannot be renamed to \"%1\"").arg(native(kept)));
    MigrationResult r = convert(kept, path, false, progress);
    if (!r.ok) {
        QFile::rename(kept, path);
        MigrationResult f = failure(path, r.cause);
        f.report = r.report;
        return f;
    }
    r.originalKeptAs = kept;
    r.message += QStringLiteral(" The original is kept as \"%1\".").arg(native(kept));
    return r;
}

} // namespace

MigrationResult MigrateJetDatabase(
    const QString &source, const QString &target, bool replace, const MigrationProgress &progress)
{
    if (DatabaseTarget::parse(target).onServer())
        return convertToServer(source, target, replace, progress);
    if (sameFile(source, target))
        return convertInPlace(source, progress);
    return convert(source, target, replace, progress);
}
