#pragma once
// Binding to the RAS provider library on first use. The rules are those of the Windows
// component, kept with its library names in the messages:
//  - once loaded: with the second library look up the name itself, otherwise name + "A"
//    and then the name; not found raises "Function <name> not found!";
//  - first use: load the main library ("Error opening rasapi.dll"), look up name + "A",
//    then name; found: the library stays loaded;
//  - neither found: load the second library in its place ("Error opening rnaph.dll") and
//    look up the name itself; from then on every lookup goes there.
// Only the library handle is kept; an address is looked up again on every call. The
// second library is freed when the binding ends (at program end for the process-wide
// one); the main library stays loaded.
#include "platform/dynamic_library.h"

#include <QString>

#include <functional>

namespace dialup {

class RasBinding
{
public:
    using Opener = std::function<platform::LibraryHandle()>;

    RasBinding(Opener openMain, Opener openFallback);
    ~RasBinding();
    RasBinding(const RasBinding &) = delete;
    RasBinding &operator=(const RasBinding &) = delete;

    // The address of the function; raises platform::Error when it cannot be bound.
    void *LoadRasFunction(const QString &name);

    bool RasLoaded() const { return m_loaded; }
    bool RasUseRnaph() const { return m_useFallback; }

private:
    void *lookup(const QString &name) const;

    Opener m_openMain;
    Opener m_openFallback;
    platform::LibraryHandle m_library = nullptr;
    bool m_loaded = false;
    bool m_useFallback = false;
};

// The binding of this process, to the project's RAS provider.
RasBinding &rasBinding();

// Calls a RAS function through the process-wide binding.
template<typename Function, typename... Args>
auto CallRas(const char *name, Args... args)
{
    return reinterpret_cast<Function>(rasBinding().LoadRasFunction(QLatin1String(name)))(args...);
}

} // namespace dialup
