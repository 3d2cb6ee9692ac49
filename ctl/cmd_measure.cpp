// zandorctl measure: one measurement without an operator, as the specimen
// form would start it, for unattended use and scripts.
#include "core/CurveNote.h"
#include "core/Notation.h"
#include "core/Settings.h"
#include "core/SettingsTables.h"
#include "core/StderrMessages.h"
#include "ctl/CtlCommand.h"
#include "evaluation/CurveText.h"
#include "evaluation/ResultCaptions.h"
#include "instrument/AdjustmentChecks.h"
#include "instrument/Adjustments.h"
#include "instrument/InstrumentStartup.h"
#include "instrument/MeasurementRun.h"
#include "instrument/NetLink.h"
#include "instrument/RunJournalWriter.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QTextStream>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>

namespace
{

// Exit statuses, one per kind of failure, so a script can tell them apart.
enum Exit {
    Success = 0,
    UsageError = 2,
    StoreError = 3,
    InstrumentError = 4,
    MeasurementError = 5,
};


struct Request {
    QString db;
    std::optional<QString> host;
    std::optional<quint16> port;
    std::optional<int> box;
    std::optional<float> scope;
    QString name;
    float paperWeight = 0;
    std::optional<int> voltage;
    std::optional<float> cycle;
    QString saveDirectory;
    bool json = false;
};

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int fail(int status, const QString &text)
{
    err() << "zandorctl measure: " << text << Qt::endl;
    return status;
}

// A number on the command line, always with "." as decimal point.
std::optional<double> number(const QString &text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

void declareMeasure(QCommandLineParser &parser)
{
    const auto option = [&parser](const char *name, const char *description, const char *value) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name),
            QString::fromUtf8(description), QString::fromLatin1(value)));
    };
    AddDatabaseOption(parser);
    option("netpc", "Address of the instrument PC (default: the stored one).", "HOST[:PORT]");
    option("box", "Box 1 to 5 to measure in (default: the active box).", "N");
    option("scope", "Scope of time in minutes: 2.5, 5, 10, 25, 50, 100, 250 or 500.", "MIN");
    option("name", "Name of the specimen.", "TEXT");
    option("paper-weight", "Paper weight in g (0 to 999); sets the voltage.", "G");
    option("voltage", "Measuring voltage: 2, 3, 4, 5, 6, 8 or 10 V.", "V");
    option("cycle", "Measuring cycle in seconds.", "S");
    option("save", "Store the graph under its name in this graph directory.", "DIRECTORY");
    parser.addOption(QCommandLineOption(
        QStringLiteral("json"), QStringLiteral("Print the points and results as JSON.")));
}

std::optional<Request> parseRequest(const QCommandLineParser &parser, QString &error)
{
    const QString db = QStringLiteral("db"), netpc = QStringLiteral("netpc"),
                  box = QStringLiteral("box"), scope = QStringLiteral("scope"),
                  name = QStringLiteral("name"), weight = QStringLiteral("paper-weight"),
                  voltage = QStringLiteral("voltage"), cycle = QStringLiteral("cycle"),
                  save = QStringLiteral("save"), json = QStringLiteral("json");
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("unexpected argument '") + parser.positionalArguments().first()
            + QLatin1Char('\'');
        return std::nullopt;
    }

    Request r;
    r.db = parser.value(db);
    r.name = parser.value(name).trimmed();
    r.saveDirectory = parser.value(save).trimmed();
    r.json = parser.isSet(json);
    if (parser.isSet(save) && r.saveDirectory.isEmpty()) {
        error = QStringLiteral("--save needs a directory name");
        return std::nullopt;
    }
    if (parser.isSet(netpc)) {
        const QString value = parser.value(netpc);
        const int colon = value.lastIndexOf(QLatin1Char(':'));
        r.host = colon < 0 ? value : value.left(colon);
        if (colon >= 0) {
            bool ok = false;
            const uint port = value.mid(colon + 1).toUInt(&ok);
            if (!ok || port == 0 || port > 65535) {
                error = QStringLiteral("bad port in --netpc %1").arg(value);
                return std::nullopt;
            }
            r.port = quint16(port);
        }
        if (r.host->isEmpty()) {
            error = QStringLiteral("--netpc needs a host");
            return std::nullopt;
        }
    }
    if (parser.isSet(box)) {
        const auto v = number(parser.value(box));
        if (!v || *v != int(*v) || *v < 1 || *v > 5) {
            error = QStringLiteral("--box must be 1 to 5");
            return std::nullopt;
        }
        r.box = int(*v);
    }
    if (parser.isSet(scope)) {
        const auto v = number(parser.value(scope));
        if (!v || ScopeIndex(float(*v)) == 0) {
            error = QStringLiteral("--scope must be one of 2.5, 5, 10, 25, 50, 100, 250, 500");
            return std::nullopt;
        }
        r.scope = float(*v);
    }
    if (parser.isSet(weight)) {
        const auto v = number(parser.value(weight));
        if (!v || *v < 0 || *v > 999) {
            error = QStringLiteral("--paper-weight must be a number from 0 to 999");
            return std::nullopt;
        }
        r.paperWeight = float(*v);
    }
    if (parser.isSet(voltage)) {
        const auto v = number(parser.value(voltage));
        const QList<int> allowed { 2, 3, 4, 5, 6, 8, 10 };
        if (!v || *v != int(*v) || !allowed.contains(int(*v))) {
            error = QStringLiteral("--voltage must be one of 2, 3, 4, 5, 6, 8, 10");
            return std::nullopt;
        }
        r.voltage = int(*v);
    }
    if (parser.isSet(cycle)) {
        const auto v = number(parser.value(cycle));
        if (!v) {
            error = QStringLiteral("--cycle must be a number of seconds");
            return std::nullopt;
        }
        r.cycle = float(*v);
    }
    return r;
}

