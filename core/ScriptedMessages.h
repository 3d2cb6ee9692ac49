#pragma once

#include "core/OperatorMessages.h"

#include <QList>
#include <QStringList>

// Records every message and answers questions from a script; an unscripted
// question is answered No (or Cancel), the safe answer.
class ScriptedMessages : public OperatorMessages
{
public:
    struct Entry
    {
        QString text;
        Icon icon;
        bool question;
    };

    void show(const QString &text, Icon icon = Icon::None) override;
    bool askYesNo(const QString &text) override;
    bool askOkCancel(const QString &text) override;

    void answer(bool yes) { answers.append(yes); }
    QStringList texts() const;
    void clear() { entries.clear(); }

    QList<Entry> entries;
    QList<bool> answers;
};
