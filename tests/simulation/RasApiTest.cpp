// The simulated rasapi32.dll as the connection manager uses it: loaded by name, its
// calls looked up by name, records of the older sizes.

#include "RasRecords.h"

#include "DeviceFixture.h"
#include "Handles.h"
#include "NetworkModel.h"
#include "SharedNetwork.h"
#include "TestFiles.h"
#include "TestProcess.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace
{

std::uint32_t HandleValue(HRASCONN connection)
{
    return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(connection));
}

const char MODEM_NAME[] = "Torvik Simulated Test Modem";
const char ENTRY_NAME[] = "Dial-test";
constexpr DWORD WAIT_MS = 10000;

DeviceDeclaration TestModem()
{
    DeviceDeclaration modem;
    modem.instanceId = "USB\\VID_7C3E&PID_1011&MI_00\\7&5E7&0&0000";
    modem.hardwareIds = {"usb\\vid_7c3e&pid_1011&mi_00", "usb\\vid_7c3e&pid_1011"};
    modem.classGuid = MODEM_CLASS_GUID;
    modem.friendlyName = MODEM_NAME;
    modem.driverIndex = "0171";
    modem.driverValues = {{"AttachedTo", "COM7"}};
    return modem;
}

// The DLL's calls, found by name as the connection manager finds them.
struct RasApi
{
    Library dll{LoadLibraryA("rasapi32.dll")};
    template <typename Call> Call Find(const char* name) const
    {
        return RasCallFrom<Call>(GetProcAddress(dll.get(), name));
    }
    PFN_RasDialA Dial = Find<PFN_RasDialA>("RasDialA");
    PFN_RasHangUpA HangUp = Find<PFN_RasHangUpA>("RasHangUpA");
    PFN_RasGetConnectStatusA GetConnectStatus =
        Find<PFN_RasGetConnectStatusA>("RasGetConnectStatusA");
    PFN_RasEnumConnectionsA EnumConnections = Find<PFN_RasEnumConnectionsA>("RasEnumConnectionsA");
    PFN_RasConnectionNotificationA ConnectionNotification =
        Find<PFN_RasConnectionNotificationA>("RasConnectionNotificationA");
    PFN_RasGetEntryPropertiesA GetEntryProperties =
        Find<PFN_RasGetEntryPropertiesA>("RasGetEntryPropertiesA");
    PFN_RasSetEntryPropertiesA SetEntryProperties =
        Find<PFN_RasSetEntryPropertiesA>("RasSetEntryPropertiesA");
    PFN_RasDeleteEntryA DeleteEntry = Find<PFN_RasDeleteEntryA>("RasDeleteEntryA");
    PFN_RasValidateEntryNameA ValidateEntryName =
        Find<PFN_RasValidateEntryNameA>("RasValidateEntryNameA");
    PFN_RasSetEntryDialParamsA SetEntryDialParams =
        Find<PFN_RasSetEntryDialParamsA>("RasSetEntryDialParamsA");
    PFN_RasGetErrorStringA GetErrorString = Find<PFN_RasGetErrorStringA>("RasGetErrorStringA");
    PFN_RasGetConnectionStatistics GetConnectionStatistics =
        Find<PFN_RasGetConnectionStatistics>("RasGetConnectionStatistics");
};

const RasApi& Ras()
{
    static RasApi api;
    return api;
}

// What the dial notifier was told, and on which thread.
struct Notification
{
    DWORD state;
    DWORD error;
    DWORD thread;
    HRASCONN handleSeen; // the dial's handle variable when the notification came
};

struct NotifierLog
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Notification> received;
    HRASCONN dialHandle = nullptr;
};

NotifierLog g_log;

VOID WINAPI RecordNotification(UINT message, RASCONNSTATE state, DWORD error)
{
    EXPECT_EQ(message, WM_RASDIALEVENT);
    std::lock_guard<std::mutex> guard(g_log.mutex);
    g_log.received.push_back({state, error, GetCurrentThreadId(), g_log.dialHandle});
    g_log.changed.notify_all();
}

// Waits until the notifier has been told of the given number of states.
std::vector<Notification> WaitForNotifications(std::size_t count)
{
    std::unique_lock<std::mutex> lock(g_log.mutex);
    g_log.changed.wait_for(lock, std::chrono::milliseconds(WAIT_MS),
                           [count] { return g_log.received.size() >= count; });
    return g_log.received;
}

