#include "NetworkModel.h"
#include "RasRules.h"

#include <gtest/gtest.h>

#include <vector>

using namespace simnet;

TEST(DialCourse, DelayListsGiveOneDelayPerStateAndRepeatTheirLastValue)
{
    std::uint32_t delays[DIAL_STATE_COUNT] = {};
    ASSERT_TRUE(ParseDelays("0,20,0x10", delays));
    EXPECT_EQ(delays[0], 0u);
    EXPECT_EQ(delays[1], 20u);
    EXPECT_EQ(delays[2], 16u);
    EXPECT_EQ(delays[DIAL_STATE_COUNT - 1], 16u);

    for (const char* wrong : {"", ",", "5,", "a", "-1", "4294967296", "1,2,3,4,5,6,7,8,9,10,11"})
        EXPECT_FALSE(ParseDelays(wrong, delays)) << wrong;
}

TEST(DialCourse, StatesAreNamedOrNumbered)
{
    std::uint32_t state = 99;
    EXPECT_TRUE(ParseState("Authenticate", state));
    EXPECT_EQ(state, 5u);
    EXPECT_TRUE(ParseState("RASCS_Connected", state));
    EXPECT_EQ(state, STATE_CONNECTED);
    EXPECT_TRUE(ParseState("0x2001", state));
    EXPECT_EQ(StateName(state), "Disconnected");
    EXPECT_FALSE(ParseState("Dialling", state));
    EXPECT_EQ(StateName(4711), "state 4711");
}

TEST(DialCourse, AFailingDialStopsWithTheErrorAtItsStateAndTheNextDialIsDefault)
{
    DialOutcome outcome{};
    outcome.isSet = 1;
    outcome.failError = 678;
    outcome.failState = 2;
    ParseDelays("7", outcome.delayMs);
    const std::vector<DialStep> failing = PlanDial(outcome);
    ASSERT_EQ(failing.size(), 3u);
    EXPECT_EQ(failing[0].error, 0u);
    EXPECT_EQ(failing[2].state, 2u);
    EXPECT_EQ(failing[2].error, 678u);
    EXPECT_EQ(failing[2].delayMs, 7u);

    const std::vector<DialStep> normal = PlanDial(DialOutcome{});
    ASSERT_EQ(normal.size(), static_cast<std::size_t>(DIAL_STATE_COUNT));
    EXPECT_EQ(normal.back().state, STATE_CONNECTED);
    EXPECT_EQ(normal.back().error, 0u);
}

TEST(SharedState, HandlesStayUniqueAcrossResetAndHungUpConnectionsLeaveAfterTheirLinger)
{
    static SharedNetworkState network; // large: keep it off the stack
    network = SharedNetworkState{};
    ASSERT_TRUE(EnsureInitialised(network));
    EXPECT_FALSE(EnsureInitialised(network));

    SharedConnection* first = NewConnection(network, "a", "modem", "M", 1);
    ASSERT_NE(first, nullptr);
    const std::uint32_t firstHandle = first->handle;
    EXPECT_EQ(Reset(network), 1);
    EXPECT_EQ(FindConnection(network, firstHandle), nullptr);

    SharedConnection* second = NewConnection(network, "b", "modem", "M", 1);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second->handle, firstHandle);
    second->phase = Phase::HangingUp;
    second->hangUpTick = 1000;
    EXPECT_TRUE(ListedConnections(network).empty());
    EXPECT_EQ(SweepHungUp(network, 1000 + HANG_UP_LINGER_MS - 1), 0);
    EXPECT_EQ(SweepHungUp(network, 1000 + HANG_UP_LINGER_MS), 1);
    EXPECT_EQ(network.disconnectSerial, 2u);
}

