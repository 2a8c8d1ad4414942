#pragma once
// Program-wide state lives in one object per subsystem, owned by the
// application object (or by a test). StateSlot<T> owns such an object and makes
// it the current one for its lifetime, so code reaches it with T::current()
// style accessors without loose globals, and every test can start afresh by
// making its own slot. Slots nest: the previous current object comes back when a
// slot ends.
#include <cassert>

namespace mq::platform {

template <class T>
class StateSlot {
public:
    StateSlot() : m_prev(s_current) { s_current = &m_value; }
    ~StateSlot() { s_current = m_prev; }
    StateSlot(const StateSlot&) = delete;
    StateSlot& operator=(const StateSlot&) = delete;

    T& operator*() { return m_value; }
    T* operator->() { return &m_value; }

    static T& current() {
        assert(s_current && "no state object installed for this subsystem");
        return *s_current;
    }
    static bool installed() { return s_current != nullptr; }

private:
    T m_value;
    T* m_prev;
    static inline T* s_current = nullptr;
};

}  // namespace mq::platform
