// Nodes held by rule tables when the program ends: the tables give them back to the node pool
// from their destructors, after or before the pool's own file has ended.
#include <gtest/gtest.h>

#include <cstdlib>

#include "lt_mem.hpp"

TEST(TreesAtExit, RuleTablesReleaseTheirNodesSafelyAtExit) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ltruleheader[1] = std::make_unique<LTRULE>();
            for (int i = 0; i < 3; ++i)
                lt_new_lsp(*ltruleheader[1]);
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}
