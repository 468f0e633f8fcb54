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
    // Rule text holds _in_ and _is_ as their token codes.
    const std::string in{static_cast<char>(kTokPre)}, is{static_cast<char>(kTokIs)};
};

TEST_F(MorphPreTest, PreselectionTermsAskForAClauseAndTheAttributesOfItsWord) {
    Leaves s = leaves({});
    current_node = s.root;
    EXPECT_EQ(m_guard((in + "subj:").c_str()), 0);
    expect_once({"Preselection:  No preselection rule subj"});

    const std::string he = entry("\"he\"", "PRON", {{1, 1}, {2, 2}}, "0001", {});
    clause(1, 1, &he);
    clause(2, 0, nullptr);
    clause(3, 1, &he, 3);
    // _in_: a clause counts with its word, without a terminal, or when its word was not found;
    // no clause has the tag sg, which is not reported. _is_: he is singular and second person.
    const std::string subj = in + "subj";
    expect_guards({subj + ":", in + "obj:", in + "other:", is + "sg" + subj + ":",
                   is + "second" + subj + ":", is + "first" + subj + "|" + is + "sg" + subj + ":"},
                  {in + "sg:", is + "pl" + subj + ":"});
    // A bad tag fails its term only; the term ends after its tag, so terms after it are read.
    expect_guards({in + "bogus|*:", "*|" + in + "bogus:"}, {subj + ",pl:"});
    EXPECT_EQ(count("Attribute error in PST"), 1) << "a term passed over is not run";
    // _is_ on a clause without a word, on no clause, without a tag, without an attribute.
    expect_guards({},
                  {is + "sg" + in + "obj:", is + "sg" + in + "sg:", is + "sg:", is + subj + ":"});
    EXPECT_EQ(count("Guard following _is_ not in proper form"), 2);
}
