// Writes a few small databases of the earlier program as the Jet fuzzer's
// starting corpus, with the tests' writer.
#include "support/JetWriter.h"
#include "support/OldDatabase.h"

#include <QDir>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const auto write = [&](const char *name, const QList<Jet::Table> &tables) {
        return Jet::writeJet4File(QDir(folder).filePath(QString::fromLatin1(name)), tables);
    };
    Jet::Table longMemo { QStringLiteral("Notes"),
        { { QStringLiteral("Id"), Jet::Type::Long, 0, true },
            { QStringLiteral("Text"), Jet::Type::Memo } },
        { { 1, QString(9000, QChar(0x3a9)) }, { 2, QString() }, { 3, QVariant() } } };
    const bool ok = write("one.mdb", OldDatabase::tables(1, 1))
        && write("three.mdb", OldDatabase::tables(3, 2)) && write("memo.mdb", { longMemo });
    return ok ? 0 : 1;
}
