#include "core/ScriptedMessages.h"

void ScriptedMessages::show(const QString &text, Icon icon)
{
    entries.append({text, icon, false});
}

bool ScriptedMessages::askYesNo(const QString &text)
{
    entries.append({text, Icon::Exclamation, true});
    return answers.isEmpty() ? false : answers.takeFirst();
}

bool ScriptedMessages::askOkCancel(const QString &text)
{
    entries.append({text, Icon::Question, true});
    return answers.isEmpty() ? false : answers.takeFirst();
}

std::optional<QString> ScriptedMessages::askPassword(const QString &prompt)
{
    entries.append({ prompt, Icon::Question, true });
    return passwords.isEmpty() ? std::nullopt : passwords.takeFirst();
}

QStringList ScriptedMessages::texts() const
{
    QStringList out;
    for (const Entry &e : entries)
        out << e.text;
    return out;
}