// Waits for the notification that ends a dial: the connected state or an error.
std::vector<Notification> WaitForDialEnd()
{
    std::unique_lock<std::mutex> lock(g_log.mutex);
    g_log.changed.wait_for(lock, std::chrono::milliseconds(WAIT_MS),
                           []
                           {
                               return !g_log.received.empty() &&
                                      (g_log.received.back().state == RASCS_Connected ||
                                       g_log.received.back().error != 0);
                           });
    return g_log.received;
}

RASENTRYA ModemEntry(const char* deviceName)
{
    RASENTRYA entry = {};
    entry.dwSize = sizeof entry;
    entry.dwfOptions = RASEO_RemoteDefaultGateway | RASEO_PreviewPhoneNumber | RASEO_RequirePAP |
                       RASEO_ModemLights | RASEO_SpecificNameServers;
    entry.dwfOptions2 = RASEO2_DontNegotiateMultilink | RASEO2_DisableNbtOverIP;
    entry.dwfNetProtocols = RASNP_Ip;
    entry.dwFramingProtocol = RASFP_Ppp;
    entry.dwType = RASET_Phone;
    entry.dwEncryptionType = ET_Optional;
    entry.ipaddrDns = {10, 0, 0, 1};
    entry.ipaddrWinsAlt = {192, 168, 1, 254};
    lstrcpyA(entry.szDeviceType, RASDT_Modem);
    lstrcpyA(entry.szDeviceName, deviceName);
    lstrcpyA(entry.szLocalPhoneNumber, "*99#");
    return entry;
}

RASDIALPARAMSA DialParams(const char* entryName)
{
    RASDIALPARAMSA params = {};
    params.dwSize = sizeof params;
    lstrcpyA(params.szEntryName, entryName);
    lstrcpyA(params.szUserName, "user");
    lstrcpyA(params.szPassword, "secret");
    return params;
}

void SetNextDial(const char* failState, DWORD failError, const char* delays)
{
    NetworkLock lock(*SharedNetwork::Instance());
    simnet::DialOutcome outcome{};
    outcome.isSet = 1;
    outcome.failError = failError;
    if (failState != nullptr)
    {
        ASSERT_TRUE(simnet::ParseState(failState, outcome.failState));
    }
    ASSERT_TRUE(simnet::ParseDelays(delays, outcome.delayMs));
    lock.State().nextDial = outcome;
}

// Runs netctl.exe (beside this program) to its end; gives its exit code and its output.
DWORD RunNetctl(const std::string& arguments, std::string* output = nullptr)
{
    std::string text;
    const DWORD exitCode = RunToExit("netctl.exe " + arguments, "", WAIT_MS, &text);
    if (output != nullptr)
        *output = text;
    return exitCode;
}

// Reads a connection's status until its handle is no longer valid.
bool WaitUntilGone(HRASCONN connection)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < WAIT_MS)
    {
        RASCONNSTATUSA status = {};
        status.dwSize = sizeof status;
        const DWORD result = Ras().GetConnectStatus(connection, &status);
        if (result == ERROR_INVALID_HANDLE)
            return true;
        EXPECT_EQ(result, 0u);
        EXPECT_EQ(status.rasconnstate, RASCS_Disconnected);
        Sleep(0);
    }
    return false;
}

std::vector<RASCONNA> EnumerateConnections()
{
    RASCONNA connections[10] = {};
    connections[0].dwSize = sizeof(RASCONNA);
    DWORD size = sizeof connections;
    DWORD count = 0;
    EXPECT_EQ(Ras().EnumConnections(connections, &size, &count), 0u);
    return std::vector<RASCONNA>(connections, connections + count);
}

