#pragma once

#include <gtest/gtest.h>

#include "protocol/ProtocolState.h"

// Every case starts from a clean protocol state with this ClientId and leaves a clean one behind, since the
// state is global.
template <const ClientId &Id> class ProtocolStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetProtocolState();
        g_ProtocolState.clientId = Id;
    }
    void TearDown() override { ResetProtocolState(); }
};
