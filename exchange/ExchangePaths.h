#pragma once

#include <QString>

// A file in a directory as the file dialogs name it: a directory that
// already ends with a separator (the root of a drive) gets no second one.
inline QString JoinDirectoryAndName(const QString &directory, const QString &name)
{
    if (directory.endsWith(QLatin1Char('/')) || directory.endsWith(QLatin1Char('\\')))
        return directory + name;
    return directory + QLatin1Char('/') + name;
}