// The box as the specimen form starts it: presets for the scope of time,
// the voltage from the paper weight unless one is given.
bool prepareBox(Settings &s, const Request &r, const Notation &notation, QString &error)
{
    if (r.box)
        s.ActiveBox = *r.box;
    if (r.scope)
        s.ScopeOfTime = *r.scope;
    if (ScopeIndex(s.ScopeOfTime) == 0) {
        error = QStringLiteral("the stored scope of time is none of the eight; give --scope");
        return false;
    }
    BoxRecord &box = s.activeBox();
    box.Ein[10] = s.ScopeOfTime;
    box.Kovra = r.name;
    box.PaGew = r.paperWeight;
    TransferAdjustments(1, s);
    TransferAdjustments(0, s);
    box.Ein[3] = r.voltage ? float(*r.voltage) : float(Ein3FromPaperWeight(box.PaGew));
    if (r.cycle) {
        const QString text = notation.plain(*r.cycle);
        const QString scope = notation.plain(s.ScopeOfTime);
        if (!AdjustmentValid(4, text, scope, s, notation)) {
            const auto &row = s.AdjLimits[size_t(11 + ScopeIndex(s.ScopeOfTime))];
            error = QStringLiteral("--cycle must be from %1 to %2 s for the scope of %3 minutes")
                        .arg(notation.plain(row.minimum), notation.plain(row.maximum), scope);
            return false;
        }
        box.Ein[4] = *r.cycle;
    }
    if (!CycleLongEnough(box.Ein[4], box.Ein[7], box.Ein[8])) {
        error = CycleMessage(box.Ein[7], box.Ein[8], notation);
        return false;
    }
    box.Stored = false;
    return true;
}

// Refuses before measuring what could not be stored afterwards.
bool checkSaveTarget(Store &store, const Request &r, QString &error)
{
    if (r.saveDirectory.isEmpty())
        return true;
    if (r.name.isEmpty()) {
        error = QStringLiteral("--save needs a specimen name (--name)");
        return false;
    }
    const auto dir = store.findDirectory(DirectoryType::Graphs, r.saveDirectory);
    if (dir && store.findRecord(*dir, r.name)) {
        error = QStringLiteral("directory \"%1\" already holds a graph named \"%2\"")
                    .arg(Store::normalisedName(r.saveDirectory), Store::normalisedName(r.name));
        return false;
    }
    return true;
}