class SimulatedRas : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Ras().dll) << "rasapi32.dll";
        ASSERT_NE(SharedNetwork::Instance(), nullptr);
        {
            NetworkLock lock(*SharedNetwork::Instance());
            simnet::Reset(lock.State());
        }
        std::lock_guard<std::mutex> guard(g_log.mutex);
        g_log.received.clear();
        g_log.dialHandle = nullptr;
    }

    // An entry for the test modem in a phonebook of this test.
    void WriteEntry(const char* name, const char* deviceName)
    {
        RASENTRYA entry = ModemEntry(deviceName);
        ASSERT_EQ(
            Ras().SetEntryProperties(m_phonebook.c_str(), name, &entry, sizeof entry, nullptr, 0),
            0u);
    }

    // Starts a dial of the entry with the recording notifier.
    HRASCONN StartDial(const char* entryName, DWORD expectedResult = 0)
    {
        RASDIALPARAMSA params = DialParams(entryName);
        HRASCONN handle = nullptr;
        {
            std::lock_guard<std::mutex> guard(g_log.mutex);
            const DWORD result =
                Ras().Dial(nullptr, m_phonebook.c_str(), &params, 0,
                           reinterpret_cast<LPVOID>(&RecordNotification), &g_log.dialHandle);
            EXPECT_EQ(result, expectedResult);
            handle = g_log.dialHandle;
        }
        return handle;
    }

    TempFolder m_folder;
    std::string m_phonebook = m_folder.File("test.pbk");
    DeviceFixture m_modem{{TestModem()}};
};

TEST_F(SimulatedRas, IsTheDllBesideTheProgram)
{
    char dllPath[MAX_PATH] = {};
    char programPath[MAX_PATH] = {};
    GetModuleFileNameA(Ras().dll.get(), dllPath, MAX_PATH);
    GetModuleFileNameA(nullptr, programPath, MAX_PATH);
    const std::string program = programPath;
    EXPECT_EQ(std::string(dllPath), program.substr(0, program.rfind('\\') + 1) + "rasapi32.dll");
    EXPECT_NE(Ras().GetConnectionStatistics, nullptr);
}

TEST_F(SimulatedRas, DialReturnsAtOnceThenNotifiesEveryStateInOrderOnOneThreadOfItsOwn)
{
    WriteEntry(ENTRY_NAME, MODEM_NAME);
    SetNextDial(nullptr, 0, "20");
    const HRASCONN handle = StartDial(ENTRY_NAME);
    ASSERT_NE(handle, nullptr);

    const std::vector<Notification> received = WaitForDialEnd();
    ASSERT_EQ(received.size(), static_cast<std::size_t>(simnet::DIAL_STATE_COUNT));
    for (std::size_t i = 0; i < received.size(); ++i)
    {
        EXPECT_EQ(received[i].state, simnet::DIAL_STATES[i]) << i;
        EXPECT_EQ(received[i].error, 0u) << i;
        EXPECT_EQ(received[i].thread, received[0].thread) << i;
        EXPECT_EQ(received[i].handleSeen, handle) << i;
    }
    EXPECT_NE(received[0].thread, GetCurrentThreadId());

    RASCONNSTATUSA status = {};
    status.dwSize = sizeof status;
    ASSERT_EQ(Ras().GetConnectStatus(handle, &status), 0u);
    EXPECT_EQ(status.rasconnstate, RASCS_Connected);
    EXPECT_STREQ(status.szDeviceType, "modem");
    EXPECT_STREQ(status.szDeviceName, MODEM_NAME);

    const std::vector<RASCONNA> listed = EnumerateConnections();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].hrasconn, handle);
    EXPECT_STREQ(listed[0].szEntryName, ENTRY_NAME);
    EXPECT_STREQ(listed[0].szDeviceName, MODEM_NAME);
}

TEST_F(SimulatedRas, ADialFailsWithTheChosenErrorAtTheChosenStateAndIsGoneAfterHangUp)
{
    struct Case
    {
        const char* state;
        DWORD stateNumber;
        DWORD error;
        std::size_t notifications;
    };
    const Case cases[] = {
        {"OpenPort", RASCS_OpenPort, 633, 1},
        {"ConnectDevice", RASCS_ConnectDevice, 678, 3},
        {"Authenticate", RASCS_Authenticate, 691, 6},
    };
    WriteEntry(ENTRY_NAME, MODEM_NAME);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.state);
        SetUp();
        SetNextDial(c.state, c.error, "0");
        const HRASCONN handle = StartDial(ENTRY_NAME);
        const std::vector<Notification> received = WaitForDialEnd();
        ASSERT_EQ(received.size(), c.notifications);
        EXPECT_EQ(received.back().state, c.stateNumber);
        EXPECT_EQ(received.back().error, c.error);

        // The failed connection keeps its handle and its error until it is hung up.
        RASCONNSTATUSA status = {};
        status.dwSize = sizeof status;
        ASSERT_EQ(Ras().GetConnectStatus(handle, &status), 0u);
        EXPECT_EQ(status.rasconnstate, c.stateNumber);
        EXPECT_EQ(status.dwError, c.error);

        EXPECT_EQ(Ras().HangUp(handle), 0u);
        EXPECT_TRUE(WaitUntilGone(handle));
        EXPECT_TRUE(EnumerateConnections().empty());
    }
}

