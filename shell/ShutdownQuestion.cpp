#include "shell/ShutdownQuestion.h"

#include "core/Settings.h"

QString UnsavedBoxesList(const Settings &settings)
{
    QString list;
    for (int k = 1; k <= 5; ++k) {
        const BoxRecord &box = settings.Box(k);
        if (!box.Changed)
            continue;
        const QString type = box.Status == BoxStatus::Graph ? QStringLiteral("Graph")
                                                             : QStringLiteral("Pattern");
        list += QStringLiteral("% from box §\n")
                    .replace(QLatin1Char('%'), type + QLatin1Char(' '))
                    .replace(QChar(0x00A7), QString::number(k));
    }
    return list;
}

QString ShutdownQuestionText(const QString &list)
{
    return list + QStringLiteral("\nwas not saved,\ndo you really intend to end ?");
}
