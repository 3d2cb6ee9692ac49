#include "ctl/ListOutput.h"

ListOutput &ListOutput::json(const QString &text)
{
    m_buffer.append('"');
    for (const char c : text.toUtf8()) {
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
        m_buffer.clear();
    }
    if (std::fflush(m_stream) != 0)
        m_failed = true;
    return !m_failed;
}
