// How NetworkManager's device states and failure reasons read as RAS states and errors
// (the table the README gives).
#include "platform/ras/networkmanager/nm_state_map.h"

#include <gtest/gtest.h>

using namespace platform::ras;
using namespace platform::ras::nm;

namespace {

TEST(NmStateMap, FailureReasons)
{
    const struct
    {
        unsigned reason;
        Dword error;
    } rows[] = {
        {23, ErrorLineBusy},         {24, ErrorNoDialtone},        {25, ErrorNoCarrier},
        {26, ErrorNoAnswer},         {7, ErrorAuthenticationFailure}, {34, ErrorAuthenticationFailure},
        {59, ErrorAuthenticationFailure}, {27, ErrorPortOrDevice}, {43, ErrorPortOrDevice},
        {57, ErrorPortOrDevice},     {31, ErrorNoDialtone},        {14, ErrorPppLcpTerminated},
        {13, ErrorRemoteDisconnection}, {17, ErrorPppNoAddressAssigned}, {36, ErrorHardwareFailure},
        {38, ErrorCannotFindPhonebookEntry}, {39, ErrorUserDisconnection}, {0, ErrorUnknown},
        {1, ErrorUnknown},           {9999, ErrorUnknown},
    };
    for (const auto &row : rows)
        EXPECT_EQ(errorForDeviceReason(row.reason), row.error) << row.reason;
}

TEST(NmStateMap, DeviceStatesPassTheDialSequence)
{
    const struct
    {
        unsigned deviceState;
        qsizetype passed;
    } rows[] = {
        {0, 0}, {30, 0}, {40, 2}, {50, 5}, {60, 6}, {70, 7}, {80, 8}, {90, 8}, {100, 9}, {110, 0}, {120, 0},
    };
    for (const auto &row : rows)
        EXPECT_EQ(statesPassedByDevice(row.deviceState), row.passed) << row.deviceState;
    EXPECT_EQ(dialSequence().last(), Dword(Connected));
    EXPECT_EQ(dialSequence().size(), 9);
}

} // namespace
