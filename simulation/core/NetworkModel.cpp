#include "NetworkModel.h"

#include <algorithm>
#include <cstring>
#include <cstdlib>

namespace simnet
{

namespace
{

struct NamedState
{
    std::uint32_t state;
    const char* name;
};

const NamedState STATE_NAMES[] = {
    {0, "OpenPort"},
    {1, "PortOpened"},
    {2, "ConnectDevice"},
    {3, "DeviceConnected"},
    {4, "AllDevicesConnected"},
    {5, "Authenticate"},
    {6, "AuthNotify"},
    {7, "AuthRetry"},
    {8, "AuthCallback"},
    {9, "AuthChangePassword"},
    {10, "AuthProject"},
    {11, "AuthLinkSpeed"},
    {12, "AuthAck"},
    {13, "ReAuthenticate"},
    {14, "Authenticated"},
    {STATE_CONNECTED, "Connected"},
    {STATE_DISCONNECTED, "Disconnected"},
};

// Simulated line: 2000 bytes per second out, 8000 in, frames of 1500 bytes.
constexpr std::uint32_t SEND_BYTES_PER_SECOND = 2000;
constexpr std::uint32_t RECEIVE_BYTES_PER_SECOND = 8000;
constexpr std::uint32_t FRAME_BYTES = 1500;
constexpr std::uint32_t LINE_BITS_PER_SECOND = 115200;

bool ParseNumber(const std::string& text, std::uint32_t& value)
{
    if (text.empty() || text.size() > 10)
        return false;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos)
        return false;
    const unsigned long long parsed = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    if (parsed > 0xFFFFFFFFull)
        return false;
    value = static_cast<std::uint32_t>(parsed);
    return true;
}

} // namespace

bool EnsureInitialised(SharedNetworkState& network)
{
    if (network.magic == STATE_MAGIC && network.version == STATE_VERSION)
        return false;
    std::memset(&network, 0, sizeof network);
    network.magic = STATE_MAGIC;
    network.version = STATE_VERSION;
    network.nextHandle = 0x1001;
    return true;
}

int Reset(SharedNetworkState& network)
{
    int removed = 0;
    for (SharedConnection& connection : network.connections)
    {
        if (connection.phase == Phase::Free)
            continue;
        RemoveConnection(network, connection);
        ++removed;
    }
    network.nextDial = DialOutcome{};
    return removed;
}

SharedConnection* FindConnection(SharedNetworkState& network, std::uint32_t handle)
{
    if (handle == 0)
        return nullptr;
    for (SharedConnection& connection : network.connections)
    {
        if (connection.phase != Phase::Free && connection.handle == handle)
            return &connection;
    }
    return nullptr;
}

SharedConnection* NewConnection(SharedNetworkState& network, const std::string& entryName,
                                const std::string& deviceType, const std::string& deviceName,
                                std::uint32_t ownerProcess)
{
    for (SharedConnection& connection : network.connections)
    {
        if (connection.phase != Phase::Free)
            continue;
        connection = SharedConnection{};
        // Skip 0 and the all-ones value, which callers use as "every connection".
        if (network.nextHandle == 0 || network.nextHandle == 0xFFFFFFFF)
            network.nextHandle = 0x1001;
        connection.handle = network.nextHandle++;
        connection.phase = Phase::Dialling;
        connection.state = DIAL_STATES[0];
        connection.ownerProcess = ownerProcess;
        CopyText(connection.entryName, entryName);
        CopyText(connection.deviceType, deviceType);
        CopyText(connection.deviceName, deviceName);
        return &connection;
    }
    return nullptr;
}

void RemoveConnection(SharedNetworkState& network, SharedConnection& connection)
{
    connection = SharedConnection{};
    ++network.disconnectSerial;
}

void MarkConnected(SharedNetworkState& network, SharedConnection& connection, std::uint32_t now)
{
    connection.phase = Phase::Connected;
    connection.state = STATE_CONNECTED;
    connection.error = 0;
    connection.connectedTick = now;
    ++network.connectSerial;
}

bool MarkHungUp(SharedConnection& connection, std::uint32_t now)
{
    if (connection.phase == Phase::HangingUp)
        return false;
    connection.phase = Phase::HangingUp;
    connection.state = STATE_DISCONNECTED;
    connection.error = 0;
    connection.hangUpTick = now;
    return true;
}

