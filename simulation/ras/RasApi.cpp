// The remote access calls of the simulated network. Every call answers as the system
// does for the records and errors this system relies on; connections live in the
// network shared by all processes of the prefix (SharedNetwork.h).

#include "RasRecords.h"

#include "DllThread.h"
#include "Notifications.h"
#include "Phonebook.h"
#include "RasRules.h"
#include "SharedNetwork.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{

std::uint32_t HandleValue(HRASCONN connection)
{
    return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(connection));
}

HRASCONN ConnectionHandle(std::uint32_t value)
{
    return reinterpret_cast<HRASCONN>(static_cast<UINT_PTR>(value));
}

bool SameText(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// Runs use(connection) under the network's lock and answers its result; answers
// ERROR_INVALID_HANDLE when the network holds no such connection.
template <typename Use> DWORD WithConnection(HRASCONN hrasconn, Use use)
{
    SharedNetwork* network = SharedNetwork::Instance();
    if (network == nullptr)
        return ERROR_CAN_NOT_COMPLETE;
    NetworkLock lock(*network);
    simnet::SharedConnection* connection =
        simnet::FindConnection(lock.State(), HandleValue(hrasconn));
    if (connection == nullptr)
        return ERROR_INVALID_HANDLE;
    return use(*connection);
}

// ---- Dialling ----

struct DialJob
{
    std::uint32_t connection;
    std::vector<simnet::DialStep> steps;
    RASDIALFUNC notifier;
};

// Moves the connection through the planned states, telling the notifier of each.
// Stops without a word when the connection was hung up or reset meanwhile, as the
// system delivers nothing after a hang-up; a line the network lost meanwhile is told
// as the dial's error. Returns the dial's error (0: connected).
DWORD RunDial(const DialJob& job)
{
    SharedNetwork* network = SharedNetwork::Instance();
    for (const simnet::DialStep& step : job.steps)
    {
        Sleep(step.delayMs);
        simnet::DialStep reached = step;
        {
            NetworkLock lock(*network);
            simnet::SharedConnection* connection =
                simnet::FindConnection(lock.State(), job.connection);
            if (connection == nullptr || connection->phase == simnet::Phase::HangingUp)
                return ERROR_USER_DISCONNECTION;
            if (connection->phase == simnet::Phase::Failed)
                reached = {connection->state, 0, connection->error};
            else if (step.error != 0)
            {
                connection->phase = simnet::Phase::Failed;
                connection->state = step.state;
                connection->error = step.error;
            }
            else if (step.state == simnet::STATE_CONNECTED)
                simnet::MarkConnected(lock.State(), *connection, GetTickCount());
            else
                connection->state = step.state;
        }
        if (job.notifier != nullptr)
            job.notifier(WM_RASDIALEVENT, static_cast<RASCONNSTATE>(reached.state), reached.error);
        if (reached.error != 0)
            return reached.error;
    }
    return ERROR_SUCCESS;
}

DWORD WINAPI DialThread(LPVOID parameter)
{
    std::unique_ptr<DialJob> job(static_cast<DialJob*>(parameter));
    RunDial(*job);
    return 0;
}

bool IsPresentModem(const RASENTRYA& entry)
{
    if (!SameText(simnet::FieldText(entry.szDeviceType), RASDT_Modem))
        return false;
    for (const std::string& name : PresentModemNames())
    {
        if (SameText(name, simnet::FieldText(entry.szDeviceName)))
            return true;
    }
    return false;
}

// Another dial or connection holds the device.
bool IsDeviceBusy(const simnet::SharedNetworkState& state, const std::string& deviceName)
{
    for (const simnet::SharedConnection* connection : simnet::ListedConnections(state))
    {
        if (connection->phase != simnet::Phase::Failed &&
            SameText(connection->deviceName, deviceName))
            return true;
    }
    return false;
}

// A dial that can't open its device fails at the first state.
std::vector<simnet::DialStep> PortUnavailable()
{
    return {{simnet::DIAL_STATES[0], simnet::DEFAULT_STATE_DELAY_MS, ERROR_PORT_NOT_AVAILABLE}};
}

// ---- Hang-up ----

// Removes the hung-up connection once its linger time is over, and with that tells
// every process that it went away.
DWORD WINAPI FinishHangUp(LPVOID parameter)
{
    const std::uint32_t handle = static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(parameter));
    SharedNetwork* network = SharedNetwork::Instance();
    while (true)
    {
        Sleep(simnet::HANG_UP_LINGER_MS);
        NetworkLock lock(*network); // removes whatever has lingered long enough
        if (simnet::FindConnection(lock.State(), handle) == nullptr)
            return 0;
    }
}