TEST_F(SimulatedRas, ADialThroughADeviceThatIsNotAPresentModemFailsWhenOpeningThePort)
{
    WriteEntry("Dial-nowhere", "Unplugged Modem");
    const HRASCONN handle = StartDial("Dial-nowhere");
    const std::vector<Notification> received = WaitForDialEnd();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].state, RASCS_OpenPort);
    EXPECT_EQ(received[0].error, ERROR_PORT_NOT_AVAILABLE);
    EXPECT_EQ(Ras().HangUp(handle), 0u);
}

TEST_F(SimulatedRas, ASecondDialThroughTheBusyModemFailsWhenOpeningThePort)
{
    ASSERT_EQ(RunNetctl("connect"), 0u);
    WriteEntry(ENTRY_NAME, MODEM_NAME);
    const HRASCONN handle = StartDial(ENTRY_NAME);
    const std::vector<Notification> received = WaitForDialEnd();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].error, ERROR_PORT_NOT_AVAILABLE);
    EXPECT_EQ(Ras().HangUp(handle), 0u);
}

TEST_F(SimulatedRas, ADialWithoutNotifierReturnsOnlyWhenItHasEnded)
{
    WriteEntry(ENTRY_NAME, MODEM_NAME);
    const struct
    {
        const char* failState;
        DWORD error;
        RASCONNSTATE state;
    } cases[] = {{nullptr, 0, RASCS_Connected}, {"AuthProject", 720, RASCS_AuthProject}};
    for (const auto& c : cases)
    {
        SetUp();
        SetNextDial(c.failState, c.error, "1");
        RASDIALPARAMSA params = DialParams(ENTRY_NAME);
        HRASCONN handle = nullptr;
        EXPECT_EQ(Ras().Dial(nullptr, m_phonebook.c_str(), &params, 0, nullptr, &handle), c.error);
        RASCONNSTATUSA status = {};
        status.dwSize = sizeof status;
        ASSERT_EQ(Ras().GetConnectStatus(handle, &status), 0u);
        EXPECT_EQ(status.rasconnstate, c.state);
        EXPECT_EQ(status.dwError, c.error);
    }
}

TEST_F(SimulatedRas, UnfinishedDialsOfAnEndedProcessGoButItsConnectionStays)
{
    TestProcess ended("netctl.exe list", "", ProgramOutput::Captured);
    ASSERT_TRUE(ended.WaitForExit(WAIT_MS));
    const struct
    {
        const char* entry;
        simnet::Phase phase;
        DWORD owner;
    } connections[] = {
        {"dialling", simnet::Phase::Dialling, ended.Id()},
        {"failed", simnet::Phase::Failed, ended.Id()},
        {"connected", simnet::Phase::Connected, ended.Id()},
        {"own dial", simnet::Phase::Dialling, GetCurrentProcessId()},
    };
    {
        NetworkLock lock(*SharedNetwork::Instance());
        for (const auto& c : connections)
        {
            simnet::SharedConnection* connection =
                simnet::NewConnection(lock.State(), c.entry, "modem", MODEM_NAME, c.owner);
            ASSERT_NE(connection, nullptr);
            connection->phase = c.phase;
        }
    }
    const std::vector<RASCONNA> listed = EnumerateConnections();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_STREQ(listed[0].szEntryName, "connected");
    EXPECT_STREQ(listed[1].szEntryName, "own dial");
}

