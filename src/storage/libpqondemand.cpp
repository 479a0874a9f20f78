// The room server's client library, loaded the first time a server is asked
// for instead of at start: most PCs have no server, and the library comes with
// some twenty more (TLS, Kerberos, LDAP) whose loading cost the menu a third
// of its start-up. These are the few calls the program makes of it; each
// goes to the library once loaded, and without it answers as a server that
// cannot be reached.

#include <libpq-fe.h>

#include <QLibrary>

namespace {

QFunctionPointer resolve(const char *name)
{
    static QLibrary library(QStringLiteral("pq"), 5);
    if (!library.isLoaded() && !library.load())
        return nullptr;
    return library.resolve(name);
}

template <class F> F find(const char *name) { return reinterpret_cast<F>(resolve(name)); }

} // namespace

extern "C" {

PGPing PQpingParams(const char *const *keywords, const char *const *values, int expandDbname)
{
    static const auto call = find<decltype(&PQpingParams)>("PQpingParams");
    return call ? call(keywords, values, expandDbname) : PQPING_NO_ATTEMPT;
}

PGconn *PQconnectdbParams(const char *const *keywords, const char *const *values, int expandDbname)
{
    static const auto call = find<decltype(&PQconnectdbParams)>("PQconnectdbParams");
    return call ? call(keywords, values, expandDbname) : nullptr;
}

ConnStatusType PQstatus(const PGconn *connection)
{
    static const auto call = find<decltype(&PQstatus)>("PQstatus");
    return call && connection ? call(connection) : CONNECTION_BAD;
}

int PQconnectionNeedsPassword(const PGconn *connection)
{
    static const auto call = find<decltype(&PQconnectionNeedsPassword)>("PQconnectionNeedsPassword");
    return call && connection ? call(connection) : 0;
}

void PQfinish(PGconn *connection)
{
    static const auto call = find<decltype(&PQfinish)>("PQfinish");
    if (call && connection)
        call(connection);
}

} // extern "C"
