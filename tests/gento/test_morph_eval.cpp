// The morph-expression evaluator and the guards: literals, output editing, field references,
// rule calls, table references and the leaves around the node being inflected.
#include <string>
#include <vector>

#include "morph_fixture.hpp"

TEST_F(MorphTest, LiteralsRepeatAndRemoveCharacters) {
    // Blanks and + between pieces are ignored; & and - on an empty output do nothing; a bar
    // inside a literal is text, outside it ends the expression; other characters only fill the
    // table buffer.
    // clang-format off
    expect_evals({{"\"walk\"&\"ing\"|", "walkking"}, {"\"happy\"-\"ily\"|", "happily"},
                  {"\"a b\" + \"c\"|", "a bc"}, {"&-\"x\"|", "x"}, {"\"ab\"---\"c\"|", "c"},
                  {"\"a|b\"|", "a|b"}, {"\"ab\"|\"cd\"", "ab"}, {"\"unclosed", "unclosed"},
                  {"xyz|", ""}});
    // clang-format on
    // The output holds 119 characters; the rest is dropped, and - still works on what is kept.
    EXPECT_EQ(eval("\"" + std::string(150, 'q') + "\"-\"z\"|"), std::string(118, 'q') + "z");
    EXPECT_EQ(MState, 0);
}

TEST_F(MorphTest, FieldReferencesAndPassesInflectEachLeaf) {
    const std::string dog = entry("\"dog\"", "N", {{1, 1}}, "0010", {"#1", "!\"s\""});
    Leaves s = leaves({&dog});
    morph_tree(s.root, 5);
    EXPECT_EQ(s.at(0)->morphed_word, "dog");
    morph_tree(s.root, 6);
    EXPECT_EQ(s.at(0)->morphed_word, "dogs");
    morph_word(s.at(0), 6);
    EXPECT_EQ(s.at(0)->morphed_word, "dogss") << "each pass starts from the last result";

    // An empty field, a lookup that failed, or no lookup leaves the word alone.
    s.at(0)->morphed_word = "kept";
    morph_word(s.at(0), 7);
    EXPECT_EQ(s.at(0)->morphed_word, "kept");
    s.at(0)->dictionary->error = 3;
    morph_word(s.at(0), 5);
    EXPECT_EQ(s.at(0)->morphed_word, "kept");
    s.at(0)->dictionary->error = 0;
    treenode* bare = makenode("N");
    morph_word(bare, 5);
    EXPECT_EQ(bare->morphed_word, "");
    purge_node(bare);

    // A reference to an empty field is reported and pushes nothing.
    current_node = s.at(0);
    expect_evals({{"\"a\"#8\"b\"|", "ab"}, {"#0|", ""}});
    expect_once(
        {"Bad field reference: field 8 from lsp 0", "Bad field reference: field 0 from lsp 0"});
}

TEST_F(MorphTest, RuleCallsTakeTheFirstSubruleWhoseGuardHolds) {
    load_rules(
        "RULE PLURAL pl : #1 \"s\" ; * : #1 ;\n"
        "RULE TWICE * : $PLURAL $PLURAL ;\n"
        "RULE NONE sg : \"never\" ;\n");
    const std::string dog_pl = entry("\"dog\"", "N", {{1, 2}}, "0001", {"$PLURAL"});
    const std::string dog_sg = entry("\"dog\"", "N", {{1, 1}}, "0001", {"$PLURAL"});
    Leaves s = leaves({&dog_pl, &dog_sg});
    s.at(0)->attributes = attrs({{1, 2}});
    s.at(1)->attributes = attrs({{1, 1}});
    morph_tree(s.root, 5);
    EXPECT_EQ(s.at(0)->morphed_word, "dogs");
    EXPECT_EQ(s.at(1)->morphed_word, "dog");

    current_node = s.at(0);
    // When no guard holds nothing happens.
    expect_evals({{"$TWICE|", "dogsdogs"}, {"\"<\"$NONE\">\"|", "<>"}});
    EXPECT_EQ(count("ERROR"), 0);
    EXPECT_EQ(eval("\"x\"$MISSING\"y\"|"), "xy");
    expect_once({"Reference to non-existent morph rule"});
}

TEST_F(MorphTest, RunawayRulesAreCutOff) {
    // Each level calls itself: the stack limit is reported, and the doubling of calls per level
    // is stopped by the evaluation's budget instead of running for ever.
    load_rules("RULE LOOP * : \"a\" $LOOP ;\nRULE TWO * : $TWO $TWO ;\n");
    Leaves s = leaves({});
    current_node = s.root;
    EXPECT_EQ(eval("$LOOP|"), std::string(99, 'a'));
    EXPECT_GT(count("Morph expressions nested too deeply"), 0);
    EXPECT_EQ(eval("$TWO|"), "");
    expect_once({"too many calls"});
    EXPECT_EQ(current_node, s.root) << "the evaluator gives back the node it started with";
}

