#pragma once
// The simulated network as every process of a Wine prefix sees it: the layout of the
// shared state, the course of a dial and the figures of a connection. No system calls
// here; the Windows side maps this state into memory and locks it.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace simnet
{

constexpr std::uint32_t STATE_MAGIC = 0x54534E31; // "1NST"
constexpr std::uint32_t STATE_VERSION = 1;
constexpr int MAX_CONNECTIONS = 16;
constexpr int MAX_WATCHERS = 32;

constexpr std::uint32_t STATE_CONNECTED = 0x2000;
constexpr std::uint32_t STATE_DISCONNECTED = 0x2001;

// The error a dial ends with when the network loses its line (ERROR_PORT_DISCONNECTED).
constexpr std::uint32_t ERROR_LINE_LOST = 619;

// The states a modem dial passes through, in order; the last is the connected state.
constexpr std::uint32_t DIAL_STATES[] = {0, 1, 2, 3, 4, 5, 6, 10, 14, STATE_CONNECTED};
constexpr int DIAL_STATE_COUNT = sizeof(DIAL_STATES) / sizeof(DIAL_STATES[0]);

// A dial's delay before each state when no outcome was set: long enough for the dial
// call to have returned before the first notification in the ordinary case.
constexpr std::uint32_t DEFAULT_STATE_DELAY_MS = 10;

// How long a hung-up connection still answers status queries (as disconnected)
// before its handle becomes invalid.
constexpr std::uint32_t HANG_UP_LINGER_MS = 30;

enum class Phase : std::uint32_t
{
    Free = 0,
    Dialling,
    Connected,
    Failed,    // the dial ended with an error; the handle stays until hung up
    HangingUp, // hung up; gone after the linger time
};

struct SharedConnection
{
    std::uint32_t handle; // never 0 for a used slot, never reused
    Phase phase;
    std::uint32_t state;
    std::uint32_t error;
    std::uint32_t ownerProcess;
    std::uint32_t connectedTick; // tick count when the connected state was reached
    std::uint32_t hangUpTick;
    char entryName[257];
    char deviceType[17];
    char deviceName[129];
};

struct DialOutcome
{
    std::uint32_t isSet;     // 0: the default course
    std::uint32_t failError; // 0: the dial connects
    std::uint32_t failState; // the state that carries the error
    std::uint32_t delayMs[DIAL_STATE_COUNT];
};

struct SharedNetworkState
{
    std::uint32_t magic;
    std::uint32_t version;
    std::uint32_t nextHandle;
    std::uint32_t connectSerial;    // counts connections that reached the connected state
    std::uint32_t disconnectSerial; // counts connections that went away
    DialOutcome nextDial;           // taken by the next dial of any process
    SharedConnection connections[MAX_CONNECTIONS];
    std::uint32_t watcherProcesses[MAX_WATCHERS]; // processes to wake on every change
};

// Brings a state of another layout or a zeroed file into a fresh network; keeps a valid
// one. Returns true when it had to start afresh.
bool EnsureInitialised(SharedNetworkState& network);
// Ends every connection at once and forgets the next dial's outcome. Handles stay
// unique across the reset. Returns the number of connections that went away.
int Reset(SharedNetworkState& network);

SharedConnection* FindConnection(SharedNetworkState& network, std::uint32_t handle);
// A free slot with a fresh handle, or null when all slots are used.
SharedConnection* NewConnection(SharedNetworkState& network, const std::string& entryName,
                                const std::string& deviceType, const std::string& deviceName,
                                std::uint32_t ownerProcess);
// Removes the connection and counts the disconnection.
void RemoveConnection(SharedNetworkState& network, SharedConnection& connection);
void MarkConnected(SharedNetworkState& network, SharedConnection& connection, std::uint32_t now);
// The caller hung up: the connection reads as disconnected until its linger time is
// over. False when it had been hung up already.
bool MarkHungUp(SharedConnection& connection, std::uint32_t now);
// The network loses the connection: a dial in progress fails with ERROR_LINE_LOST at
// the state it had reached and keeps its handle until hung up, as any failed dial;
// any other connection is gone at once.
void LoseConnection(SharedNetworkState& network, SharedConnection& connection);
// Removes hung-up connections whose linger time is over (their process may have ended
// before it could). Returns the number removed.
int SweepHungUp(SharedNetworkState& network, std::uint32_t now);
// The connections a caller may list: dialling, connected or failed, in handle order.
std::vector<const SharedConnection*> ListedConnections(const SharedNetworkState& network);

// Copies a text into a fixed field, cut to fit, always terminated.
template <std::size_t N> void CopyText(char (&field)[N], const std::string& text)
{
    const std::size_t length = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(field, length);
    field[length] = '\0';
}

// A fixed field's text, read within the field even when the caller left it unterminated.
template <std::size_t N> std::string FieldText(const char (&field)[N])
{
    return std::string(field, std::find(field, field + N, '\0'));
}

// The course of one dial: the delay before each state and the state it stops at.
struct DialStep
{
    std::uint32_t state;
    std::uint32_t delayMs;
    std::uint32_t error; // non-zero only on the last step of a failing dial
};
std::vector<DialStep> PlanDial(const DialOutcome& outcome);

// "50" or "0,20,100": one delay per dial state in order; a shorter list repeats its
// last value. False for anything else.
bool ParseDelays(const std::string& text, std::uint32_t (&delays)[DIAL_STATE_COUNT]);
// A state by number (decimal or 0x-hex) or by name without the "RASCS_" prefix.
bool ParseState(const std::string& text, std::uint32_t& state);
bool IsDialState(std::uint32_t state);
// "Connected", "OpenPort", ... or "state <n>" for a state without a name.
std::string StateName(std::uint32_t state);

struct Statistics
{
    std::uint32_t bytesSent;
    std::uint32_t bytesReceived;
    std::uint32_t framesSent;
    std::uint32_t framesReceived;
    std::uint32_t bitsPerSecond;
    std::uint32_t durationMs;
};
// The figures of a connection that has been up for the given time: traffic grows
// steadily with the time, so a later query always shows more.
Statistics StatisticsAfter(std::uint32_t connectedMs);

} // namespace simnet
