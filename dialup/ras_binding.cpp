#include "dialup/ras_binding.h"

#include "platform/error.h"

namespace dialup {
namespace {

[[noreturn]] void notFound(const QString &name)
{
    throw platform::Error(QStringLiteral("Function ") + name + QStringLiteral(" not found!"));
}

} // namespace

RasBinding::RasBinding(Opener openMain, Opener openFallback)
    : m_openMain(std::move(openMain))
    , m_openFallback(std::move(openFallback))
{
}

RasBinding::~RasBinding()
{
    if (m_useFallback)
        platform::closeLibrary(m_library);
}

void *RasBinding::lookup(const QString &name) const
{
    return platform::librarySymbol(m_library, name.toLatin1().constData());
}

void *RasBinding::LoadRasFunction(const QString &name)
{
    if (m_loaded) {
        void *function = m_useFallback ? lookup(name) : lookup(name + QLatin1Char('A'));
        if (!function && !m_useFallback)
            function = lookup(name);
        if (!function)
            notFound(name);
        return function;
    }
    m_library = m_openMain();
    if (!m_library)
        throw platform::Error(QStringLiteral("Error opening rasapi.dll"));
    void *function = lookup(name + QLatin1Char('A'));
    if (!function)
        function = lookup(name);
    if (function) {
        m_loaded = true;
        return function;
    }
    m_library = m_openFallback();
    if (!m_library)
        throw platform::Error(QStringLiteral("Error opening rnaph.dll"));
    function = lookup(name);
    if (!function) {
        // Unbound, it would never be freed: the next call opens it again.
        platform::closeLibrary(m_library);
        m_library = nullptr;
        notFound(name);
    }
    m_loaded = true;
    m_useFallback = true;
    return function;
}

RasBinding &rasBinding()
{
    static RasBinding binding([] { return platform::openRasLibrary(platform::RasLibraryFile::Main); },
                              [] { return platform::openRasLibrary(platform::RasLibraryFile::Fallback); });
    return binding;
}

} // namespace dialup