// Connect, INIT, trace and zero point; every message of the start-up is a
// failure here, and the first one ends the wait.
bool startInstrument(NetLink &link, StderrMessages &messages, Settings &s, const Notation &notation)
{
    InstrumentStartup startup(link, messages, s, notation);
    QEventLoop loop;
    bool failed = false;
    messages.onMessage = [&](const QString &) {
        failed = true;
        loop.quit();
    };
    QObject::connect(&startup, &InstrumentStartup::finished, &loop, &QEventLoop::quit);
    // A start-up that has already failed goes on to its zero point before
    // the wait ends; saying so after the failure would read as progress.
    QObject::connect(&startup, &InstrumentStartup::zeroPointBegins, &loop, [&failed] {
        if (!failed)
            err() << "zandorctl measure: determining the zero point" << Qt::endl;
    });
    err() << "zandorctl measure: connecting to " << s.HostAddress << ":" << s.HostPort << Qt::endl;
    startup.start();
    if (!failed && startup.step() != InstrumentStartup::Step::Done)
        loop.exec();
    messages.onMessage = nullptr;
    return !failed;
}

void reportProgress(const MeasurementRun &run, int index, int expected)
{
    const BoxRecord &box = *run.box();
    err() << QStringLiteral("zandorctl measure: point %1 of %2, %3 s, %4 %")
                 .arg(QString::number(index), QString::number(expected),
                     QString::number(double(box.y[size_t(index)]), 'f', 1),
                     QString::number(double(box.x[size_t(index)]), 'f', 2))
          << Qt::endl;
}

// Runs the measurement, each point journalled as it is taken; the
// connection lost on the way ends it at once, keeping what was measured.
MeasurementRun::Outcome measure(NetLink &link, StderrMessages &messages, Settings &s, Database &db)
{
    MeasurementRun run(s, link, messages);
    RunJournalWriter journal(run, db);
    const BoxRecord &box = s.activeBox();
    const int expected
        = box.Ein[4] > 0 ? std::min(CurveLastPoint, int(box.Ein[10] * 60 / box.Ein[4])) : 0;
    QObject::connect(&run, &MeasurementRun::pointStored, &run,
        [&](int index) { reportProgress(run, index, expected); });
    const double waitSeconds = double(box.Ein[4])
        + std::chrono::duration<double>(link.timeouts().measurementExtra).count();
    QObject::connect(&run, &MeasurementRun::timedOut, &run, [&](int count) {
        err() << QStringLiteral("zandorctl measure: no reading within %1 s, a substitute point "
                                "is stored (time-out %2 of %3)")
                     .arg(QString::number(waitSeconds), QString::number(count),
                         QString::number(MeasurementRun::MaxTimeouts + 1))
              << Qt::endl;
    });
    QEventLoop loop;
    QObject::connect(&run, &MeasurementRun::finished, &loop, &QEventLoop::quit);
    err() << "zandorctl measure: measuring box " << s.ActiveBox << ", "
          << Notation::wire(box.Ein[10]).trimmed() << " minutes, cycle "
          << Notation::wire(box.Ein[4]).trimmed() << " s" << Qt::endl;
    run.MeasureActiveBox();
    if (run.isRunning())
        loop.exec();
    return run.outcome();
}

// Every number reads back as exactly the single it was.
QString jsonNumber(float value)
{
    return RoundTripFloat(value);
}

QString resultsJson(const Settings &s)
{
    const BoxRecord &box = s.activeBox();
    QStringList fields;
    fields << QStringLiteral("\"complete\": %1")
                  .arg(box.Unvollst ? QStringLiteral("false") : QStringLiteral("true"));
    fields << QStringLiteral("\"missing\": %1").arg(box.Fehlend);
    for (int k = 1; k <= ResultCount; ++k)
        fields << QStringLiteral("\"Erg%1\": %2").arg(QString::number(k), jsonNumber(box.Erg[size_t(k)]));
    fields << QStringLiteral("\"ZeroPoint\": %1").arg(jsonNumber(s.ZeroPoint));
    for (int k = 1; k <= 10; ++k)
        fields << QStringLiteral("\"Ein%1\": %2").arg(QString::number(k), jsonNumber(box.Ein[size_t(k)]));
    QStringList points;
    for (int i = 0; i < box.pointCount(); ++i)
        points << QStringLiteral("[%1, %2]")
                      .arg(jsonNumber(box.y[size_t(i)]), jsonNumber(box.x[size_t(i)]));
    fields << QStringLiteral("\"points\": [%1]").arg(points.join(QStringLiteral(", ")));
    return QStringLiteral("{\n  ") + fields.join(QStringLiteral(",\n  ")) + QStringLiteral("\n}\n");
}

