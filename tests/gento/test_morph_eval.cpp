// The morph-expression evaluator and the guards: literals, output editing, field references,
// rule calls, table references and the leaves around the node being inflected.
#include <string>
#include <vector>

#include "morph_fixture.hpp"

TEST_F(MorphTest, LiteralsRepeatAndRemoveCharacters) {
    // & repeats the last character and - removes it (nothing on an empty output); blanks and +
    // between pieces are ignored; a bar inside a literal is text, outside it ends the
    // expression; other characters only fill the table buffer.
    // clang-format off
    expect_evals({{"\"walk\"&\"ing\"|", "walkking"}, {"\"s\"&|", "ss"}, {"\"happy\"-\"ily\"|", "happily"},
                  {"\"a b\" + \"c\"|", "a bc"}, {"&-\"x\"|", "x"}, {"\"ab\"---\"c\"|", "c"},
                  {"\"a|b\"|", "a|b"}, {"\"ab\"|\"cd\"", "ab"}, {"\"unclosed", "unclosed"},
                  {"xyz|", ""}});
    // clang-format on
    // The output holds 119 characters; the rest is dropped, and - still works on what is kept.
    EXPECT_EQ(eval("\"" + std::string(150, 'q') + "\"-\"z\"|"), std::string(118, 'q') + "z");
}

TEST_F(MorphTest, FieldReferencesAndPassesInflectEachLeaf) {
    const std::string dog = entry("\"dog\"", "N", {{1, 1}}, "0010", {"#1", "!\"s\""});
    Leaves s = leaves({&dog});
    morph_tree(s.root, 5);
    EXPECT_EQ(s.at(0)->morphed_word, "dog");
    morph_tree(s.root, 6);
    morph_word(s.at(0), 6);  // each pass starts from the last result
    EXPECT_EQ(s.at(0)->morphed_word, "dogss");
    // An empty field or a lookup that failed leaves the word alone.
    s.at(0)->morphed_word = "kept";
    morph_word(s.at(0), 7);
    s.at(0)->dictionary->error = 3;
    morph_word(s.at(0), 5);
    EXPECT_EQ(s.at(0)->morphed_word, "kept");
    s.at(0)->dictionary->error = 0;
    // A reference to an empty field is reported and pushes nothing.
    current_node = s.at(0);
    expect_evals({{"\"a\"#8\"b\"|", "ab"}, {"#0|", ""}});
    expect_once(
        {"Bad field reference: field 8 from lsp 0", "Bad field reference: field 0 from lsp 0"});
}

TEST_F(MorphTest, RuleCallsTakeTheFirstSubruleWhoseGuardHoldsAndRunawaysAreCut) {
    load_rules(
        "RULE PLURAL pl : #1 \"s\" ; * : #1 ;\nRULE TWICE * : $PLURAL $PLURAL ;\n"
        "RULE NONE sg : \"never\" ;\n"
        "RULE LOOP * : \"a\" $LOOP ;\nRULE TWO * : $TWO $TWO ;\n");
    const std::string dog_pl = entry("\"dog\"", "N", {{1, 2}}, "0001", {"$PLURAL"});
    const std::string dog_sg = entry("\"dog\"", "N", {{1, 1}}, "0001", {"$PLURAL"});
    Leaves s = leaves({&dog_pl, &dog_sg});
    s.at(0)->attributes = attrs({{1, 2}});
    s.at(1)->attributes = attrs({{1, 1}});
    morph_tree(s.root, 5);
    EXPECT_EQ(s.at(0)->morphed_word + " " + s.at(1)->morphed_word, "dogs dog");
    current_node = s.at(0);
    // When no guard holds nothing happens; a rule that does not exist is reported.
    expect_evals(
        {{"$TWICE|", "dogsdogs"}, {"\"<\"$NONE\">\"|", "<>"}, {"\"x\"$MISSING\"y\"|", "xy"}});
    expect_once({"Reference to non-existent morph rule"});
    // A rule that calls itself hits the stack limit; one whose calls double per level the
    // evaluation's budget, instead of running for ever.
    EXPECT_EQ(eval("$LOOP|"), std::string(99, 'a'));
    EXPECT_GT(count("Morph expressions nested too deeply"), 0);
    EXPECT_EQ(eval("$TWO|"), "");
    expect_once({"too many calls"});
    EXPECT_EQ(current_node, s.at(0)) << "the evaluator gives back the node it started with";
}

