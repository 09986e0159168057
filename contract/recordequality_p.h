#pragma once

// Internal to the processing contract library: the host's equality of the
// records' maps. Header-only, so nothing here is exported.

#include <QMap>
#include <QString>
#include <QVariant>

// Hidden, so that nothing here joins the library's exported surface even
// where the compiler does not inline it.
#pragma GCC visibility push(hidden)

namespace contract::internal {

// Same number of entries and, walking both in key order, equal keys and equal
// values. Unlike QMap::operator==, two maps sharing their data are walked
// too, so that a value unequal to itself (a NaN) makes a record unequal to
// its own copy, as a NaN sum does.
inline bool sameEntries(const QMap<QString, QVariant> &left, const QMap<QString, QVariant> &right)
{
    if (left.size() != right.size())
        return false;
    for (auto l = left.cbegin(), r = right.cbegin(); l != left.cend(); ++l, ++r) {
        if (l.key() != r.key() || !(l.value() == r.value()))
            return false;
    }
    return true;
}

} // namespace contract::internal

#pragma GCC visibility pop
