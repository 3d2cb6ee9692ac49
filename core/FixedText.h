#pragma once

#include <QString>

// A text of exactly N characters: longer text is cut, shorter text is padded
// with blanks, the way a fixed-length field of the stored records behaves.
template <int N>
class FixedText
{
public:
    FixedText() : m_text(N, QLatin1Char(' ')) {}
    explicit FixedText(const QString &text) { set(text); }

    void set(const QString &text)
    {
        m_text = text.left(N);
        if (m_text.size() < N)
            m_text += QString(N - m_text.size(), QLatin1Char(' '));
    }
    FixedText &operator=(const QString &text)
    {
        set(text);
        return *this;
    }

    const QString &text() const { return m_text; }
    QString trimmed() const { return m_text.trimmed(); }
    bool isBlank() const { return m_text.trimmed().isEmpty(); }
    static constexpr int size() { return N; }

    bool operator==(const FixedText &other) const = default;

private:
    QString m_text;
};
