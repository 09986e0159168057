#include "inforeport.h"

#include "answerformatter.h"
#include "hostconstants.h"
#include "pngheader.h"

#include "contract/basicpaymentprocessing.h"

#include <QFile>
#include <QJsonArray>
#include <QStringList>

namespace vesanuhost {

namespace {

// The flags the plug-in is known to set, their sum, and neighbours it must not.
const int CheckedFlags[] = {0x0, 0x10, 0x4000, 0x4010, 0x20, 0x4001};
const int CheckedProcessingOptions[] = {0, 1, 2, 3, 4, 5};
constexpr int RequestTypeCount = 5;

QJsonObject optionFlags(const BasicPaymentProcessing &processing)
{
    QJsonObject flags;
    for (int flag : CheckedFlags) {
        const auto option = static_cast<EPaymentProcessingOption::Option>(flag);
        flags.insert(QStringLiteral("0x%1").arg(flag, 0, 16), processing.checkOption(option));
    }
    return flags;
}

QJsonObject processingOptions(const BasicPaymentProcessing &processing)
{
    QJsonObject options;
    for (int value : CheckedProcessingOptions)
        options.insert(QString::number(value), processing.checkOption(static_cast<processing::Option>(value)));
    return options;
}

template<typename Enabled>
QJsonArray enabledTypes(Enabled isEnabled)
{
    QJsonArray types;
    for (int type = 0; type < RequestTypeCount; ++type) {
        if (isEnabled(static_cast<PaymentProcessingRequest::Type>(type)))
            types.append(type);
    }
    return types;
}

QJsonArray messages(const BasicPaymentProcessing &processing)
{
    QJsonArray list;
    const auto info = processing.getMessageInfo();
    for (auto it = info.begin(); it != info.end(); ++it) {
        list.append(QJsonObject{{QLatin1String(json::Type), static_cast<int>(it.key())},
                                {QLatin1String(json::Key), it.value().key()},
                                {QLatin1String(json::Text), it.value().ui()}});
    }
    return list;
}

QString row(const QString &label, const QString &value)
{
    return QStringLiteral("%1 %2\n").arg(label + QLatin1Char(':'), -20).arg(value);
}

QString listText(const QJsonObject &values)
{
    QStringList entries;
    for (auto it = values.begin(); it != values.end(); ++it)
        entries << it.key() + QLatin1Char('=') + AnswerFormatter::describe(it.value());
    return entries.join(QStringLiteral(", "));
}

QString numbersText(const QJsonArray &numbers)
{
    QStringList entries;
    for (const QJsonValue &number : numbers)
        entries << QString::number(number.toInt());
    return entries.isEmpty() ? QStringLiteral("(none)") : entries.join(QStringLiteral(", "));
}

QString imageText(const QJsonObject &image)
{
    const QString path = image.value(QLatin1String(json::Path)).toString();
    if (!image.value(QLatin1String(json::Readable)).toBool())
        return QStringLiteral("%1 (not a readable PNG)").arg(path);
    return QStringLiteral("%1 (%2 x %3)")
        .arg(path)
        .arg(image.value(QLatin1String(json::Width)).toInt())
        .arg(image.value(QLatin1String(json::Height)).toInt());
}

QString messagesText(const QJsonArray &list)
{
    QString text;
    for (const QJsonValue &entry : list) {
        const QJsonObject message = entry.toObject();
        // The scan-error text has a line feed; show it escaped on one line.
        QString shown = message.value(QLatin1String(json::Text)).toString();
        shown.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
        text += QStringLiteral("  %1  %2 \"%3\"\n")
                    .arg(message.value(QLatin1String(json::Type)).toInt())
                    .arg(message.value(QLatin1String(json::Key)).toString(), shown);
    }
    return text;
}

} // namespace

QJsonObject InfoReport::collect(const QJsonObject &metaData, const BasicPaymentProcessing &processing)
{
    return QJsonObject{
        {QLatin1String(json::Iid), metaData.value(QLatin1String(metadata::Iid))},
        {QLatin1String(json::ClassName), metaData.value(QLatin1String(metadata::ClassName))},
        {QLatin1String(json::QtVersion), qtVersion(metaData.value(QLatin1String(metadata::Version)).toInt())},
        {QLatin1String(json::OptionFlags), optionFlags(processing)},
        {QLatin1String(json::ProcessingOptions), processingOptions(processing)},
        {QLatin1String(json::PaymentTypes),
         enabledTypes([&](PaymentProcessingRequest::Type t) { return processing.isPaymentEnable(t); })},
        {QLatin1String(json::CancelTypes),
         enabledTypes([&](PaymentProcessingRequest::Type t) { return processing.isCancelEnable(t); })},
        {QLatin1String(json::UseTerminal), processing.useTerminal()},
        {QLatin1String(json::Messages), messages(processing)},
        {QLatin1String(json::DialogImage), dialogImage(processing.getDialogImagePath())},
    };
}

QJsonObject InfoReport::dialogImage(const QString &path)
{
    QJsonObject image{{QLatin1String(json::Path), path}, {QLatin1String(json::Readable), false}};
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return image;
    const PngHeader header = PngHeader::read(file);
    if (!header.isValid())
        return image;
    image.insert(QLatin1String(json::Readable), true);
    // Doubles hold any 32-bit size exactly.
    image.insert(QLatin1String(json::Width), static_cast<double>(header.width()));
    image.insert(QLatin1String(json::Height), static_cast<double>(header.height()));
    return image;
}

QString InfoReport::toText(const QJsonObject &report)
{
    const auto value = [&report](const char *name) { return report.value(QLatin1String(name)); };
    return row(QStringLiteral("IID"), value(json::Iid).toString())
        + row(QStringLiteral("class name"), value(json::ClassName).toString())
        + row(QStringLiteral("Qt version"), value(json::QtVersion).toString())
        + row(QStringLiteral("option flags"), listText(value(json::OptionFlags).toObject()))
        + row(QStringLiteral("processing options"), listText(value(json::ProcessingOptions).toObject()))
        + row(QStringLiteral("payment types"), numbersText(value(json::PaymentTypes).toArray()))
        + row(QStringLiteral("cancel types"), numbersText(value(json::CancelTypes).toArray()))
        + row(QStringLiteral("use terminal"), AnswerFormatter::describe(value(json::UseTerminal)))
        + row(QStringLiteral("dialog image"), imageText(value(json::DialogImage).toObject()))
        + QStringLiteral("dialog texts:\n") + messagesText(value(json::Messages).toArray());
}

QString InfoReport::qtVersion(int encoded)
{
    return QStringLiteral("%1.%2.%3").arg((encoded >> 16) & 0xff).arg((encoded >> 8) & 0xff).arg(encoded & 0xff);
}

} // namespace vesanuhost
