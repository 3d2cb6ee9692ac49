#pragma once

#include <QString>
#include <optional>

// The one way a message or a question reaches the operator. The program
// shows message boxes; tests script the answers; the command-line companion
// writes to standard error. Core code never opens a window itself.
class OperatorMessages
{
public:
    enum class Icon { None, Information, Exclamation, Critical, Question };

    virtual ~OperatorMessages() = default;
    // A message with an OK button only.
    virtual void show(const QString &text, Icon icon = Icon::None) = 0;
    // Yes/No with the exclamation icon and No as the default; true on Yes.
    virtual bool askYesNo(const QString &text) = 0;
    // OK/Cancel with the question icon; true on OK.
    virtual bool askOkCancel(const QString &text) = 0;
    // A secret (a server's password), typed without being shown. No answer
    // when the operator cancels or nobody is there to ask, which is the
    // default. The answer is the caller's to keep in memory only: it is
    // never shown, logged or remembered.
    virtual std::optional<QString> askPassword(const QString &prompt)
    {
        Q_UNUSED(prompt);
        return std::nullopt;
    }
};
