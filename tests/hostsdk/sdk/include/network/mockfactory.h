#pragma once

#include <QSharedPointer>

#include <functional>

// Replaceable factories. `creator` is defined in this header: every module
// that uses a factory carries a definition, and the first one loaded sets it
// to `defaultCreator`; the guard of that initialisation keeps a module loaded
// later from setting it again.
template<class T>
class MockFactory
{
public:
    using Creator = std::function<QSharedPointer<T>()>;

    static QSharedPointer<T> defaultCreator() { return QSharedPointer<T>(new T()); }
    static Creator creator;
};

template<class T>
typename MockFactory<T>::Creator MockFactory<T>::creator = MockFactory<T>::defaultCreator;
