#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace veltaconfig {

// The store's ini reader. Internal to libveltaconfig (and its fuzz target).
//
// Syntax, one item per line (LF or CRLF; UTF-8, a leading BOM is skipped):
//   [Group]            a section; the keys below it are "Group:name"
//   name = value       keys and unquoted values are trimmed of blanks
//   ; text / # text    a comment line
// An unquoted value is taken whole, commas, semicolons, "#", "%" and "="
// included; only a ";" or "#" that follows a blank starts a trailing comment
// ("10 ; seconds" is "10", "a;b#c" is "a;b#c"). A value in double quotes
// keeps everything between the quotes; inside them \" stands for a quote,
// \\ for a backslash, and any other backslash stands for itself. Only blanks
// or a comment may follow the closing quote.
//
// Keys above the first section are stored under their bare name. A later
// line wins over an earlier one with the same key. Lines that fit none of
// the above (no "=", an empty key, an unclosed quote or section) are skipped
// and counted; after a malformed section line its keys are skipped too, so
// that they never land in the section above it.
//
// Parsing is one pass over the text: linear in its size, whatever it holds.
class IniFile
{
public:
    static IniFile parse(const QByteArray &text);

    // "Group:name" -> value.
    QHash<QString, QString> values() const { return m_values; }
    int malformedLineCount() const { return m_malformedLineCount; }
    // 1-based; 0 when every line was understood.
    int firstMalformedLine() const { return m_firstMalformedLine; }

private:
    void parseLine(const char *begin, const char *end, int number);
    bool parseSection(const char *begin, const char *end);
    bool parseKeyValue(const char *begin, const char *end);
    void markMalformed(int number);

    QHash<QString, QString> m_values;
    QString m_group;
    bool m_groupValid = true;
    int m_malformedLineCount = 0;
    int m_firstMalformedLine = 0;
};

} // namespace veltaconfig