// ---- Status and statistics ----

DWORD ReadStatus(const simnet::SharedConnection& connection, RASCONNSTATUSA& status)
{
    status = RASCONNSTATUSA{};
    status.dwSize = sizeof(RASCONNSTATUSA);
    status.rasconnstate = static_cast<RASCONNSTATE>(connection.state);
    status.dwError = connection.error;
    simnet::CopyText(status.szDeviceType, connection.deviceType);
    simnet::CopyText(status.szDeviceName, connection.deviceName);
    return ERROR_SUCCESS;
}

DWORD ReadStatistics(const simnet::SharedConnection& connection, RAS_STATS& statistics)
{
    if (connection.phase == simnet::Phase::HangingUp)
        return ERROR_INVALID_HANDLE;
    statistics = RAS_STATS{};
    statistics.dwSize = sizeof(RAS_STATS);
    if (connection.phase != simnet::Phase::Connected)
        return ERROR_SUCCESS; // nothing has flowed before the connection is up
    const simnet::Statistics figures =
        simnet::StatisticsAfter(GetTickCount() - connection.connectedTick);
    statistics.dwBytesXmited = figures.bytesSent;
    statistics.dwBytesRcved = figures.bytesReceived;
    statistics.dwFramesXmited = figures.framesSent;
    statistics.dwFramesRcved = figures.framesReceived;
    statistics.dwCompressionRatioIn = 100;
    statistics.dwCompressionRatioOut = 100;
    statistics.dwBps = figures.bitsPerSecond;
    statistics.dwConnectDuration = figures.durationMs;
    return ERROR_SUCCESS;
}

} // namespace