void LoseConnection(SharedNetworkState& network, SharedConnection& connection)
{
    if (connection.phase != Phase::Dialling)
    {
        RemoveConnection(network, connection);
        return;
    }
    connection.phase = Phase::Failed;
    connection.error = ERROR_LINE_LOST;
}

int SweepHungUp(SharedNetworkState& network, std::uint32_t now)
{
    int removed = 0;
    for (SharedConnection& connection : network.connections)
    {
        if (connection.phase == Phase::HangingUp &&
            now - connection.hangUpTick >= HANG_UP_LINGER_MS)
        {
            RemoveConnection(network, connection);
            ++removed;
        }
    }
    return removed;
}

std::vector<const SharedConnection*> ListedConnections(const SharedNetworkState& network)
{
    std::vector<const SharedConnection*> listed;
    for (const SharedConnection& connection : network.connections)
    {
        if (connection.phase != Phase::Free && connection.phase != Phase::HangingUp)
            listed.push_back(&connection);
    }
    std::sort(listed.begin(), listed.end(),
              [](const SharedConnection* a, const SharedConnection* b)
              { return a->handle < b->handle; });
    return listed;
}

std::vector<DialStep> PlanDial(const DialOutcome& outcome)
{
    std::vector<DialStep> steps;
    for (int i = 0; i < DIAL_STATE_COUNT; ++i)
    {
        const std::uint32_t delay = outcome.isSet ? outcome.delayMs[i] : DEFAULT_STATE_DELAY_MS;
        const bool fails =
            outcome.isSet && outcome.failError != 0 && outcome.failState == DIAL_STATES[i];
        steps.push_back({DIAL_STATES[i], delay, fails ? outcome.failError : 0});
        if (fails)
            break;
    }
    return steps;
}

bool ParseDelays(const std::string& text, std::uint32_t (&delays)[DIAL_STATE_COUNT])
{
    std::vector<std::uint32_t> given;
    std::size_t start = 0;
    while (true)
    {
        const std::size_t comma = text.find(',', start);
        std::uint32_t value = 0;
        if (!ParseNumber(text.substr(start, comma - start), value))
            return false;
        given.push_back(value);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (given.size() > static_cast<std::size_t>(DIAL_STATE_COUNT))
        return false;
    for (int i = 0; i < DIAL_STATE_COUNT; ++i)
        delays[i] = i < static_cast<int>(given.size()) ? given[i] : given.back();
    return true;
}

bool ParseState(const std::string& text, std::uint32_t& state)
{
    if (ParseNumber(text, state))
        return true;
    const std::string name = text.rfind("RASCS_", 0) == 0 ? text.substr(6) : text;
    for (const NamedState& named : STATE_NAMES)
    {
        if (name == named.name)
        {
            state = named.state;
            return true;
        }
    }
    return false;
}

bool IsDialState(std::uint32_t state)
{
    return std::find(std::begin(DIAL_STATES), std::end(DIAL_STATES), state) !=
           std::end(DIAL_STATES);
}

std::string StateName(std::uint32_t state)
{
    for (const NamedState& named : STATE_NAMES)
    {
        if (named.state == state)
            return named.name;
    }
    return "state " + std::to_string(state);
}

Statistics StatisticsAfter(std::uint32_t connectedMs)
{
    Statistics figures{};
    // 64-bit products: a connection may stay up for weeks; the counters wrap as the
    // system's 32-bit counters do.
    figures.bytesSent =
        static_cast<std::uint32_t>(std::uint64_t{connectedMs} * SEND_BYTES_PER_SECOND / 1000);
    figures.bytesReceived =
        static_cast<std::uint32_t>(std::uint64_t{connectedMs} * RECEIVE_BYTES_PER_SECOND / 1000);
    figures.framesSent = figures.bytesSent / FRAME_BYTES;
    figures.framesReceived = figures.bytesReceived / FRAME_BYTES;
    figures.bitsPerSecond = LINE_BITS_PER_SECOND;
    figures.durationMs = connectedMs;
    return figures;
}

} // namespace simnet