TEST_F(SimulatedRas, ADialWhoseLineTheNetworkLosesEndsWithThatErrorAndKeepsItsHandle)
{
    WriteEntry(ENTRY_NAME, MODEM_NAME);
    SetNextDial(nullptr, 0, "0,0,0,0,0,0,0,1000"); // a long pause before AuthProject
    const HRASCONN handle = StartDial(ENTRY_NAME);
    ASSERT_NE(handle, nullptr);
    ASSERT_EQ(WaitForNotifications(7).size(), 7u);
    {
        NetworkLock lock(*SharedNetwork::Instance());
        simnet::SharedConnection* connection =
            simnet::FindConnection(lock.State(), HandleValue(handle));
        ASSERT_NE(connection, nullptr);
        simnet::LoseConnection(lock.State(), *connection);
    }

    const std::vector<Notification> received = WaitForDialEnd();
    ASSERT_EQ(received.size(), 8u);
    EXPECT_EQ(received.back().state, RASCS_AuthNotify);
    EXPECT_EQ(received.back().error, ERROR_PORT_DISCONNECTED);
    RASCONNSTATUSA status = {};
    status.dwSize = sizeof status;
    ASSERT_EQ(Ras().GetConnectStatus(handle, &status), 0u);
    EXPECT_EQ(status.rasconnstate, RASCS_AuthNotify);
    EXPECT_EQ(status.dwError, ERROR_PORT_DISCONNECTED);
    EXPECT_EQ(Ras().HangUp(handle), 0u);
    EXPECT_TRUE(WaitUntilGone(handle));
}

