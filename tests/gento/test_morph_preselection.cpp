// Guard terms that ask about the preselection: whether a clause with a tag exists, and whether
// the word preselected for it carries an attribute.
#include <memory>
#include <string>

#include "morph_fixture.hpp"

class MorphPreTest : public MorphTest {
  protected:
    void SetUp() override {
        MorphTest::SetUp();
        clearattributes();
        // NUMBER 1 (sg, pl), PERSON 2 (first, second), TAG 3 (subj, obj, other).
        readattr(file("attrs3",
                      "NUMBER ( sg , pl ) PERSON ( first , second ) "
                      "TAG ( subj , obj , other ) %")
                     .c_str());
    }
    // A clause for `tag` (a value of TAG); with a word unless `node` is 0; the word's lookup
    // failed when `error` is set.
    void clause(int tag, int node, const std::string* entry, int error = 0) {
        auto r = std::make_unique<pre_rule>();
        r->PST = compound({{3, tag}});
        r->node = node;
        if (node != 0) {
            r->RHS = makenode("N");
            t_dict_lookup& d = dict_table[static_cast<std::size_t>(d_table_count++)];
            d.dictionary = entry != nullptr ? entry->c_str() : nullptr;
            d.error = error;
            r->RHS->dictionary = &d;
        }
        r->next = std::move(preselect_list);
        preselect_list = std::move(r);
    }
};

TEST_F(MorphPreTest, PreselectionTagTerms) {
    Leaves s = leaves({});
    current_node = s.root;
    EXPECT_EQ(m_guard("\x0esubj:"), 0);
    EXPECT_EQ(messages("Preselection:  No preselection rule subj").size(), 1U);

    const std::string he = entry("\"he\"", "PRON", {{1, 1}, {2, 2}}, "0001", {});
    clause(1, 1, &he);
    clause(2, 0, nullptr);
    clause(3, 1, &he, 3);
    EXPECT_EQ(m_guard("\x0esubj:"), 1) << "a clause with its word";
    EXPECT_EQ(m_guard("\x0eobj:"), 1) << "a clause without a terminal still exists";
    EXPECT_EQ(m_guard("\x0eother:"), 1) << "a clause whose word was not found";
    EXPECT_EQ(m_guard("\x0esg:"), 0) << "no clause has that tag: no report";
    EXPECT_EQ(messages("Preselection: ").size(), 1U);
    EXPECT_EQ(m_guard("\x0e" "bogus|*:"), 1) << "the term fails, the alternative holds";
    EXPECT_EQ(messages("Attribute error in PST").size(), 1U);
    // The term ends after its tag, so terms after it are still read.
    EXPECT_EQ(m_guard("\x0esubj,pl:"), 0);
    EXPECT_EQ(m_guard("*|\x0e" "bogus:"), 1);
    EXPECT_EQ(messages("Attribute error in PST").size(), 1U) << "a term passed over is not run";
}

TEST_F(MorphPreTest, PreselectedWordAttributeTerms) {
    const std::string he = entry("\"he\"", "PRON", {{1, 1}, {2, 2}}, "0001", {});
    clause(1, 1, &he);
    clause(2, 0, nullptr);
    Leaves s = leaves({});
    current_node = s.root;
    EXPECT_EQ(m_guard("\x11sg\x0esubj:"), 1) << "he is singular";
    EXPECT_EQ(m_guard("\x11second\x0esubj:"), 1);
    EXPECT_EQ(m_guard("\x11pl\x0esubj:"), 0);
    EXPECT_EQ(m_guard("\x11" "first\x0esubj|\x11sg\x0esubj:"), 1);
    EXPECT_TRUE(messages("ERROR").empty());

    EXPECT_EQ(m_guard("\x11sg\x0eobj:"), 0);
    EXPECT_EQ(messages("Preselection:  Matching PST has no right-hand side:  obj").size(), 1U);
    EXPECT_EQ(m_guard("\x11sg\x0eother:"), 0);
    EXPECT_EQ(messages("Preselection:  No matching PST:  other").size(), 1U);
    EXPECT_EQ(m_guard("\x11sg:"), 0);
    EXPECT_EQ(m_guard("\x11\x0esubj:"), 0);
    EXPECT_EQ(messages("Guard following _is_ not in proper form").size(), 2U);
}
