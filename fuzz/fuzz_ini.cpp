// The configuration store's ini reader with arbitrary file contents, read the
// way the plug-in's settings are: from a file through Config.
//
// Input: one byte whose low six bits are the length of a check value taken
// from the end of the input; the rest is the file. The check value is then
// written after the file as a quoted setting, and must come back whole,
// whatever came before it.

#include "config/config.h"
#include "config/inifile.h"
#include "support/fuzzcheck.h"
#include "support/fuzzinput.h"
#include "support/quietlog.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

namespace {

QTemporaryDir *directory;
QString iniPath;

const char *const CheckKey = "FuzzCheck:value";

// A line break cannot be quoted; quotes and backslashes are escaped.
QByteArray quoted(QByteArray value)
{
    value.replace('\n', ' ');
    value.replace("\\", "\\\\");
    value.replace("\"", "\\\"");
    return '"' + value + '"';
}

void writeFile(const QByteArray &contents)
{
    QFile file(iniPath);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(contents) == contents.size());
}

// Every value the reader found is what the store gives back, in full.
void checkStore(Config &store, const veltaconfig::IniFile &ini)
{
    const QHash<QString, QString> values = ini.values();
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        FUZZ_CHECK(store.getString(it.key()) == it.value());
        FUZZ_CHECK(store.getString(it.key(), QStringLiteral("\x01")) == it.value());
        bool isNumber = false;
        const int number = it.value().toInt(&isNumber, 10);
        FUZZ_CHECK(store.getInt(it.key(), -7) == (isNumber ? number : -7));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    // Paths must be read as they are, not under a test's root.
    qunsetenv("VELTA_CONFIG_ROOT");
    directory = new QTemporaryDir;
    FUZZ_CHECK(directory->isValid());
    iniPath = directory->filePath(QStringLiteral("fuzz.ini"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const int checkLength = input.takeByte() & 0x3f;
    QByteArray text = input.takeRest();
    const QByteArray checkValue = text.right(checkLength).replace('\n', ' ');

    // The reader alone, on the file as it came.
    const veltaconfig::IniFile alone = veltaconfig::IniFile::parse(text);
    FUZZ_CHECK(alone.malformedLineCount() >= 0);
    FUZZ_CHECK((alone.malformedLineCount() == 0) == (alone.firstMalformedLine() == 0));

    text += "\n[FuzzCheck]\nvalue = " + quoted(checkValue) + " ; checked\n";
    writeFile(text);
    Config store;
    FUZZ_CHECK(store.loadFile(iniPath));
    const veltaconfig::IniFile ini = veltaconfig::IniFile::parse(text);
    checkStore(store, ini);
    FUZZ_CHECK(store.getString(QLatin1String(CheckKey)) == QString::fromUtf8(checkValue));
    return 0;
}