TEST_F(MorphTest, TableReferencesIndexByAttributeValues) {
    load_tables(
        "AGREE ( \"e1\" , \"e2\" , \"e3\" , \"e4\" )\n"
        "ONE ( \"only\" )\n"
        "NEST ( $PL , \"b\" )\n");
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
    expect_evals({
        {"AGREE(PERSON,NUMBER)|", "e3"},  // second person, singular: 1*2+0
        {"AGREE(NUMBER/PERSON)|", "e2"},  // the / item matches but does not index
        {"\"<\"ONE()\">\"|", "<>"},       // an empty argument selects nothing
        {"ONE)|", "only"},                // without arguments: the first element
        {"NEST(sg)NEST(pl)|", "plb"},     // an element may call a rule
    });
    EXPECT_EQ(count("ERROR"), 0);

    // An unknown attribute or an empty argument selects nothing.
    expect_evals({{"\"a\"ONE(pl)\"b\"|", "ab"},
                  {"NOSUCH(sg)|", ""},
                  {"AGREE(bogus)\"z\"|", "z"},
                  {"AGREE(,sg)|", ""}});
    expect_once({"Table index too high ONE(pl ", "Table not found NOSUCH(sg "});
}

TEST_F(MorphTest, UndecidedValuesAreSettledWhenTheyIndexATable) {
    load_tables("T ( \"s\" , \"p\" )");
    Leaves s = leaves({});
    comp_attr c;
    add_comp_attr(c, new_delay(1, -1, 0));
    const int shared = c->index;
    add_attr_to_list(s.root->attributes, std::move(c));
    current_node = s.root;
    const std::string first = eval("T(NUMBER)|");
    ASSERT_TRUE(first == "s" || first == "p") << first;
    EXPECT_EQ(delayed[static_cast<std::size_t>(shared)].fixed, 1);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(eval("T(NUMBER)|"), first) << "settled once, the value stays";
}

TEST_F(MorphTest, GuardAlternativesAndOffsets) {
    const std::string w = entry("\"w\"", "N", {}, "0001", {});
    Leaves s = leaves({&w, &w, &w});
    s.at(0)->attributes = attrs({{1, 1}});
    s.at(1)->attributes = attrs({{1, 2}});
    s.at(2)->attributes = attrs({{1, 1}});
    s.at(0)->morphed_word = "cat";
    s.at(1)->morphed_word = "dogs";
    s.at(2)->morphed_word = "emu";

    // 1 pl , "x*" | *  holds for every node: the last alternative holds.
    for (int i = 0; i < 3; ++i) {
        current_node = s.at(i);
        EXPECT_EQ(m_guard("1pl,\"x*\"|*:"), 1) << i;
    }
    // A pattern the word does not match, then , pl | sg: the test of sg decides.
    current_node = s.at(0);
    EXPECT_EQ(m_guard("\"d*\",pl|sg:"), 1);
    // On "dogs" (pl) between "cat" and "emu" (sg): an offset stays in force until changed, | goes
    // back to the offset of the enclosing group and ) restores the one saved at (; a leaf
    // outside the sequence has no attribute, but * holds even there; an empty guard asks for
    // nothing.
    current_node = s.at(1);
    expect_guards(
        {"\"d*\",pl|sg:", "-1sg,0pl:", "-1pl|pl:", "1(-1\"cat\"),\"emu\":",
         "-1\"cat\",1\"emu\",0\"dogs\":", "-2*:", "(sg|(pl,\"dog*\")):", ":"},
        {"\"c*\",pl|sg:", "-1sg,pl:", "1(-1\"cat\"),\"cat\":", "2sg:", "(sg|(pl,\"cat\")):"});
    // end_guard: the closing ':' even when a quoted pattern holds one.
    const char* g = "\"a:b\"|*: rest";
    EXPECT_EQ(m_guard(g), 1);
    EXPECT_EQ(end_guard, g + 7);
}

