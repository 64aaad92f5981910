// netctl: drives the simulated network of the prefix by hand or from tests.
//
//   netctl next-dial connect [DELAYS]              the next dial connects
//   netctl next-dial fail ERROR STATE [DELAYS]     the next dial fails with ERROR at STATE
//   netctl connect [--device NAME] [--entry NAME]  a connection made by another program
//   netctl drop [HANDLE]                           the network loses one or every connection
//   netctl list                                    connections with their statistics
//   netctl reset                                   no connections, default dial course
//
// DELAYS is one delay in milliseconds per dial state ("50" or "0,20,100"; a shorter
// list repeats its last value). STATE is a number or a name such as Authenticate.
// A dropped dial fails with 619 at the state it had reached; a dropped connection is
// gone at once.
// Exit codes: 0 done, 1 the network refused, 2 wrong usage.

#include "NetworkModel.h"
#include "SharedNetwork.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

constexpr int EXIT_DONE = 0;
constexpr int EXIT_REFUSED = 1;
constexpr int EXIT_USAGE = 2;

const char DEFAULT_OTHER_ENTRY[] = "Other program's connection";

int Usage()
{
    std::fprintf(stderr, "usage: netctl next-dial connect [DELAYS]\n"
                         "       netctl next-dial fail ERROR STATE [DELAYS]\n"
                         "       netctl connect [--device NAME] [--entry NAME]\n"
                         "       netctl drop [HANDLE]\n"
                         "       netctl list\n"
                         "       netctl reset\n");
    return EXIT_USAGE;
}

bool ParseHandle(const std::string& text, std::uint32_t& handle)
{
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || value == 0)
        return false;
    handle = static_cast<std::uint32_t>(value);
    return true;
}

int SetNextDial(SharedNetwork& network, const std::vector<std::string>& args)
{
    simnet::DialOutcome outcome{};
    outcome.isSet = 1;
    std::size_t next = 1;
    if (args.size() >= 1 && args[0] == "fail")
    {
        if (args.size() < 3 || !ParseHandle(args[1], outcome.failError) ||
            !simnet::ParseState(args[2], outcome.failState) ||
            !simnet::IsDialState(outcome.failState) || outcome.failState == simnet::STATE_CONNECTED)
            return Usage();
        next = 3;
    }
    else if (args.empty() || args[0] != "connect")
        return Usage();
    const std::string delays = next < args.size() ? args[next] : "0";
    if (next + 1 < args.size() || !simnet::ParseDelays(delays, outcome.delayMs))
        return Usage();
    NetworkLock lock(network);
    lock.State().nextDial = outcome;
    if (outcome.failError != 0)
        std::printf("next dial fails with %u at %s\n", outcome.failError,
                    simnet::StateName(outcome.failState).c_str());
    else
        std::printf("next dial connects\n");
    return EXIT_DONE;
}

int Connect(SharedNetwork& network, const std::vector<std::string>& args)
{
    std::string device;
    std::string entry = DEFAULT_OTHER_ENTRY;
    for (std::size_t i = 0; i < args.size(); i += 2)
    {
        if (i + 1 >= args.size())
            return Usage();
        if (args[i] == "--device")
            device = args[i + 1];
        else if (args[i] == "--entry")
            entry = args[i + 1];
        else
            return Usage();
    }
    if (device.empty())
    {
        const std::vector<std::string> modems = PresentModemNames();
        if (modems.empty())
        {
            std::fprintf(stderr, "netctl: no modem is present; name a device with --device\n");
            return EXIT_REFUSED;
        }
        device = modems.front();
    }
    NetworkLock lock(network);
    simnet::SharedConnection* connection =
        simnet::NewConnection(lock.State(), entry, "modem", device, GetCurrentProcessId());
    if (connection == nullptr)
    {
        std::fprintf(stderr, "netctl: no room for another connection\n");
        return EXIT_REFUSED;
    }
    simnet::MarkConnected(lock.State(), *connection, GetTickCount());
    std::printf("connected 0x%X \"%s\" on \"%s\"\n", connection->handle, connection->entryName,
                connection->deviceName);
    return EXIT_DONE;
}

int Drop(SharedNetwork& network, const std::vector<std::string>& args)
{
    if (args.size() > 1)
        return Usage();
    std::uint32_t handle = 0;
    if (args.size() == 1 && !ParseHandle(args[0], handle))
        return Usage();
    NetworkLock lock(network);
    int dropped = 0;
    for (simnet::SharedConnection& connection : lock.State().connections)
    {
        if (connection.phase == simnet::Phase::Free || (handle != 0 && connection.handle != handle))
            continue;
        std::printf("dropped 0x%X\n", connection.handle);
        simnet::LoseConnection(lock.State(), connection);
        ++dropped;
    }
    if (handle != 0 && dropped == 0)
    {
        std::fprintf(stderr, "netctl: no connection 0x%X\n", handle);
        return EXIT_REFUSED;
    }
    return EXIT_DONE;
}

const char* PhaseName(simnet::Phase phase)
{
    switch (phase)
    {
    case simnet::Phase::Dialling:
        return "dialling";
    case simnet::Phase::Connected:
        return "connected";
    case simnet::Phase::Failed:
        return "failed";
    case simnet::Phase::HangingUp:
        return "hanging up";
    case simnet::Phase::Free:
        break;
    }
    return "free";
}

int List(SharedNetwork& network)
{
    NetworkLock lock(network);
    const DWORD now = GetTickCount();
    int count = 0;
    for (const simnet::SharedConnection& connection : lock.State().connections)
    {
        if (connection.phase == simnet::Phase::Free)
            continue;
        ++count;
        const simnet::Statistics figures =
            connection.phase == simnet::Phase::Connected
                ? simnet::StatisticsAfter(now - connection.connectedTick)
                : simnet::Statistics{};
        std::printf("0x%X %s state=%s error=%u entry=\"%s\" device=\"%s\" duration_ms=%u "
                    "sent=%u received=%u\n",
                    connection.handle, PhaseName(connection.phase),
                    simnet::StateName(connection.state).c_str(), connection.error,
                    connection.entryName, connection.deviceName, figures.durationMs,
                    figures.bytesSent, figures.bytesReceived);
    }
    std::printf("%d connection(s)\n", count);
    return EXIT_DONE;
}

int Reset(SharedNetwork& network)
{
    NetworkLock lock(network);
    const int removed = simnet::Reset(lock.State());
    std::printf("reset: %d connection(s) ended\n", removed);
    return EXIT_DONE;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    SharedNetwork* network = SharedNetwork::Instance();
    if (network == nullptr)
    {
        std::fprintf(stderr, "netctl: the shared network can't be opened (%lu)\n", GetLastError());
        return EXIT_REFUSED;
    }
    if (command == "next-dial")
        return SetNextDial(*network, args);
    if (command == "connect")
        return Connect(*network, args);
    if (command == "drop")
        return Drop(*network, args);
    if (command == "list" && args.empty())
        return List(*network);
    if (command == "reset" && args.empty())
        return Reset(*network);
    return Usage();
}
