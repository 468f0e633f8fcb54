// Generation records: compounds and the delay table.
#include <string>
#include <tuple>

#include "report_fixture.hpp"

namespace {

using DataModelTest = ReportTest;

TEST_F(DataModelTest, ALongCompoundIsReleasedWithoutRecursion) {
    comp_attr longc;
    for (int i = 0; i < 200000; ++i) {
        auto s = std::make_unique<s_comp_attr>();
        s->another = std::move(longc);
        longc = std::move(s);
    }
    purge_comp_attr(longc);
    EXPECT_EQ(longc, nullptr);
}

TEST_F(DataModelTest, DelayTableStopsAt4999AndReusesTheLastEntry) {
    for (int i = 0; i < 4999; ++i)
        new_delay(1, i, 1);
    EXPECT_EQ(count("Delay table exceeded"), 0);
    EXPECT_EQ(new_delay(2, 7, 0), 4998);
    EXPECT_EQ(std::tuple(delayptr, delay_at(4998).choice, count("Delay table exceeded")),
              std::tuple(4999, 7, 1));
    EXPECT_EQ(lt_new_delay(3, 1, 1), 0);  // the lexical transformations' table is separate
    delay_at(kDelaySize).choice = 5;      // stray indexes land in a scratch entry
    EXPECT_EQ(delay_at(-1).choice, -1);
}

}  // namespace