TEST_F(MorphTest, GuardStopsAsSoonAsTheResultIsKnown) {
    Leaves s = leaves({});
    comp_attr a, b;
    add_comp_attr(a, new_delay(1, -1, 0));
    add_comp_attr(b, new_delay(2, -1, 0));
    const t_delay &number = delayed[static_cast<std::size_t>(a->index)],
                  &person = delayed[static_cast<std::size_t>(b->index)];
    add_attr_to_list(s.root->attributes, std::move(a));
    add_attr_to_list(s.root->attributes, std::move(b));
    current_node = s.root;
    // A term that is not evaluated settles nothing: the open PERSON value stays open.
    EXPECT_EQ(m_guard("*|first:"), 1);
    EXPECT_EQ(person.fixed, 0);
    EXPECT_EQ(m_guard("\"zz\",first|*:"), 1);
    EXPECT_EQ(person.fixed, 0);
    EXPECT_EQ(m_guard("NUMBER,*:"), 1) << "a bare type matches an open value";
    EXPECT_EQ(number.fixed, 0);
    (void)m_guard("sg:");
    EXPECT_EQ(number.fixed, 1) << "a named value settles it";
}

TEST_F(MorphTest, FieldPatternTerms) {
    const std::string go = entry("\"go\"", "V", {}, "0001", {"\"went\"", "irr,strong;x"});
    const std::string walk = entry("\"walk\"", "V", {}, "0001", {"\"walked\"", "reg"});
    Leaves s = leaves({&go, &walk});
    current_node = s.at(0);
    // Any pattern of the list may match any element of the field; quotes around an element do
    // not count; an empty field has no element.
    expect_guards({"<6=strong>:", "<6=reg,x>:", "<6=st*>:", "<5=went>:", "1<6=reg>:"},
                  {"<6=reg>:", "<9=*>:", "<6=irr:"});
    s.at(0)->dictionary->error = 3;
    EXPECT_EQ(m_guard("<6=strong>:"), 0) << "no word was found";
}

TEST_F(MorphTest, MalformedExpressionsAndGuardsAreHarmless) {
    load_rules("RULE R * : \"r\" ;");
    load_tables("T ( \"t\" )");
    Leaves s = leaves({});
    current_node = s.root;
    std::vector<std::string> inputs = {
        "",     "|",        "#", "$", ")", "(((", "T(", "T)", "\"", "#99999999999|", "$R$R$R)T(sg)",
        "!&-!", "\xff\x01)"};
    inputs.push_back(std::string(300, ')'));
    for (const std::string& in : inputs)
        (void)eval(in);
    std::vector<std::string> guards = {
        "",     ":",    "(",      ")",        "((((:",  "\"",  "<", "<5", "-", "-99999999999sg:",
        "\x0e", "\x11", "\x11sg", "\x11\x0e", ",,,||:", "\xff"};
    guards.insert(guards.end(), {std::string(1000, '('), std::string(1000, ')')});
    for (const std::string& g : guards) {
        (void)m_guard(g.c_str());
        ASSERT_NE(end_guard, nullptr);
        EXPECT_LE(end_guard, g.c_str() + g.size());
    }
    EXPECT_EQ(m_guard(nullptr), 0);
    m_exp(nullptr);
    EXPECT_STREQ(moutput.data(), "");
}

TEST_F(MorphTest, WhileLexicalTransformationsRunFieldsComeFromOtherLeaves) {
    const std::string go = entry("\"go\"", "V", {}, "0001", {"!\"+5\"", "irr"});
    const std::string walk = entry("\"walk\"", "V", {}, "0001", {"!\"+5\"", "reg"});
    Leaves s = leaves({&go, &walk});
    s.at(0)->morphed_word = "go";
    s.at(1)->morphed_word = "walk";
    // The lookups' attributes count, read from the second delay table.
    comp_attr c;
    add_comp_attr(c, lt_new_delay(1, 2, 1));
    add_attr_to_list(s.at(1)->dictionary->attributes, std::move(c));
    s.at(1)->attributes = attrs({{1, 1}});
    current_node = s.at(0);

    MState = 1;
    EXPECT_EQ(eval("#5.2\"/\"#5.1\"/\"#5|"), "walk+5/go+5/go+5")
        << "field 5 of the second pattern is evaluated with that leaf as current";
    EXPECT_EQ(MState, 0) << "the evaluation ends the mode";
    MState = 1;
    EXPECT_EQ(m_guard("<6.2=reg>:"), 1);
    MState = 1;
    EXPECT_EQ(m_guard("1pl:"), 1) << "the lookup's attributes, not the node's";
    MState = 1;
    EXPECT_EQ(m_guard("1sg:"), 0);
    MState = 0;
    EXPECT_EQ(m_guard("1sg:"), 1);
    EXPECT_EQ(m_guard("<6.2=reg>:"), 0) << "outside the mode the pattern number is not used";
    EXPECT_EQ(eval("#5.2|"), "go+5");
}
