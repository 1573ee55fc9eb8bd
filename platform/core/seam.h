// A seam: where a lower layer needs a service of a higher one. The lower layer declares an
// interface whose own bodies (or a default class's) answer until an implementation is
// installed; Install puts one in (null: the default again) and answers the one installed
// before (null: none was), so a test or a start-up can put back what it found.
#pragma once

#include <utility>

namespace plat {

template <class Interface, class Default = Interface>
class Seam {
public:
    constexpr Seam() = default;
    Seam(const Seam&) = delete;
    Seam& operator=(const Seam&) = delete;

    Interface* Install(Interface* implementation) { return std::exchange(m_installed, implementation); }
    Interface& Get() const {
        static Default fallback;
        return m_installed ? *m_installed : fallback;
    }

private:
    Interface* m_installed = nullptr;
};

}  // namespace plat
