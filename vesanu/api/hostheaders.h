#pragma once

// The host's headers, for the plug-in's own code: include them through here
// only, and before anything else includes them.
//
// A host's headers may define its process-wide statics in the headers
// themselves (`template<class T> T *Singleton<T>::instance = nullptr;`, the
// RestClient creator with the guard of its initialisation). The plug-in then
// instantiates them too, and under its hidden visibility that copy would be
// its own: a store and a creator apart from the host's. Declared with default
// visibility, GCC emits them as unique symbols and the dynamic linker binds
// every module of the process to one copy, the host's. Headers that declare
// the statics only and define them in the host's libraries (explicit
// specialisations) are simply imported, as before.

// Qt's and the standard library's own headers come first, so that their
// inline code keeps the plug-in's hidden visibility.
#include <QByteArray>
#include <QDir>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

#pragma GCC visibility push(default)
#include "config/config.h"
#include "log4qt/logger.h"
#include "log4qt/logmanager.h"
#include "network/restclient.h"
#include "tr/tr.h"
#pragma GCC visibility pop