TEST_F(MorphTest, TableReferencesIndexByAttributeValues) {
    load_tables(
        "AGREE ( \"e1\" , \"e2\" , \"e3\" , \"e4\" )\nONE ( \"only\" )\n"
        "NEST ( $PL , \"b\" )\nT ( \"s\" , \"p\" )");
    load_rules("RULE PL * : \"pl\" ;");
    Leaves s = leaves({});
    treenode* n = s.root;
    n->attributes = attrs({{1, 2}, {2, 1}});  // NUMBER pl, PERSON first
    current_node = n;
    // Named values need no attributes; no one-segment compound matches NUMBER,PERSON.
    expect_evals({{"AGREE(NUMBER.PERSON)|", "e3"},
                  {"AGREE(sg.second)|", "e2"},
                  {"AGREE(pl.second)|", "e4"},
                  {"AGREE(NUMBER,PERSON)|", ""}});
    add_attr_to_list(n->attributes, compound({{2, 2}}));
    add_attr_to_list(n->attributes, compound({{1, 1}}));
    expect_evals({{"AGREE(PERSON,NUMBER)|", "e3"},  // second person, singular: 1*2+0
                  {"AGREE(NUMBER/PERSON)|", "e2"},  // the / item matches but does not index
                  {"\"<\"ONE()\">\"|", "<>"},       // an empty argument selects nothing
                  {"ONE)|", "only"},                // without arguments: the first element
                  {"NEST(sg)NEST(pl)|", "plb"},     // an element may call a rule
                  {"\"a\"ONE(pl)\"b\"|", "ab"},     // beyond the table
                  {"NOSUCH(sg)|", ""},
                  {"AGREE(bogus)\"z\"|", "z"},
                  {"AGREE(,sg)|", ""}});
    expect_once({"Table index too high ONE(pl ", "Table not found NOSUCH(sg "});

    // An undecided value is settled when it indexes a table, once for good.
    comp_attr c;
    add_comp_attr(c, new_delay(1, -1, 0));
    const int shared = c->index;
    purge_attr_list(n->attributes);
    add_attr_to_list(n->attributes, std::move(c));
    const std::string first = eval("T(NUMBER)|");
    ASSERT_TRUE(first == "s" || first == "p") << first;
    EXPECT_EQ(delayed[static_cast<std::size_t>(shared)].fixed, 1);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(eval("T(NUMBER)|"), first);
}

TEST_F(MorphTest, GuardAlternativesOffsetsAndFieldPatterns) {
    const std::string w = entry("\"w\"", "N", {}, "0001", {});
    const std::string go = entry("\"go\"", "V", {}, "0001", {"\"went\"", "irr,strong;x"});
    Leaves s = leaves({&w, &go, &w});
    for (int i = 0; i < 3; ++i) {  // cat (sg), dogs (pl), emu (sg)
        s.at(i)->attributes = attrs({{1, i == 1 ? 2 : 1}});
        s.at(i)->morphed_word = std::vector{"cat", "dogs", "emu"}[i];
    }
    for (int i = 0; i < 3; ++i) {  // the last alternative holds for every node
        current_node = s.at(i);
        EXPECT_EQ(m_guard("1pl,\"x*\"|*:"), 1) << i;
    }
    // On "dogs" (pl) between "cat" and "emu" (sg): an offset stays in force until changed, | goes
    // back to the offset of the enclosing group and ) restores the one saved at (; a leaf outside
    // the sequence has no attribute, but * holds even there. Field patterns: any pattern of the
    // list may match any element of the field; quotes around an element do not count.
    current_node = s.at(1);
    expect_guards({"\"d*\",pl|sg:", "-1sg,0pl:", "-1pl|pl:", "1(-1\"cat\"),\"emu\":", "-2*:",
                   "(sg|(pl,\"dog*\")):", "<6=reg,x>:", "<6=st*>:", "<5=went>:"},
                  {"\"c*\",pl|sg:", "-1sg,pl:", "1(-1\"cat\"),\"cat\":", "2sg:", "<6=reg>:",
                   "<9=*>:", "1<6=strong>:"});
    s.at(1)->dictionary->error = 3;
    EXPECT_EQ(m_guard("<6=strong>:"), 0) << "no word was found";
    // end_guard: the closing ':' even when a quoted pattern holds one.
    const char* g = "\"a:b\"|*: rest";
    EXPECT_EQ(m_guard(g), 1);
    EXPECT_EQ(end_guard, g + 7);

    // A term that is not evaluated settles nothing; a named value settles an open one.
    Leaves o = leaves({});
    comp_attr a, b;
    add_comp_attr(a, new_delay(1, -1, 0));
    add_comp_attr(b, new_delay(2, -1, 0));
    const t_delay &number = delay_at(a->index), &person = delay_at(b->index);
    add_attr_to_list(o.root->attributes, std::move(a));
    add_attr_to_list(o.root->attributes, std::move(b));
    current_node = o.root;
    expect_guards({"*|first:", "\"zz\",first|*:", "NUMBER,*:"}, {});
    EXPECT_EQ(std::tuple(person.fixed, number.fixed), std::tuple(0, 0));
    (void)m_guard("sg:");
    EXPECT_EQ(number.fixed, 1);
}
