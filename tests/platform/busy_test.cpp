#include "platform/Busy.h"

#include <gtest/gtest.h>

TEST(BusyFlag, OnlyTheOutermostScopeHoldsAndReleasesIt) {
    EXPECT_FALSE(VB::IsBusy());
    {
        VB::BusyScope outer;
        EXPECT_TRUE(outer.Acquired());
        EXPECT_TRUE(VB::IsBusy());
        {
            VB::BusyScope nested;
            EXPECT_FALSE(nested.Acquired());
        }
        // The refused scope's end leaves the flag with its holder.
        EXPECT_TRUE(VB::IsBusy());
    }
    EXPECT_FALSE(VB::IsBusy());
}
