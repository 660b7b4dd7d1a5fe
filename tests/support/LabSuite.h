#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/Lab.h"

namespace izuzez::test
{

// One lab and one simulator with this device configuration, shared by all cases of a suite.
// Without root the cases skip; a simulator that does not come up fails each of them.
template <const char *const &Devices> class LabSuite : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_lab = Lab::Create(s_skipReason).release();
        if (s_lab && !s_lab->StartSimulator(Devices, s_failure))
        {
            delete s_lab;
            s_lab = nullptr;
        }
    }
    static void TearDownTestSuite()
    {
        delete s_lab;
        s_lab = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_failure.empty()) << s_failure;
        if (!s_lab)
            GTEST_SKIP() << s_skipReason;
    }

    static inline Lab *s_lab = nullptr;
    static inline std::string s_skipReason;
    static inline std::string s_failure;
};

} // namespace izuzez::test
