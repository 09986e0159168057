// moc writes the plug-in's entry points from the class's metadata.
#include "emptyplugin.h"
