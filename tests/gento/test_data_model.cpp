// Generation records: attribute lists and the delay table.
#include <string>
#include <tuple>

#include "report_fixture.hpp"

namespace {

using DataModelTest = ReportTest;

comp_attr compound(std::initializer_list<int> indexes) {
    comp_attr c = create_comp_attr();
    for (int i : indexes)
        add_comp_attr(c, i);
    return c;
}

TEST_F(DataModelTest, ListsHoldEqualCompoundsOnceRemoveByIdentityAndReleaseLongChains) {
    attr_list list;
    comp_attr items[] = {compound({1, 2}), compound({1, 2}), compound({2, 1}), compound({5})};
    for (comp_attr& c : items)
        append_attr(list, std::move(c));
    EXPECT_EQ(attr_list_count(list.get()), 3);  // the equal one was released; order counts
    const comp_attr stranger = compound({5});   // equal to the third, but not in the list
    new_attr_remove(list, stranger.get());
    new_attr_remove(list, attr_list_element(list.get(), 2));
    const attr_list deep = duplicate_attr_list(list.get());
    purge_attr_list(list);
    ASSERT_EQ(std::tuple(attr_list_count(list.get()), attr_list_count(deep.get())),
              std::tuple(0, 2));
    EXPECT_EQ(std::tuple(comp_attr_element(attr_list_element(deep.get(), 1), 2),
                         comp_attr_element(attr_list_element(deep.get(), 2), 1)),
              std::tuple(2, 5));
    comp_attr longc;  // released without recursion
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
