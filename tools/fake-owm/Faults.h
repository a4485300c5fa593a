// Faults the stand-in can play instead of its good answers, for tests of how the
// program bears a broken service: chosen at start (--fault) or at any time by
// GET /control/fault?mode=NAME[&path=PREFIX] (path: the request paths that
// fail, both services' API paths "/data/" and "/v1/" by default; mode "none"
// heals). The keyless service's paths get their faults in JSON.
#pragma once

#include <QString>
#include <QStringList>

#include <httplib.h>

#include <mutex>
#include <string>

enum class TFault {
    None,
    Stall,    // no answer at all while the fault lasts (at most ten minutes)
    Drip,     // a good document, one byte a second
    Close,    // half of a good document, then the connection closes
    Huge,     // a 200 answer of 5 MiB
    Entities, // a document whose entities expand a billion-fold (JSON: nested 100,000 deep)
    BadUtf8,  // a good document with bytes that are no UTF-8
    Html503,  // HTTP 503 with a proxy's HTML page
    Json429,  // HTTP 429 with the service's JSON for too many requests
};

QStringList FaultNames();
// False when `name` names no fault.
bool FaultByName(const QString &name, TFault &fault);

// The fault in force and the request paths it strikes; safe across the
// server's threads.
class TFaultSwitch
{
public:
    void Set(TFault fault, const std::string &pathPrefix);
    TFault FaultFor(const std::string &path) const;

private:
    mutable std::mutex FMutex;
    TFault FFault = TFault::None;
    std::string FPrefix;
};

// Adds GET /control/fault, which sets the switch.
void AddFaultControl(httplib::Server &server, TFaultSwitch &faults);

// Answers `request` with the fault in force for its path; false when none
// strikes it (the route answers). Called before routing.
bool ServeFault(const TFaultSwitch &faults, const httplib::Request &request, httplib::Response &response);
