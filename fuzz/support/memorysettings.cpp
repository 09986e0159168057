#include "memorysettings.h"

MemorySettings::MemorySettings()
    : m_previous(Singleton<Config>::instance)
{
    Singleton<Config>::instance = this;
}

MemorySettings::~MemorySettings()
{
    Singleton<Config>::instance = m_previous;
}
