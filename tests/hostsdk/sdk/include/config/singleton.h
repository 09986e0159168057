#pragma once

// One object per process for every T. The pointer is defined here, in the
// header: every module that uses Singleton<T> carries a definition of it,
// and the dynamic linker makes them one (they are unique symbols).
template<class T>
class Singleton
{
public:
    static T *instance;
};

template<class T>
T *Singleton<T>::instance = nullptr;
