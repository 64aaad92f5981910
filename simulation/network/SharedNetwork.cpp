#include "SharedNetwork.h"

#include <windows.h>
#include <setupapi.h>

namespace
{

const char MAPPING_NAME[] = "TorvikSimNet.State";
const char MUTEX_NAME[] = "TorvikSimNet.Lock";
const char STATE_FILE_NAME[] = "\\TorvikSimNet.dat";

// {4D36E96D-E325-11CE-BFC1-08002BE10318}
const GUID MODEM_CLASS = {
    0x4D36E96D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

std::string StateFilePath()
{
    char folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    return std::string(folder) + STATE_FILE_NAME;
}

bool ProcessHasEnded(DWORD processId)
{
    KernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    return !process || WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
}

// A dial runs on a thread of the dialling process, and only that process can hang up a
// dial that failed: when it has ended, such a connection would otherwise stay for good.
// A connection that is up outlives the program that dialled it.
void RemoveAbandonedDials(simnet::SharedNetworkState& state)
{
    for (simnet::SharedConnection& connection : state.connections)
    {
        const bool unfinished = connection.phase == simnet::Phase::Dialling ||
                                connection.phase == simnet::Phase::Failed;
        if (unfinished && ProcessHasEnded(connection.ownerProcess))
            simnet::RemoveConnection(state, connection);
    }
}

} // namespace

SharedNetwork* SharedNetwork::Instance()
{
    static SharedNetwork network;
    static const bool opened = network.Open();
    return opened ? &network : nullptr;
}

bool SharedNetwork::Open()
{
    const std::string path = StateFilePath();
    if (path.empty())
        return false;
    m_file.reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file)
        return false;
    m_mapping.reset(CreateFileMappingA(m_file.get(), nullptr, PAGE_READWRITE, 0,
                                       sizeof(simnet::SharedNetworkState), MAPPING_NAME));
    if (!m_mapping)
        return false;
    m_mutex.reset(CreateMutexA(nullptr, FALSE, MUTEX_NAME));
    if (!m_mutex)
        return false;
    m_state = static_cast<simnet::SharedNetworkState*>(
        MapViewOfFile(m_mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    return m_state != nullptr;
}

NetworkLock::NetworkLock(SharedNetwork& network) : m_network(network)
{
    // An abandoned mutex (its holder ended) is ours all the same; the state it guards
    // is only ever changed in whole fields.
    WaitForSingleObject(m_network.m_mutex.get(), INFINITE);
    simnet::SharedNetworkState& state = State();
    simnet::EnsureInitialised(state);
    m_connectSerial = state.connectSerial;
    m_disconnectSerial = state.disconnectSerial;
    simnet::SweepHungUp(state, GetTickCount());
    RemoveAbandonedDials(state);
}

NetworkLock::~NetworkLock()
{
    // The sweep in the constructor counts as a change too, so compare with the counters
    // from before it.
    if (State().connectSerial != m_connectSerial || State().disconnectSerial != m_disconnectSerial)
        WakeWatchers();
    ReleaseMutex(m_network.m_mutex.get());
}

void NetworkLock::WakeWatchers()
{
    for (std::uint32_t& processId : State().watcherProcesses)
    {
        if (processId == 0)
            continue;
        KernelHandle event(
            OpenEventA(EVENT_MODIFY_STATE, FALSE, WatcherEventName(processId).c_str()));
        if (!event)
        {
            // The process has ended: its event went with it.
            processId = 0;
            continue;
        }
        SetEvent(event.get());
    }
}

std::string WatcherEventName(DWORD processId)
{
    return "TorvikSimNet.Changed." + std::to_string(processId);
}

bool ListWatcher(simnet::SharedNetworkState& state, DWORD processId)
{
    std::uint32_t* freeSlot = nullptr;
    for (std::uint32_t& listed : state.watcherProcesses)
    {
        if (listed == processId)
            return true;
        if (listed == 0 && freeSlot == nullptr)
            freeSlot = &listed;
    }
    if (freeSlot == nullptr)
        return false;
    *freeSlot = processId;
    return true;
}

std::vector<std::string> PresentModemNames()
{
    std::vector<std::string> names;
    DeviceInfoSet devices(SetupDiGetClassDevsA(&MODEM_CLASS, nullptr, nullptr, DIGCF_PRESENT));
    if (!devices)
        return names;
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices.get(), index, &device); ++index)
    {
        char name[260] = {};
        if (SetupDiGetDeviceRegistryPropertyA(devices.get(), &device, SPDRP_FRIENDLYNAME, nullptr,
                                              reinterpret_cast<BYTE*>(name), sizeof name - 1,
                                              nullptr))
            names.push_back(name);
    }
    return names;
}
