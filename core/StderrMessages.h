#pragma once

#include "core/OperatorMessages.h"

#include <QStringList>
#include <functional>

// Messages of a command without an operator: each is written to standard
// error, prefixed with the command's name; questions get the safe answer
// (No, Cancel). A listener may react to each message, e.g. to stop waiting.
// A password is the one thing asked for: on the terminal with echo off, or
// read from standard input when there is no terminal (as psql does).
class StderrMessages : public OperatorMessages
{
public:
    explicit StderrMessages(QString prefix)
        : m_prefix(std::move(prefix))
    {
    }

    void show(const QString &text, Icon icon = Icon::None) override;
    bool askYesNo(const QString &text) override;
    bool askOkCancel(const QString &text) override;
    std::optional<QString> askPassword(const QString &prompt) override;

    // Called after a message was written, with its text.
    std::function<void(const QString &)> onMessage;
    QStringList shown;

private:
    void write(const QString &text);

    QString m_prefix;
};
