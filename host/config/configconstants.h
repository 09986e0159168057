#pragma once

// The configuration store's own vocabulary. Internal to libveltaconfig.

#include <QtGlobal>

namespace veltaconfig {

// Names a folder that stands in for "/" when absolute configuration paths
// are resolved (tests and demos).
constexpr char RootVariable[] = "VELTA_CONFIG_ROOT";

// Logging category of the store's own warnings.
constexpr char LogCategory[] = "veltaconfig";

// An ini file is a few lines; anything larger is not one of ours, and a
// device such as /dev/zero must not be read forever.
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

// Keys are "Group:name": the name in the ini file's section [Group].
constexpr char GroupSeparator = ':';

// Warnings; "%1" is always the path the file was read from.
constexpr char CannotReadWarning[] = "Cannot read configuration file %1: %2";
constexpr char TooLargeWarning[]
    = "Configuration file %1 is larger than %2 bytes and was not loaded";
constexpr char MalformedWarning[]
    = "Configuration file %1: %2 malformed line(s) ignored, the first is line %3";

} // namespace veltaconfig
