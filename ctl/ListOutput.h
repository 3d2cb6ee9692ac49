#pragma once

#include <QByteArray>
#include <QString>
#include <charconv>
#include <cstdio>

// Buffered output to a C stream for listings that may run to hundreds of
// thousands of lines: nothing but the buffer is held in memory.
class ListOutput
{
public:
    explicit ListOutput(std::FILE *stream)
        : m_stream(stream)
    {
        m_buffer.reserve(kChunk + 4096);
    }
    ~ListOutput() { flush(); }
    ListOutput(const ListOutput &) = delete;
    ListOutput &operator=(const ListOutput &) = delete;

    ListOutput &operator<<(const char *text)
    {
        m_buffer.append(text);
        return spill();
    }
    ListOutput &operator<<(char c)
    {
        m_buffer.append(c);
        return spill();
    }
    ListOutput &operator<<(qint64 n)
    {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
        m_buffer.append(digits, end - digits);
        return spill();
    }
    ListOutput &operator<<(const QString &text)
    {
        m_buffer.append(text.toUtf8());
        return spill();
    }
    // A JSON string with its quotes.
    ListOutput &json(const QString &text);
    // False when the stream refused a write (a full disk, a closed pipe).
    bool flush();

private:
    static constexpr int kChunk = 1 << 16;
    ListOutput &spill()
    {
        if (m_buffer.size() >= kChunk)
            flush();
        return *this;
    }

    std::FILE *m_stream;
    QByteArray m_buffer;
    bool m_failed = false;
};
