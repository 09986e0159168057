// The library's entry points, as Qt's plug-in loader resolves them by name.

#include "vesanu/vesanu.h"

#include <QPointer>
#include <QtPlugin>

namespace {

// Written out rather than generated, so that every byte is fixed whatever the
// build type (a generated block marks a debug build).
// The version is that of the Qt the library is compiled against: Qt's loader
// refuses a plug-in announcing a newer Qt than it runs, and code built with
// these headers may need what only this Qt provides.
QT_PLUGIN_METADATA_SECTION
const unsigned char pluginMetaData[34] = {
    'Q', 'T', 'M', 'E', 'T', 'A', 'D', 'A', 'T', 'A', ' ', '!', // magic
    0,                                                          // format version
    QT_VERSION_MAJOR, QT_VERSION_MINOR,                         // Qt major, minor
    0,                                                          // release, any processor
    0xbf,                                                       // CBOR map, indefinite
    0x02, 0x66, 'V', 'e', 's', 'a', 'N', 'u',                   // IID
    0x03, 0x66, 'V', 'e', 's', 'a', 'N', 'u',                   // class name
    0xff,                                                       // end of map
};

} // namespace

extern "C" Q_DECL_EXPORT const char *qt_plugin_query_metadata()
{
    return reinterpret_cast<const char *>(pluginMetaData);
}

extern "C" Q_DECL_EXPORT QObject *qt_plugin_instance()
{
    // The host owns and deletes the instance; the guard notices that, and the
    // next call makes a fresh one.
    static QPointer<QObject> instance;
    if (!instance)
        instance = new vesanu::VesaNu;
    return instance;
}
