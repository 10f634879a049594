#include "platform/FaultInjection.h"

#include <gtest/gtest.h>

namespace {

using namespace WindowsPlatform;

TEST(FaultInjectionTest, SkipsThenFailsALimitedNumberOfTimes) {
    ScopedFault fault("RegDeleteKeyW", ERROR_ACCESS_DENIED, 1, 2);
    EXPECT_EQ(InjectedFault("RegDeleteKeyW"), 0u);
    EXPECT_EQ(InjectedFault("RegDeleteKeyW"), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(InjectedFault("OtherCall"), 0u);
    EXPECT_EQ(InjectedFault("RegDeleteKeyW"), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(InjectedFault("RegDeleteKeyW"), 0u);
}

TEST(FaultInjectionTest, EndsWithItsScope) {
    {
        ScopedFault fault("DeleteService", ERROR_ACCESS_DENIED);
        EXPECT_EQ(InjectedFault("DeleteService"), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_EQ(InjectedFault("DeleteService"), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    EXPECT_EQ(InjectedFault("DeleteService"), 0u);
}

}  // namespace