QString resultsText(const Settings &s, const Notation &notation)
{
    const BoxRecord &box = s.activeBox();
    QString out;
    QTextStream text(&out);
    const auto row = [&](const QString &caption, const QString &value) {
        text << caption.leftJustified(28) << value << "\n";
    };
    row(QStringLiteral("Specimen:"), box.Kovra);
    row(QStringLiteral("Box:"), QString::number(s.ActiveBox));
    row(QStringLiteral("Scope of time:"), notation.plain(box.Ein[10]) + QStringLiteral(" min."));
    row(QStringLiteral("Points:"), QString::number(std::max(0, box.pointCount() - 1)));
    if (const QString note = CurveNote(box); !note.isEmpty())
        row(QStringLiteral("Curve:"), note);
    for (int k = 1; k <= ResultCount; ++k) {
        const ResultCaption &c = resultCaption(k);
        row(c.caption, notation.format(box.Erg[size_t(k)], c.format) + QLatin1Char(' ') + c.unit);
    }
    return out;
}

bool saveGraph(Store &store, BoxRecord &box, const Request &r, QString &error)
{
    auto dir = store.findDirectory(DirectoryType::Graphs, r.saveDirectory);
    if (!dir)
        dir = store.addDirectory(DirectoryType::Graphs, r.saveDirectory);
    if (!dir) // another run may have made it meanwhile
        dir = store.findDirectory(DirectoryType::Graphs, r.saveDirectory);
    // The name is checked again as the record is written: another run may
    // have stored the same name while this one measured.
    if (!dir || !store.SaveBox(box, SaveMode::Add, r.name, *dir)) {
        error = QStringLiteral("cannot store the graph: %1").arg(store.lastError());
        return false;
    }
    box.Changed = false;
    err() << "zandorctl measure: stored as \"" << box.Kovra << "\" in directory \""
          << Store::normalisedName(r.saveDirectory) << "\"" << Qt::endl;
    return true;
}

int runMeasure(const CtlInvocation &call)
{
    QString error;
    const auto request = parseRequest(call.parser, error);
    if (!request)
        return call.usageError(error);
    const Request &r = *request;

    const Notation notation = Notation::fromSystem();
    Settings settings;
    Database db;
    const QString path = r.db.isEmpty() ? Database::defaultPath() : r.db;
    StderrMessages messages(QStringLiteral("zandorctl measure"));
    if (const auto opened = db.open(path, &messages); !opened)
        return fail(StoreError, opened.message);
    Store store(db, notation);
    if (!store.LoadSettings(settings))
        return fail(StoreError, QStringLiteral("cannot load the settings: ") + store.lastError());
    if (r.host)
        settings.HostAddress = *r.host;
    if (r.port)
        settings.HostPort = *r.port;
    settings.NoInstrument = false;
    if (!checkSaveTarget(store, r, error))
        return fail(UsageError, error);
    // Refuse bad adjustments before the instrument is disturbed.
    if (Settings probe = settings; !prepareBox(probe, r, notation, error))
        return fail(UsageError, error);

    NetLink link(messages);
    if (!startInstrument(link, messages, settings, notation))
        return fail(InstrumentError, QStringLiteral("the instrument did not start"));
    // The start-up reset the boxes; the specimen goes in afterwards.
    if (!prepareBox(settings, r, notation, error))
        return fail(UsageError, error);

    const auto outcome = measure(link, messages, settings, db);
    BoxRecord &box = settings.activeBox();
    box.Status = BoxStatus::Graph;
    box.Changed = true;

    QTextStream(stdout) << (r.json ? resultsJson(settings) : resultsText(settings, notation));
    if (box.pointCount() < 2)
        return fail(
            outcome == MeasurementRun::Outcome::LinkLost ? InstrumentError : MeasurementError,
            QStringLiteral("the NetPC sent no data"));
    if (!r.saveDirectory.isEmpty() && !saveGraph(store, box, r, error))
        return fail(StoreError, error);
    if (outcome == MeasurementRun::Outcome::LinkLost)
        return fail(InstrumentError,
            QStringLiteral("the connection to the NetPC was lost; the curve is incomplete"));
    if (outcome == MeasurementRun::Outcome::TimedOut)
        return fail(MeasurementError,
            QStringLiteral("the measurement ended after %1 time-outs")
                .arg(MeasurementRun::MaxTimeouts + 1));
    link.CloseNetPC();
    return Success;
}

} // namespace

ZANDORCTL_COMMAND("measure", "one measurement against the instrument, without an operator",
    declareMeasure, runMeasure);