TEST(SharedState, ALostDialFailsAtItsStateWhileALostConnectionIsGoneAtOnce)
{
    static SharedNetworkState network; // large: keep it off the stack
    network = SharedNetworkState{};
    EnsureInitialised(network);
    SharedConnection* dialling = NewConnection(network, "a", "modem", "M", 1);
    SharedConnection* connected = NewConnection(network, "b", "modem", "M", 1);
    ASSERT_NE(dialling, nullptr);
    ASSERT_NE(connected, nullptr);
    dialling->state = 5;
    MarkConnected(network, *connected, 0);
    const std::uint32_t dialHandle = dialling->handle;
    const std::uint32_t connectedHandle = connected->handle;

    LoseConnection(network, *dialling);
    LoseConnection(network, *connected);
    const SharedConnection* failed = FindConnection(network, dialHandle);
    ASSERT_NE(failed, nullptr) << "a failed dial keeps its handle until hung up";
    EXPECT_EQ(failed->phase, Phase::Failed);
    EXPECT_EQ(failed->state, 5u);
    EXPECT_EQ(failed->error, ERROR_LINE_LOST);
    EXPECT_EQ(FindConnection(network, connectedHandle), nullptr);
    EXPECT_EQ(network.disconnectSerial, 1u);

    SharedConnection& hungUp = *FindConnection(network, dialHandle);
    EXPECT_TRUE(MarkHungUp(hungUp, 500));
    EXPECT_EQ(hungUp.state, STATE_DISCONNECTED);
    EXPECT_EQ(hungUp.error, 0u);
    EXPECT_FALSE(MarkHungUp(hungUp, 900)) << "a second hang-up doesn't extend the linger";
    EXPECT_EQ(SweepHungUp(network, 500 + HANG_UP_LINGER_MS), 1);
}

TEST(SharedState, ALongTextIsCutToItsFieldAndTerminated)
{
    char field[5];
    CopyText(field, "abcdefgh");
    EXPECT_STREQ(field, "abcd");
}

TEST(SharedState, AFieldIsReadWithinItsSizeEvenWhenUnterminated)
{
    struct
    {
        char field[4];
        char after[4];
    } record = {{'a', 'b', 'c', 'd'}, {'e', 'f', 'g', '\0'}};
    EXPECT_EQ(FieldText(record.field), "abcd");
    const char shorter[8] = "ab";
    EXPECT_EQ(FieldText(shorter), "ab");
}

TEST(Statistics, TrafficAndDurationGrowWithTheTimeConnected)
{
    const Statistics early = StatisticsAfter(1000);
    const Statistics late = StatisticsAfter(1001);
    EXPECT_GT(late.bytesSent, early.bytesSent);
    EXPECT_GT(late.bytesReceived, early.bytesReceived);
    EXPECT_EQ(late.durationMs, 1001u);
}

TEST(EntryNames, TheSystemRefusesSomeNames)
{
    struct Case
    {
        std::string name;
        bool valid;
    };
    const Case cases[] = {
        {"home", true},
        {"Dial-home 2", true},
        {std::string(256, 'n'), true},
        {std::string(257, 'n'), false},
        {"", false},
        {"   ", false},
        {".hidden", false},
        {"a/b", false},
        {"a\\b", false},
        {"a:b", false},
        {"a*b", false},
        {"a?b", false},
        {"a\"b", false},
        {"a<b", false},
        {"a|b", false},
        {"a]b", false},
        {"tab\there", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidEntryName(c.name), c.valid) << '"' << c.name << '"';
}

TEST(Addresses, DottedTextRoundTripsAndBadTextIsRefused)
{
    std::uint8_t bytes[4] = {9, 9, 9, 9};
    ASSERT_TRUE(ParseAddress("10.0.255.1", bytes));
    EXPECT_EQ(AddressText(bytes), "10.0.255.1");
    for (const char* wrong :
         {"", "1.2.3", "1.2.3.4.5", "256.0.0.1", "1..2.3", "1.2.3.4 ", "a.b.c.d"})
    {
        std::uint8_t untouched[4] = {7, 7, 7, 7};
        EXPECT_FALSE(ParseAddress(wrong, untouched)) << wrong;
        EXPECT_EQ(untouched[0], 7);
    }
}

TEST(ErrorTexts, CommonDialErrorsHaveTextsOthersNone)
{
    ASSERT_NE(ErrorText(678), nullptr);
    EXPECT_STREQ(ErrorText(678), "There was no answer.");
    EXPECT_NE(ErrorText(633), nullptr);
    EXPECT_EQ(ErrorText(0), nullptr);
    EXPECT_EQ(ErrorText(12345), nullptr);
}
