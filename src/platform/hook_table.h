#pragma once
// A set of hooks of one shape, one for each value of an enumeration whose
// last value is Count. A window keeps the targets of its commands this way
// when they all take the same arguments: the subsystems that own them fill
// their own entries, and an empty entry means the command has no target.
#include <array>
#include <cstddef>

namespace mq::platform {

template <class Key, class Hook>
class HookTable {
public:
    Hook& operator[](Key k) { return m_hooks[static_cast<std::size_t>(k)]; }
    const Hook& operator[](Key k) const { return m_hooks[static_cast<std::size_t>(k)]; }

private:
    std::array<Hook, static_cast<std::size_t>(Key::Count)> m_hooks{};
};

}  // namespace mq::platform
