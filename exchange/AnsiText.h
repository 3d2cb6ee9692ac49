#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The Windows "ANSI" code page 1252 that exchange files were written in on
// the lab's machines. Latin-1 differs from it only in 0x80..0x9F, so those
// 32 bytes get a table of their own; a character the code page lacks is
// written as "?".
QString DecodeAnsi(QByteArrayView bytes);
QByteArray EncodeAnsi(const QString &text);
