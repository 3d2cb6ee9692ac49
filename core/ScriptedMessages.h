#pragma once

#include "core/OperatorMessages.h"

#include <QList>
#include <QStringList>

// Records every message and answers questions from a script; an unscripted
// question is answered No (or Cancel), the safe answer, and an unscripted
// password request gets no answer. A password prompt is recorded like a
// question; the password answered is not.
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
    std::optional<QString> askPassword(const QString &prompt) override;

    void answer(bool yes) { answers.append(yes); }
    // std::nullopt stands for Cancel.
    void answerPassword(const std::optional<QString> &password) { passwords.append(password); }
    QStringList texts() const;
    void clear() { entries.clear(); }

    QList<Entry> entries;
    QList<bool> answers;
    QList<std::optional<QString>> passwords;
};