extern "C"
{

    DWORD WINAPI RasDialA(LPVOID, LPCSTR lpszPhonebook, RASDIALPARAMSA* lpRasDialParams,
                          DWORD dwNotifierType, LPVOID lpvNotifier, HRASCONN* lphRasConn)
    {
        if (lpRasDialParams == nullptr || lphRasConn == nullptr)
            return ERROR_INVALID_PARAMETER;
        if (lpRasDialParams->dwSize != sizeof(RASDIALPARAMSA))
            return ERROR_INVALID_SIZE;
        // Only the notifier of the first kind (message, state, error) is supported.
        if (lpvNotifier != nullptr && dwNotifierType != RAS_NOTIFIER_RASDIALFUNC)
            return ERROR_INVALID_PARAMETER;
        *lphRasConn = nullptr;

        const std::string file = phonebook::FilePath(lpszPhonebook);
        const std::string entryName = simnet::FieldText(lpRasDialParams->szEntryName);
        if (file.empty())
            return ERROR_CANNOT_OPEN_PHONEBOOK;
        if (!phonebook::EntryExists(file, entryName))
            return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        RASENTRYA entry = {};
        phonebook::ReadEntry(file, entryName, entry);
        const bool devicePresent = IsPresentModem(entry);

        SharedNetwork* network = SharedNetwork::Instance();
        if (network == nullptr)
            return ERROR_CAN_NOT_COMPLETE;
        auto job = std::make_unique<DialJob>();
        job->notifier = reinterpret_cast<RASDIALFUNC>(lpvNotifier);
        {
            NetworkLock lock(*network);
            simnet::SharedNetworkState& state = lock.State();
            const bool busy = IsDeviceBusy(state, simnet::FieldText(entry.szDeviceName));
            simnet::SharedConnection* connection =
                simnet::NewConnection(state, entryName, simnet::FieldText(entry.szDeviceType),
                                      simnet::FieldText(entry.szDeviceName), GetCurrentProcessId());
            if (connection == nullptr)
                return ERROR_PORT_NOT_AVAILABLE;
            job->connection = connection->handle;
            job->steps =
                devicePresent && !busy ? simnet::PlanDial(state.nextDial) : PortUnavailable();
            state.nextDial = simnet::DialOutcome{};
        }
        *lphRasConn = ConnectionHandle(job->connection);
        if (job->notifier == nullptr)
            return RunDial(*job);
        if (!StartDllThread(DialThread, job.get()))
            return ERROR_CAN_NOT_COMPLETE;
        job.release(); // the dial thread owns it now
        return ERROR_SUCCESS;
    }

    DWORD WINAPI RasHangUpA(HRASCONN hrasconn)
    {
        bool hungUpNow = false;
        const DWORD result = WithConnection(hrasconn,
                                            [&hungUpNow](simnet::SharedConnection& connection)
                                            {
                                                hungUpNow =
                                                    simnet::MarkHungUp(connection, GetTickCount());
                                                return DWORD{ERROR_SUCCESS};
                                            });
        // Should the thread not start, the next look at the network removes the connection.
        if (hungUpNow)
            StartDllThread(FinishHangUp,
                           reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(HandleValue(hrasconn))));
        return result;
    }

    DWORD WINAPI RasGetConnectStatusA(HRASCONN hrasconn, RASCONNSTATUSA* lpStatus)
    {
        if (lpStatus == nullptr)
            return ERROR_INVALID_PARAMETER;
        if (lpStatus->dwSize != sizeof(RASCONNSTATUSA))
            return ERROR_INVALID_SIZE;
        return WithConnection(hrasconn, [lpStatus](const simnet::SharedConnection& connection)
                              { return ReadStatus(connection, *lpStatus); });
    }

    DWORD WINAPI RasEnumConnectionsA(RASCONNA* lprasconn, LPDWORD lpcb, LPDWORD lpcConnections)
    {
        if (lpcb == nullptr || lpcConnections == nullptr || (lprasconn == nullptr && *lpcb != 0))
            return ERROR_INVALID_PARAMETER;
        if (lprasconn != nullptr && lprasconn->dwSize != sizeof(RASCONNA))
            return ERROR_INVALID_SIZE;
        SharedNetwork* network = SharedNetwork::Instance();
        if (network == nullptr)
            return ERROR_CAN_NOT_COMPLETE;
        NetworkLock lock(*network);
        const std::vector<const simnet::SharedConnection*> listed =
            simnet::ListedConnections(lock.State());
        const DWORD needed = static_cast<DWORD>(listed.size() * sizeof(RASCONNA));
        *lpcConnections = static_cast<DWORD>(listed.size());
        if (*lpcb < needed)
        {
            *lpcb = needed;
            return ERROR_BUFFER_TOO_SMALL;
        }
        *lpcb = needed;
        for (std::size_t i = 0; i < listed.size(); ++i)
        {
            RASCONNA& record = lprasconn[i];
            record = RASCONNA{};
            record.dwSize = sizeof(RASCONNA);
            record.hrasconn = ConnectionHandle(listed[i]->handle);
            simnet::CopyText(record.szEntryName, listed[i]->entryName);
            simnet::CopyText(record.szDeviceType, listed[i]->deviceType);
            simnet::CopyText(record.szDeviceName, listed[i]->deviceName);
        }
        return ERROR_SUCCESS;
    }

    DWORD WINAPI RasConnectionNotificationA(HRASCONN hrasconn, HANDLE hEvent, DWORD dwFlags)
    {
        return notifications::Register(hrasconn, hEvent, dwFlags);
    }

    DWORD WINAPI RasGetConnectionStatistics(HRASCONN hrasconn, RAS_STATS* lpStatistics)
    {
        if (lpStatistics == nullptr)
            return ERROR_INVALID_PARAMETER;
        if (lpStatistics->dwSize != sizeof(RAS_STATS))
            return ERROR_INVALID_SIZE;
        return WithConnection(hrasconn, [lpStatistics](const simnet::SharedConnection& connection)
                              { return ReadStatistics(connection, *lpStatistics); });
    }

    DWORD WINAPI RasGetEntryPropertiesA(LPCSTR lpszPhonebook, LPCSTR lpszEntry,
                                        RASENTRYA* lpRasEntry, LPDWORD lpdwEntryInfoSize, LPBYTE,
                                        LPDWORD lpdwDeviceInfoSize)
    {
        if (lpdwEntryInfoSize == nullptr)
            return ERROR_INVALID_PARAMETER;
        if (lpdwDeviceInfoSize != nullptr)
            *lpdwDeviceInfoSize = 0; // no device-specific information is kept
        if (lpRasEntry == nullptr || *lpdwEntryInfoSize < sizeof(RASENTRYA))
        {
            *lpdwEntryInfoSize = sizeof(RASENTRYA);
            return ERROR_BUFFER_TOO_SMALL;
        }
        if (lpRasEntry->dwSize != sizeof(RASENTRYA))
            return ERROR_INVALID_SIZE;
        const bool defaults = lpszEntry == nullptr || lpszEntry[0] == '\0';
        const std::string file = phonebook::FilePath(lpszPhonebook);
        if (!defaults && (file.empty() || !phonebook::EntryExists(file, lpszEntry)))
            return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        std::memset(lpRasEntry, 0, sizeof(RASENTRYA));
        lpRasEntry->dwSize = sizeof(RASENTRYA);
        if (defaults)
        {
            // The properties a new entry starts with.
            lpRasEntry->dwfNetProtocols = RASNP_Ip;
            lpRasEntry->dwFramingProtocol = RASFP_Ppp;
            lpRasEntry->dwType = RASET_Phone;
            return ERROR_SUCCESS;
        }
        phonebook::ReadEntry(file, lpszEntry, *lpRasEntry);
        return ERROR_SUCCESS;
    }

    DWORD WINAPI RasSetEntryPropertiesA(LPCSTR lpszPhonebook, LPCSTR lpszEntry,
                                        RASENTRYA* lpRasEntry, DWORD dwEntryInfoSize, LPBYTE, DWORD)
    {
        if (lpszEntry == nullptr || lpRasEntry == nullptr)
            return ERROR_INVALID_PARAMETER;
        if (lpRasEntry->dwSize != sizeof(RASENTRYA) || dwEntryInfoSize < sizeof(RASENTRYA))
            return ERROR_INVALID_SIZE;
        if (!simnet::IsValidEntryName(lpszEntry))
            return ERROR_INVALID_NAME;
        const std::string file = phonebook::FilePath(lpszPhonebook);
        if (file.empty() || !phonebook::WriteEntry(file, lpszEntry, *lpRasEntry))
            return ERROR_CANNOT_OPEN_PHONEBOOK;
        return ERROR_SUCCESS;
    }

    DWORD WINAPI RasDeleteEntryA(LPCSTR lpszPhonebook, LPCSTR lpszEntry)
    {
        if (lpszEntry == nullptr)
            return ERROR_INVALID_PARAMETER;
        const std::string file = phonebook::FilePath(lpszPhonebook);
        if (file.empty() || !phonebook::EntryExists(file, lpszEntry))
            return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        if (!phonebook::DeleteEntry(file, lpszEntry))
            return ERROR_CANNOT_OPEN_PHONEBOOK;
        return ERROR_SUCCESS;
    }

    DWORD WINAPI RasValidateEntryNameA(LPCSTR lpszPhonebook, LPCSTR lpszEntry)
    {
        if (lpszEntry == nullptr)
            return ERROR_INVALID_PARAMETER;
        if (!simnet::IsValidEntryName(lpszEntry))
            return ERROR_INVALID_NAME;
        const std::string file = phonebook::FilePath(lpszPhonebook);
        if (!file.empty() && phonebook::EntryExists(file, lpszEntry))
            return ERROR_ALREADY_EXISTS;
        return ERROR_SUCCESS;
    }

    DWORD WINAPI RasSetEntryDialParamsA(LPCSTR lpszPhonebook, RASDIALPARAMSA* lpRasDialParams,
                                        BOOL fRemovePassword)
    {
        if (lpRasDialParams == nullptr)
            return ERROR_INVALID_PARAMETER;
        if (lpRasDialParams->dwSize != sizeof(RASDIALPARAMSA))
            return ERROR_INVALID_SIZE;
        const std::string file = phonebook::FilePath(lpszPhonebook);
        if (file.empty() ||
            !phonebook::EntryExists(file, simnet::FieldText(lpRasDialParams->szEntryName)))
            return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        if (!phonebook::WriteCredentials(file, *lpRasDialParams, fRemovePassword != FALSE))
            return ERROR_CANNOT_OPEN_PHONEBOOK;
        return ERROR_SUCCESS;
    }

    DWORD WINAPI RasGetErrorStringA(UINT uErrorValue, LPSTR lpszErrorString, DWORD cBufSize)
    {
        const char* text = simnet::ErrorText(uErrorValue);
        if (lpszErrorString == nullptr || text == nullptr)
            return ERROR_INVALID_PARAMETER;
        const std::size_t length = std::strlen(text);
        if (cBufSize <= length)
            return ERROR_INSUFFICIENT_BUFFER;
        std::memcpy(lpszErrorString, text, length + 1);
        return ERROR_SUCCESS;
    }

} // extern "C"
