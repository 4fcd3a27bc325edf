#pragma once
// The one way the framework's replaceable parts (the modal seam, the waiting box, the wait
// cursor's display) are swapped: an implementation installed for a guard's lifetime, the one
// installed before put back at its end. Guards nest (a test's guard over the program's); they
// must end in reverse order of their start.

// Swap installs its argument and returns the one it replaces.
template <typename Interface, Interface* (*Swap)(Interface*)>
class ScopedInstall final {
public:
    explicit ScopedInstall(Interface& installed) : m_pPrevious(Swap(&installed)) {}
    ~ScopedInstall() { Swap(m_pPrevious); }
    ScopedInstall(const ScopedInstall&) = delete;
    ScopedInstall& operator=(const ScopedInstall&) = delete;

private:
    Interface* m_pPrevious;
};
