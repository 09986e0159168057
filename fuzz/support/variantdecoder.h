#pragma once

#include "fuzzinput.h"

#include <QMap>
#include <QString>
#include <QVariant>

// Turns fuzz bytes into a host message: a map of nested maps, lists, texts,
// numbers and other variants. Deterministic, and bounded in depth and size
// whatever the input, so that one input is always one small message.
//
// Texts come from a vocabulary of the message format's own words and their
// near misses (a mutation that lands on "payload" is worth more than one
// that spells it byte by byte), or as raw UTF-8 or Latin-1 bytes.
class VariantDecoder
{
public:
    explicit VariantDecoder(FuzzInput &input);

    QMap<QString, QVariant> decodeMessage();

    static constexpr int MaxDepth = 4;
    static constexpr int MaxEntries = 6;
    static constexpr int MaxNodes = 200;

private:
    QVariant decodeValue(int depth);
    QMap<QString, QVariant> decodeMap(int depth);
    QVariantHash decodeHash(int depth);
    QVariantList decodeList(int depth);
    QStringList decodeStringList();
    QString decodeString();
    int takeCount();

    FuzzInput &m_input;
    int m_nodes = 0;
};
