#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// libmdb follows a table's usage maps without checking them, and a damaged
// map makes it read outside its buffers. This checks, before libmdb reads a
// table, that both maps of its definition lie on a page of the file, inside
// the page, and are long enough for their kind. The page reader returns an
// empty array for a page beyond the end of the file.
using JetPageReader = std::function<QByteArray(quint32 page)>;
QString CheckJetTableMaps(const JetPageReader &readPage, quint32 definitionPage, bool jet4);
