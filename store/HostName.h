#pragma once

class QString;

// Whether a text names a host the link can reach: an IPv4 or IPv6 address or
// a DNS host name (letters, digits, hyphens, dot-separated labels).
bool IsHostName(const QString &text);