TEST_F(SimulatedRas, DialRefusesWrongParameters)
{
    WriteEntry(ENTRY_NAME, MODEM_NAME);
    struct Case
    {
        const char* what;
        DWORD size;
        const char* entry;
        DWORD notifierKind;
        DWORD result;
    };
    const Case cases[] = {
        {"record of the newer size", 1060, ENTRY_NAME, 0, ERROR_INVALID_SIZE},
        {"missing entry", sizeof(RASDIALPARAMSA), "Dial-missing", 0,
         ERROR_CANNOT_FIND_PHONEBOOK_ENTRY},
        {"notifier of another kind", sizeof(RASDIALPARAMSA), ENTRY_NAME, 1,
         ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases)
    {
        RASDIALPARAMSA params = DialParams(c.entry);
        params.dwSize = c.size;
        HRASCONN handle = nullptr;
        EXPECT_EQ(Ras().Dial(nullptr, m_phonebook.c_str(), &params, c.notifierKind,
                             reinterpret_cast<LPVOID>(&RecordNotification), &handle),
                  c.result)
            << c.what;
        EXPECT_EQ(handle, nullptr) << c.what;
    }
    EXPECT_TRUE(EnumerateConnections().empty());
}

TEST_F(SimulatedRas, AHungUpConnectionReadsAsDisconnectedUntilItsHandleBecomesInvalid)
{
    WriteEntry(ENTRY_NAME, MODEM_NAME);
    const HRASCONN handle = StartDial(ENTRY_NAME);
    ASSERT_EQ(WaitForDialEnd().back().state, RASCS_Connected);

    ASSERT_EQ(Ras().HangUp(handle), 0u);
    // Listed no more at once; its status reads as disconnected until the handle is gone.
    EXPECT_TRUE(EnumerateConnections().empty());
    ASSERT_TRUE(WaitUntilGone(handle));

    RAS_STATS statistics = {};
    statistics.dwSize = sizeof statistics;
    EXPECT_EQ(Ras().HangUp(handle), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(Ras().GetConnectionStatistics(handle, &statistics),
              static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(SimulatedRas, AConnectionTheNetworkDropsIsInvalidAtOnce)
{
    std::string output;
    ASSERT_EQ(RunNetctl("connect", &output), 0u) << output;
    const std::vector<RASCONNA> listed = EnumerateConnections();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_STREQ(listed[0].szDeviceName, MODEM_NAME);

    char handleText[16];
    wsprintfA(handleText, "0x%X", HandleValue(listed[0].hrasconn));
    ASSERT_EQ(RunNetctl(std::string("drop ") + handleText, &output), 0u) << output;
    RASCONNSTATUSA status = {};
    status.dwSize = sizeof status;
    EXPECT_EQ(Ras().GetConnectStatus(listed[0].hrasconn, &status),
              static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(Ras().HangUp(listed[0].hrasconn), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(SimulatedRas, EventsOfThisProcessAreSignalledForConnectionsMadeAndLostByAnother)
{
    KernelHandle connected(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    KernelHandle disconnected(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    const HRASCONN all = static_cast<HRASCONN>(INVALID_HANDLE_VALUE);
    ASSERT_EQ(Ras().ConnectionNotification(all, connected.get(), RASCN_Connection), 0u);
    ASSERT_EQ(Ras().ConnectionNotification(all, disconnected.get(), RASCN_Disconnection), 0u);

    ASSERT_EQ(RunNetctl("connect"), 0u);
    EXPECT_EQ(WaitForSingleObject(connected.get(), WAIT_MS), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(disconnected.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    ASSERT_EQ(RunNetctl("drop"), 0u);
    EXPECT_EQ(WaitForSingleObject(disconnected.get(), WAIT_MS), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(connected.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(SimulatedRas, AnotherProcessSeesThisProcesssDialAndItsEndIsSignalledHere)
{
    KernelHandle connected(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    KernelHandle disconnected(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    const HRASCONN all = static_cast<HRASCONN>(INVALID_HANDLE_VALUE);
    ASSERT_EQ(Ras().ConnectionNotification(all, connected.get(), RASCN_Connection), 0u);
    WriteEntry(ENTRY_NAME, MODEM_NAME);
    const HRASCONN handle = StartDial(ENTRY_NAME);
    ASSERT_EQ(WaitForDialEnd().back().state, RASCS_Connected);
    EXPECT_EQ(WaitForSingleObject(connected.get(), WAIT_MS), WAIT_OBJECT_0);
    // Only the one connection's end is asked for here.
    ASSERT_EQ(Ras().ConnectionNotification(handle, disconnected.get(), RASCN_Disconnection), 0u);

    std::string output;
    ASSERT_EQ(RunNetctl("list", &output), 0u);
    EXPECT_NE(output.find("connected state=Connected error=0 entry=\"Dial-test\" device=\"" +
                          std::string(MODEM_NAME) + "\""),
              std::string::npos)
        << output;

    EXPECT_EQ(Ras().HangUp(handle), 0u);
    EXPECT_EQ(WaitForSingleObject(disconnected.get(), WAIT_MS), WAIT_OBJECT_0);
    RASCONNSTATUSA status = {};
    status.dwSize = sizeof status;
    EXPECT_EQ(Ras().GetConnectStatus(handle, &status), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(SimulatedRas, NotificationRefusesWrongRequests)
{
    KernelHandle event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    const HRASCONN all = static_cast<HRASCONN>(INVALID_HANDLE_VALUE);
    const HRASCONN unknown = reinterpret_cast<HRASCONN>(0x7777);
    EXPECT_EQ(Ras().ConnectionNotification(all, nullptr, RASCN_Connection),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Ras().ConnectionNotification(all, event.get(), 0),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Ras().ConnectionNotification(unknown, event.get(), RASCN_Disconnection),
              static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(SimulatedRas, TenConnectionsFitTheTenRecordBufferAndAnEleventhDoesNot)
{
    for (int i = 0; i < 11; ++i)
    {
        SCOPED_TRACE(i);
        ASSERT_EQ(RunNetctl("connect --device \"Other device " + std::to_string(i) + "\""), 0u);
        RASCONNA connections[10] = {};
        connections[0].dwSize = sizeof(RASCONNA);
        DWORD size = sizeof connections;
        DWORD count = 0;
        const DWORD result = Ras().EnumConnections(connections, &size, &count);
        const DWORD listed = static_cast<DWORD>(i + 1);
        EXPECT_EQ(count, listed);
        EXPECT_EQ(size, listed * sizeof(RASCONNA));
        EXPECT_EQ(result, listed <= 10 ? 0u : ERROR_BUFFER_TOO_SMALL);
        if (result == 0)
        {
            EXPECT_EQ(std::string(connections[i].szDeviceName),
                      "Other device " + std::to_string(i));
        }
    }
}

TEST_F(SimulatedRas, RecordsWithAWrongSizeFieldAreRefused)
{
    ASSERT_EQ(RunNetctl("connect"), 0u);
    const HRASCONN handle = EnumerateConnections().at(0).hrasconn;
    // The newer forms of the system's records, which this system doesn't pass.
    RASCONNA connections[2] = {};
    connections[0].dwSize = 704;
    DWORD size = sizeof connections;
    DWORD count = 0;
    EXPECT_EQ(Ras().EnumConnections(connections, &size, &count), ERROR_INVALID_SIZE);
    RASCONNSTATUSA status = {};
    status.dwSize = 288;
    EXPECT_EQ(Ras().GetConnectStatus(handle, &status), ERROR_INVALID_SIZE);
    RAS_STATS statistics = {};
    statistics.dwSize = 0;
    EXPECT_EQ(Ras().GetConnectionStatistics(handle, &statistics), ERROR_INVALID_SIZE);
    RASENTRYA entry = ModemEntry(MODEM_NAME);
    entry.dwSize = 2088;
    EXPECT_EQ(Ras().SetEntryProperties(m_phonebook.c_str(), "x", &entry, sizeof entry, nullptr, 0),
              ERROR_INVALID_SIZE);
    RASDIALPARAMSA params = DialParams("x");
    params.dwSize = 1060;
    EXPECT_EQ(Ras().SetEntryDialParams(m_phonebook.c_str(), &params, FALSE), ERROR_INVALID_SIZE);
}

TEST_F(SimulatedRas, StatisticsGrowWhileConnected)
{
    ASSERT_EQ(RunNetctl("connect"), 0u);
    const HRASCONN handle = EnumerateConnections().at(0).hrasconn;
    RAS_STATS first = {};
    first.dwSize = sizeof first;
    ASSERT_EQ(Ras().GetConnectionStatistics(handle, &first), 0u);

    RAS_STATS later = {};
    const DWORD start = GetTickCount();
    do
    {
        Sleep(1);
        later = RAS_STATS{};
        later.dwSize = sizeof later;
        ASSERT_EQ(Ras().GetConnectionStatistics(handle, &later), 0u);
    } while (later.dwConnectDuration <= first.dwConnectDuration + 50 &&
             GetTickCount() - start < WAIT_MS);
    EXPECT_GT(later.dwConnectDuration, first.dwConnectDuration + 50);
    EXPECT_GT(later.dwBytesXmited, first.dwBytesXmited);
    EXPECT_GT(later.dwBytesRcved, first.dwBytesRcved);
    EXPECT_EQ(later.dwSize, sizeof(RAS_STATS));
}

TEST_F(SimulatedRas, APhonebookEntryIsWrittenAsIniKeysAndReadBack)
{
    WriteEntry(ENTRY_NAME, MODEM_NAME);
    const auto key = [this](const char* name)
    {
        char value[256] = {};
        GetPrivateProfileStringA(ENTRY_NAME, name, "<missing>", value, sizeof value,
                                 m_phonebook.c_str());
        return std::string(value);
    };
    EXPECT_EQ(key("DeviceType"), "modem");
    EXPECT_EQ(key("DeviceName"), MODEM_NAME);
    EXPECT_EQ(key("PhoneNumber"), "*99#");
    EXPECT_EQ(key("Options"), std::to_string(0x00240114));
    EXPECT_EQ(key("Options2"), std::to_string(0x44));
    EXPECT_EQ(key("DnsAddress"), "10.0.0.1");
    EXPECT_EQ(key("DnsAltAddress"), "0.0.0.0");
    EXPECT_EQ(key("WinsAltAddress"), "192.168.1.254");
    EXPECT_EQ(key("NetProtocols"), "4");

    RASENTRYA read = {};
    read.dwSize = sizeof read;
    DWORD size = sizeof read;
    ASSERT_EQ(
        Ras().GetEntryProperties(m_phonebook.c_str(), ENTRY_NAME, &read, &size, nullptr, nullptr),
        0u);
    const RASENTRYA written = ModemEntry(MODEM_NAME);
    EXPECT_EQ(read.dwfOptions, written.dwfOptions);
    EXPECT_EQ(read.dwfOptions2, written.dwfOptions2);
    EXPECT_EQ(read.dwEncryptionType, written.dwEncryptionType);
    EXPECT_EQ(read.ipaddrDns.a, 10);
    EXPECT_EQ(read.ipaddrDns.d, 1);
    EXPECT_STREQ(read.szDeviceName, MODEM_NAME);
    EXPECT_STREQ(read.szLocalPhoneNumber, "*99#");

    RASDIALPARAMSA params = DialParams(ENTRY_NAME);
    EXPECT_EQ(Ras().SetEntryDialParams(m_phonebook.c_str(), &params, FALSE), 0u);
    EXPECT_EQ(key("UserName"), "user");
    EXPECT_EQ(key("Password"), "secret");
    EXPECT_EQ(Ras().SetEntryDialParams(m_phonebook.c_str(), &params, TRUE), 0u);
    EXPECT_EQ(key("Password"), "");
}

TEST_F(SimulatedRas, EntryPropertiesAnswerSizeQueriesAndMissingEntries)
{
    DWORD size = 0;
    EXPECT_EQ(Ras().GetEntryProperties(nullptr, "", nullptr, &size, nullptr, nullptr),
              ERROR_BUFFER_TOO_SMALL);
    EXPECT_EQ(size, sizeof(RASENTRYA));

    RASENTRYA entry = {};
    entry.dwSize = sizeof entry;
    EXPECT_EQ(Ras().GetEntryProperties(m_phonebook.c_str(), "Dial-missing", &entry, &size, nullptr,
                                       nullptr),
              ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
    EXPECT_EQ(Ras().GetEntryProperties(nullptr, nullptr, &entry, &size, nullptr, nullptr), 0u)
        << "default properties";
    EXPECT_EQ(entry.dwFramingProtocol, RASFP_Ppp);
    entry.dwSize = 1796;
    EXPECT_EQ(Ras().GetEntryProperties(nullptr, nullptr, &entry, &size, nullptr, nullptr),
              ERROR_INVALID_SIZE);
}

TEST_F(SimulatedRas, EntryNamesAreValidatedAndEntriesDeleted)
{
    WriteEntry(ENTRY_NAME, MODEM_NAME);
    const struct
    {
        const char* name;
        DWORD result;
    } cases[] = {
        {"Dial-new", 0},
        {ENTRY_NAME, ERROR_ALREADY_EXISTS},
        {"", ERROR_INVALID_NAME},
        {".dot", ERROR_INVALID_NAME},
        {"a/b", ERROR_INVALID_NAME},
        {"a:b", ERROR_INVALID_NAME},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Ras().ValidateEntryName(m_phonebook.c_str(), c.name), c.result) << c.name;

    RASENTRYA entry = ModemEntry(MODEM_NAME);
    EXPECT_EQ(
        Ras().SetEntryProperties(m_phonebook.c_str(), "a/b", &entry, sizeof entry, nullptr, 0),
        static_cast<DWORD>(ERROR_INVALID_NAME));

    EXPECT_EQ(Ras().DeleteEntry(m_phonebook.c_str(), ENTRY_NAME), 0u);
    EXPECT_EQ(ReadFileBytes(m_phonebook).find(ENTRY_NAME), std::string::npos);
    EXPECT_EQ(Ras().DeleteEntry(m_phonebook.c_str(), ENTRY_NAME),
              ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
    EXPECT_EQ(Ras().ValidateEntryName(m_phonebook.c_str(), ENTRY_NAME), 0u);
}

TEST_F(SimulatedRas, TheDefaultPhonebookIsTheSystemsFileAndPrivateFoldersAreMade)
{
    char folder[MAX_PATH] = {};
    ASSERT_NE(GetEnvironmentVariableA("ProgramData", folder, MAX_PATH), 0u);
    const std::string defaultBook =
        std::string(folder) + "\\Microsoft\\Network\\Connections\\Pbk\\rasphone.pbk";
    RASENTRYA entry = ModemEntry(MODEM_NAME);
    ASSERT_EQ(Ras().SetEntryProperties(nullptr, "Dial-default", &entry, sizeof entry, nullptr, 0),
              0u);
    EXPECT_NE(ReadFileBytes(defaultBook).find("[Dial-default]"), std::string::npos);
    EXPECT_EQ(Ras().ValidateEntryName(nullptr, "Dial-default"), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(Ras().DeleteEntry(nullptr, "Dial-default"), 0u);

    const std::string nested = m_folder.File("Pbk");
    const std::string privateBook = nested + "\\KORVAN.pbk";
    ASSERT_EQ(
        Ras().SetEntryProperties(privateBook.c_str(), "Dial-x", &entry, sizeof entry, nullptr, 0),
        0u);
    EXPECT_TRUE(FileExists(privateBook));
    RemoveFile(privateBook);
    RemoveDirectoryA(nested.c_str());
}

TEST_F(SimulatedRas, ErrorStringsExistForCommonDialErrorsOnly)
{
    char text[512] = {};
    ASSERT_EQ(Ras().GetErrorString(633, text, sizeof text), 0u);
    EXPECT_NE(std::string(text).find("modem"), std::string::npos) << text;
    ASSERT_EQ(Ras().GetErrorString(678, text, sizeof text), 0u);
    EXPECT_STREQ(text, "There was no answer.");
    EXPECT_NE(Ras().GetErrorString(12345, text, sizeof text), 0u);
    EXPECT_EQ(Ras().GetErrorString(678, text, 5), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

} // namespace
