#pragma once

#include <QSharedPointer>

#include <functional>

// The host's replaceable factories. `creator` is one function object per
// process: each specialisation is declared in its class's header and defined
// once in that class's library, where it starts out as `defaultCreator`.
// Whoever owns the process (a test, for one) may put another creator in its
// place; every user calls whatever it holds at the time.
template<typename T>
class MockFactory
{
public:
    using Creator = std::function<QSharedPointer<T>()>;

    static QSharedPointer<T> defaultCreator();
    static Creator creator;
};
