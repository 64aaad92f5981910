#pragma once
// The one simulated network of a Wine prefix: the shared state lives in a named file
// mapping (backed by a file in the Windows folder, so it outlasts the processes that
// use it) and is changed only under a named mutex.
//
// Processes learn of changes made elsewhere through a per-process named auto-reset
// event, "TorvikSimNet.Changed.<process id>", listed in the shared state: whoever
// changes the connect or disconnect counters sets the event of every listed process.

#include "NetworkModel.h"

#include "Handles.h"

#include <string>
#include <vector>

class SharedNetwork
{
public:
    // The process's view of the network, opened on first use; null when the mapping or
    // the mutex can't be made.
    static SharedNetwork* Instance();

    SharedNetwork(const SharedNetwork&) = delete;
    SharedNetwork& operator=(const SharedNetwork&) = delete;

private:
    friend class NetworkLock;
    SharedNetwork() = default;
    bool Open();

    FileHandle m_file;
    KernelHandle m_mapping;
    KernelHandle m_mutex;
    simnet::SharedNetworkState* m_state = nullptr;
};

// Holds the network's mutex. Hung-up connections whose time is over, and dialling or
// failed connections whose process has ended, are removed on entry; on leaving, every
// listed process is woken if a connection came up or went away.
class NetworkLock
{
public:
    explicit NetworkLock(SharedNetwork& network);
    ~NetworkLock();
    NetworkLock(const NetworkLock&) = delete;
    NetworkLock& operator=(const NetworkLock&) = delete;

    simnet::SharedNetworkState& State() { return *m_network.m_state; }

private:
    void WakeWatchers();

    SharedNetwork& m_network;
    std::uint32_t m_connectSerial = 0;
    std::uint32_t m_disconnectSerial = 0;
};

std::string WatcherEventName(DWORD processId);
// Lists the process among those woken on changes; false when the list is full.
bool ListWatcher(simnet::SharedNetworkState& state, DWORD processId);

// Friendly names of the devices of the modem class, in enumeration order.
std::vector<std::string> PresentModemNames();
