#pragma once
// Connection notifications across processes. Each process that registers an event gets
// one watcher thread; it sleeps on the process's wake-up event (see SharedNetwork.h),
// compares the network's connect and disconnect counters with what each registration
// has seen, and sets the registered events whose kind of change happened.

#include "RasRecords.h"

namespace notifications
{

// RasConnectionNotification: an event for RASCN_Connection and/or RASCN_Disconnection
// of all connections (INVALID_HANDLE_VALUE), or for RASCN_Disconnection of one.
DWORD Register(HRASCONN connection, HANDLE event, DWORD flags);

} // namespace notifications
