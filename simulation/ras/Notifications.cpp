#include "Notifications.h"

#include "DllThread.h"
#include "Handles.h"
#include "SharedNetwork.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace notifications
{

namespace
{

struct Registration
{
    KernelHandle event; // the caller's event, duplicated: the caller may close its own
    DWORD flags;
    std::uint32_t connection; // 0: all connections
    std::uint32_t seenConnects;
    std::uint32_t seenDisconnects;
    bool signalledGone;
};

// What the watcher reads from the network in one look.
struct NetworkView
{
    std::uint32_t connects;
    std::uint32_t disconnects;
    std::vector<std::uint32_t> handles; // every connection that still exists
};

std::mutex g_mutex;
std::vector<std::unique_ptr<Registration>> g_registrations;
HANDLE g_wake = nullptr; // lives as long as the process: the watcher never ends

// Serial counters wrap; "newer" is a positive distance.
bool Advanced(std::uint32_t now, std::uint32_t seen)
{
    return static_cast<std::int32_t>(now - seen) > 0;
}

NetworkView Look(SharedNetwork& network)
{
    NetworkView view;
    NetworkLock lock(network);
    simnet::SharedNetworkState& state = lock.State();
    view.connects = state.connectSerial;
    view.disconnects = state.disconnectSerial;
    for (const simnet::SharedConnection& connection : state.connections)
    {
        if (connection.phase != simnet::Phase::Free)
            view.handles.push_back(connection.handle);
    }
    return view;
}

void Deliver(const NetworkView& view)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    for (const std::unique_ptr<Registration>& registration : g_registrations)
    {
        bool signal = false;
        if ((registration->flags & RASCN_Connection) &&
            Advanced(view.connects, registration->seenConnects))
            signal = true;
        if (registration->flags & RASCN_Disconnection)
        {
            if (registration->connection == 0)
                signal = signal || Advanced(view.disconnects, registration->seenDisconnects);
            else if (!registration->signalledGone &&
                     std::find(view.handles.begin(), view.handles.end(),
                               registration->connection) == view.handles.end())
            {
                registration->signalledGone = true;
                signal = true;
            }
        }
        if (Advanced(view.connects, registration->seenConnects))
            registration->seenConnects = view.connects;
        if (Advanced(view.disconnects, registration->seenDisconnects))
            registration->seenDisconnects = view.disconnects;
        if (signal)
            SetEvent(registration->event.get());
    }
}

DWORD WINAPI Watch(LPVOID)
{
    SharedNetwork* network = SharedNetwork::Instance();
    while (WaitForSingleObject(g_wake, INFINITE) == WAIT_OBJECT_0)
        Deliver(Look(*network));
    return 0;
}

// The watcher runs for the rest of the process.
bool StartWatcherOnce()
{
    static const bool started = []
    {
        g_wake =
            CreateEventA(nullptr, FALSE, FALSE, WatcherEventName(GetCurrentProcessId()).c_str());
        if (g_wake == nullptr)
            return false;
        return StartDllThread(Watch, nullptr);
    }();
    return started;
}

} // namespace

DWORD Register(HRASCONN connection, HANDLE event, DWORD flags)
{
    const bool allConnections = connection == static_cast<HRASCONN>(INVALID_HANDLE_VALUE);
    const DWORD known = RASCN_Connection | RASCN_Disconnection;
    if (event == nullptr || flags == 0 || (flags & ~known) != 0)
        return ERROR_INVALID_PARAMETER;
    // A single connection can only go away; its coming up is told by the dial.
    if (!allConnections && (flags & RASCN_Connection))
        return ERROR_INVALID_PARAMETER;
    SharedNetwork* network = SharedNetwork::Instance();
    if (network == nullptr || !StartWatcherOnce())
        return ERROR_CAN_NOT_COMPLETE;

    auto registration = std::make_unique<Registration>();
    registration->flags = flags;
    registration->connection =
        allConnections ? 0 : static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(connection));
    if (!DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(),
                         registration->event.receive(), 0, FALSE, DUPLICATE_SAME_ACCESS))
        return ERROR_INVALID_HANDLE;
    {
        NetworkLock lock(*network);
        simnet::SharedNetworkState& state = lock.State();
        if (!allConnections && simnet::FindConnection(state, registration->connection) == nullptr)
            return ERROR_INVALID_HANDLE;
        if (!ListWatcher(state, GetCurrentProcessId()))
            return ERROR_NOT_ENOUGH_MEMORY;
        registration->seenConnects = state.connectSerial;
        registration->seenDisconnects = state.disconnectSerial;
    }
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        g_registrations.push_back(std::move(registration));
    }
    // A change between the look at the counters and the listing above may have woken
    // the watcher before this registration was there: let it look once more.
    SetEvent(g_wake);
    return ERROR_SUCCESS;
}

} // namespace notifications
