// Lists every record of a 100,000-record file with `zandorctl list` (text
// and JSON) and, on the same file, with the sqlite3 shell printing the same
// columns by the same query; prints the median time and the peak resident
// memory of each. Targets: at most 3 x the time of sqlite3, under 60 MiB.
#include "core/BoxRecord.h"
#include "core/Notation.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace
{

int RecordCount = 100000; // or the first argument
const char kQuery[] = "SELECT UntID, VerzID, Status, Kovra FROM Untersuchungen INDEXED BY VerzID "
                      "ORDER BY UntID";

struct Figures {
    double seconds = 0;
    double peakMiB = 0;
    bool ok = false;
};

// One run of a program with its output thrown away: wall time and the
// child's peak resident memory.
Figures runOnce(const QStringList &command)
{
    QList<QByteArray> bytes;
    for (const QString &a : command)
        bytes << QFile::encodeName(a);
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    Figures f;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage {};
        if (wait4(pid, &status, 0, &usage) == pid) {
            f.seconds = t.nsecsElapsed() / 1e9;
            f.peakMiB = usage.ru_maxrss / 1024.0;
            f.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return f;
}

Figures median(const QStringList &command, int runs)
{
    QList<Figures> all;
    for (int i = 0; i < runs; ++i)
        all << runOnce(command);
    std::sort(all.begin(), all.end(),
        [](const Figures &a, const Figures &b) { return a.seconds < b.seconds; });
    return all.at(all.size() / 2);
}

bool build(const QString &path)
{
    const Notation notation(QLatin1Char(','), QLatin1Char('.'));
    Database db;
    if (!db.open(path))
        return false;
    Store store(db, notation);
    QSqlQuery(db.connection()).exec(QStringLiteral("PRAGMA synchronous=OFF"));
    QList<qint32> dirs;
    for (int d = 0; d < 20; ++d)
        dirs << *store.addDirectory(DirectoryType::Graphs, QStringLiteral("dir %1").arg(d));
    BoxRecord b;
    b.Status = BoxStatus::Graph;
    b.Benutzer = QStringLiteral("operator");
    b.PruefAm = QStringLiteral("05.12.26");
    for (int i = 0; i < 300; ++i) {
        b.x[i] = float(i % 97) + 0.25f;
        b.y[i] = float(i) * 2.5f;
    }
    b.x[300] = CurveEndMark;
    for (int i = 0; i < RecordCount; ++i) {
        b.UntID = -1;
        if (!store.SaveBox(b, SaveMode::Add, QStringLiteral("specimen %1").arg(i), dirs.at(i % 20)))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1)
        RecordCount = std::max(1000, atoi(argv[1]));
    QTextStream out(stdout);
    // A second argument names a file to keep: built when missing, else reused.
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench_listing-XXXXXX"));
    const QString path
        = argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath(QStringLiteral("kovra.mdb"));
    if (!QFileInfo::exists(path) && !build(path)) {
        QTextStream(stderr) << "cannot build " << path << "\n";
        return 1;
    }
    const QString ctl = QCoreApplication::applicationDirPath() + QStringLiteral("/../zandorctl");
    const QString query = QString::fromLatin1(kQuery);
    // A first run of each reads the file into the system's cache.
    runOnce({ ctl, QStringLiteral("list"), QStringLiteral("--db"), path });
    runOnce({ QStringLiteral("sqlite3"), path, query });

    const Figures shell = median({ QStringLiteral("sqlite3"), path, query }, 5);
    if (!shell.ok) {
        QTextStream(stderr) << "sqlite3 did not run (install the sqlite3 package)\n";
        return 1;
    }
    const Figures text = median({ ctl, QStringLiteral("list"), QStringLiteral("--db"), path }, 5);
    const Figures json = median(
        { ctl, QStringLiteral("list"), QStringLiteral("--db"), path, QStringLiteral("--json") }, 5);
    out << "sqlite3 printing the same columns of " << RecordCount << " records: " << shell.seconds
        << " s, " << shell.peakMiB << " MiB (median of 5)\n";
    for (const auto &[name, f] : { std::pair { "list", text }, std::pair { "list --json", json } })
        out << "zandorctl " << name << ": " << f.seconds << " s = " << f.seconds / shell.seconds
            << " x sqlite3, peak " << f.peakMiB << " MiB" << (f.ok ? "" : " (FAILED)")
            << " (target <= 3 x and < 60 MiB)\n";
    return 0;
}
