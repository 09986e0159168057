#pragma once

#include <QObject>

// The least a Qt plug-in can be: metadata and an instance. Loading it is the
// baseline that loading the payment plug-in is compared with.
class EmptyPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.vesanu.bench.EmptyPlugin/1.0")
};
