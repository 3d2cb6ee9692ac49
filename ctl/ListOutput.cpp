#include "ctl/ListOutput.h"

#include <algorithm>

ListOutput &ListOutput::json(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    m_buffer.append('"');
    const bool plain = std::none_of(utf8.begin(), utf8.end(),
        [](char c) { return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20; });
    if (plain) {
        m_buffer.append(utf8);
        m_buffer.append('"');
        return spill();
    }
    for (const char c : utf8) {
        switch (c) {
        case '"':
            m_buffer.append("\\\"");
            break;
        case '\\':
            m_buffer.append("\\\\");
            break;
        case '\n':
            m_buffer.append("\\n");
            break;
        case '\r':
            m_buffer.append("\\r");
            break;
        case '\t':
            m_buffer.append("\\t");
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
                m_buffer.append(escaped);
            } else {
                m_buffer.append(c);
            }
        }
    }
    m_buffer.append('"');
    return spill();
}

bool ListOutput::flush()
{
    if (!m_buffer.isEmpty()) {
        if (std::fwrite(m_buffer.constData(), 1, size_t(m_buffer.size()), m_stream)
            != size_t(m_buffer.size()))
            m_failed = true;
        m_buffer.resize(0); // keeps the allocation for the next chunk
    }
    if (std::fflush(m_stream) != 0)
        m_failed = true;
    return !m_failed;
}
