#include "variantdecoder.h"

#include <QByteArray>
#include <QDateTime>

namespace {

// The words of the queued message and the near misses that must not pass
// for them: letter case, blanks, a trailing NUL.
const char *const Vocabulary[] = {
    "messagetype",
    "sendofddata",
    "payload",
    "rrn",
    "fiscalData",
    "qr",
    "",
    "SendOfdData",
    "sendofddata ",
    " sendofddata",
    "MessageType",
    "fiscaldata",
    "RRN",
    "QR",
    "sendOfdData",
    "6f1c9a52-3d0e-4b8a-9c61-2f0d7b9e4a13",
    "t=20240101T1200&s=123.45&fn=9999078900001234&i=12345&fp=1234567890&n=1",
};
constexpr int VocabularySize = int(sizeof(Vocabulary) / sizeof(Vocabulary[0]));

enum Kind {
    KindString,
    KindInt,
    KindMap,
    KindList,
    KindBytes,
    KindBool,
    KindInvalid,
    KindDouble,
    KindStringList,
    KindHash,
    KindDateTime,
    KindCount
};

} // namespace

VariantDecoder::VariantDecoder(FuzzInput &input)
    : m_input(input)
{
}

QMap<QString, QVariant> VariantDecoder::decodeMessage()
{
    return decodeMap(0);
}

int VariantDecoder::takeCount()
{
    if (m_nodes >= MaxNodes)
        return 0;
    return m_input.takeByte() % (MaxEntries + 1);
}

QVariant VariantDecoder::decodeValue(int depth)
{
    ++m_nodes;
    const bool nested = depth < MaxDepth && m_nodes < MaxNodes;
    switch (m_input.takeByte() % KindCount) {
    case KindString:
        return decodeString();
    case KindInt:
        return m_input.takeInt32();
    case KindMap:
        return nested ? QVariant(decodeMap(depth + 1)) : QVariant(QVariantMap());
    case KindList:
        return nested ? QVariant(decodeList(depth + 1)) : QVariant(QVariantList());
    case KindBytes:
        return decodeString().toUtf8();
    case KindBool:
        return bool(m_input.takeByte() & 1);
    case KindDouble:
        return double(m_input.takeInt32()) / 7.0;
    case KindStringList:
        return decodeStringList();
    case KindHash:
        return nested ? QVariant(decodeHash(depth + 1)) : QVariant(QVariantHash());
    case KindDateTime:
        return QDateTime::fromSecsSinceEpoch(m_input.takeInt32(), Qt::UTC);
    default:
        return QVariant();
    }
}

QMap<QString, QVariant> VariantDecoder::decodeMap(int depth)
{
    QMap<QString, QVariant> map;
    for (int count = takeCount(); count > 0; --count) {
        const QString key = decodeString();
        map.insert(key, decodeValue(depth));
    }
    return map;
}

QVariantHash VariantDecoder::decodeHash(int depth)
{
    QVariantHash hash;
    for (int count = takeCount(); count > 0; --count) {
        const QString key = decodeString();
        hash.insert(key, decodeValue(depth));
    }
    return hash;
}

QVariantList VariantDecoder::decodeList(int depth)
{
    QVariantList list;
    for (int count = takeCount(); count > 0; --count)
        list.append(decodeValue(depth));
    return list;
}

QStringList VariantDecoder::decodeStringList()
{
    QStringList list;
    for (int count = takeCount(); count > 0; --count)
        list.append(decodeString());
    return list;
}

QString VariantDecoder::decodeString()
{
    const std::uint8_t head = m_input.takeByte();
    if (head < 0x80)
        return QString::fromUtf8(Vocabulary[head % VocabularySize]);
    const QByteArray bytes = m_input.takeBytes(head & 0x3f);
    return (head & 0x40) ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
}
