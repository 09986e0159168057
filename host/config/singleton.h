#pragma once

// The host's process-wide singletons. The pointer is one per process: each
// specialisation that the host uses is declared in its class's header and
// defined once in that class's library, so an executable and the plug-ins it
// loads all see the same object whatever their symbol visibility.
template<typename T>
class Singleton
{
public:
    // Get-or-create: the object lives until the process ends.
    static T *getInstance()
    {
        if (!instance)
            instance = new T();
        return instance;
    }

    static T *instance;
};
