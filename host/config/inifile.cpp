#include "config/inifile.h"

#include "config/configconstants.h"

#include <cstring>

namespace veltaconfig {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

bool isCommentStart(char c)
{
    return c == ';' || c == '#';
}

const char *skipBlanks(const char *p, const char *end)
{
    while (p < end && isBlank(*p))
        ++p;
    return p;
}

const char *trimEnd(const char *begin, const char *end)
{
    while (end > begin && isBlank(end[-1]))
        --end;
    return end;
}

const char *find(const char *begin, const char *end, char c)
{
    return static_cast<const char *>(std::memchr(begin, c, size_t(end - begin)));
}

bool onlyCommentFollows(const char *p, const char *end)
{
    p = skipBlanks(p, end);
    return p == end || isCommentStart(*p);
}

QString text(const char *begin, const char *end)
{
    return QString::fromUtf8(begin, int(end - begin));
}

// `p` is just past the opening quote.
bool parseQuoted(const char *p, const char *end, QString *value)
{
    QByteArray bytes;
    bytes.reserve(int(end - p));
    for (; p < end; ++p) {
        if (*p == '"') {
            *value = QString::fromUtf8(bytes);
            return onlyCommentFollows(p + 1, end);
        }
        if (*p == '\\' && p + 1 < end && (p[1] == '"' || p[1] == '\\'))
            ++p;
        bytes += *p;
    }
    return false;
}

// `begin` is the first non-blank character after "=", so begin[-1] exists.
QString parseUnquoted(const char *begin, const char *end)
{
    const char *stop = end;
    for (const char *p = begin; p < end; ++p) {
        if (isCommentStart(*p) && isBlank(p[-1])) {
            stop = p;
            break;
        }
    }
    return text(begin, trimEnd(begin, stop));
}

} // namespace

IniFile IniFile::parse(const QByteArray &text)
{
    IniFile ini;
    const char *p = text.constData();
    const char *const end = p + text.size();
    if (text.startsWith("\xEF\xBB\xBF"))
        p += 3;
    for (int number = 1; p < end; ++number) {
        const char *lineEnd = find(p, end, '\n');
        if (!lineEnd)
            lineEnd = end;
        ini.parseLine(p, lineEnd, number);
        p = lineEnd + (lineEnd < end ? 1 : 0);
    }
    return ini;
}

void IniFile::parseLine(const char *begin, const char *end, int number)
{
    begin = skipBlanks(begin, end);
    end = trimEnd(begin, end);
    if (begin == end || isCommentStart(*begin))
        return;
    if (*begin == '[') {
        m_groupValid = parseSection(begin + 1, end);
        if (!m_groupValid)
            markMalformed(number);
        return;
    }
    if (!parseKeyValue(begin, end))
        markMalformed(number);
}

bool IniFile::parseSection(const char *begin, const char *end)
{
    const char *close = find(begin, end, ']');
    if (!close || !onlyCommentFollows(close + 1, end))
        return false;
    const char *nameBegin = skipBlanks(begin, close);
    const char *nameEnd = trimEnd(nameBegin, close);
    if (nameBegin == nameEnd)
        return false;
    m_group = text(nameBegin, nameEnd);
    return true;
}

bool IniFile::parseKeyValue(const char *begin, const char *end)
{
    const char *equals = find(begin, end, '=');
    if (!equals)
        return false;
    const char *keyEnd = trimEnd(begin, equals);
    if (keyEnd == begin)
        return false;
    const char *valueBegin = skipBlanks(equals + 1, end);
    QString value;
    if (valueBegin < end && *valueBegin == '"') {
        if (!parseQuoted(valueBegin + 1, end, &value))
            return false;
    } else {
        value = parseUnquoted(valueBegin, end);
    }
    if (m_groupValid) {
        const QString name = text(begin, keyEnd);
        m_values.insert(
            m_group.isEmpty() ? name : m_group + QLatin1Char(GroupSeparator) + name, value);
    }
    return true;
}

void IniFile::markMalformed(int number)
{
    if (m_malformedLineCount++ == 0)
        m_firstMalformedLine = number;
}

} // namespace veltaconfig
