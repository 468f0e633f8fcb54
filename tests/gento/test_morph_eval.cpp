// The morph-expression evaluator and the guards: literals, output editing, field references,
// rule calls, table references and the leaves around the node being inflected.
#include <array>
#include <string>
#include <vector>

#include "gento_fixture.hpp"
#include "morph_fixture.hpp"

TEST_F(MorphTest, LiteralsRepeatAndRemoveCharacters) {
    EXPECT_EQ(eval("\"walk\"&\"ing\"|"), "walkking");
    EXPECT_EQ(eval("\"happy\"-\"ily\"|"), "happily");
    EXPECT_EQ(eval("\"a b\" + \"c\"|"), "a bc") << "blanks and + between pieces are ignored";
    EXPECT_EQ(eval("&-\"x\"|"), "x") << "& and - on an empty output do nothing";
    EXPECT_EQ(eval("\"ab\"---\"c\"|"), "c");
    EXPECT_EQ(eval("\"a|b\"|"), "a|b") << "a bar inside a literal is text";
    EXPECT_EQ(eval("\"ab\"|\"cd\""), "ab") << "the bar ends the expression";
    EXPECT_EQ(eval("\"unclosed"), "unclosed");
    EXPECT_EQ(eval("xyz|"), "") << "other characters only fill the table buffer";
    // The output holds 119 characters; the rest is dropped, and - still works on what is kept.
    const std::string lit = "\"" + std::string(150, 'q') + "\"-\"z\"|";
    const std::string out = eval(lit);
    EXPECT_EQ(out, std::string(118, 'q') + "z");
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
    EXPECT_EQ(eval("\"a\"#8\"b\"|"), "ab");
    EXPECT_EQ(messages("Bad field reference: field 8 from lsp 0").size(), 1U);
    EXPECT_EQ(eval("#0|"), "");
    EXPECT_EQ(messages("Bad field reference: field 0 from lsp 0").size(), 1U);
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
    EXPECT_EQ(eval("$TWICE|"), "dogsdogs");
    EXPECT_EQ(eval("\"<\"$NONE\">\"|"), "<>") << "no guard holds: nothing happens";
    EXPECT_TRUE(messages("ERROR").empty());
    EXPECT_EQ(eval("\"x\"$MISSING\"y\"|"), "xy");
    EXPECT_EQ(messages("Reference to non-existent morph rule").size(), 1U);
}

TEST_F(MorphTest, RunawayRulesAreCutOff) {
    // Each level calls itself: the stack limit is reported, and the doubling of calls per level
    // is stopped by the evaluation's budget instead of running for ever.
    load_rules("RULE LOOP * : \"a\" $LOOP ;\nRULE TWO * : $TWO $TWO ;\n");
    Leaves s = leaves({});
    current_node = s.root;
    const std::string a = eval("$LOOP|");
    EXPECT_EQ(a, std::string(99, 'a'));
    EXPECT_FALSE(messages("Morph expressions nested too deeply").empty());
    EXPECT_EQ(eval("$TWO|"), "");
    EXPECT_EQ(messages("too many calls").size(), 1U);
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
    EXPECT_EQ(eval("AGREE(NUMBER.PERSON)|"), "e3");
    EXPECT_EQ(eval("AGREE(sg.second)|"), "e2") << "named values need no attributes";
    EXPECT_EQ(eval("AGREE(pl.second)|"), "e4");
    EXPECT_EQ(eval("AGREE(NUMBER,PERSON)|"), "") << "no one-segment compound matches";
    n->attributes = attrs({{1, 2}, {2, 1}});
    add_attr_to_list(n->attributes, compound({{2, 2}}));
    add_attr_to_list(n->attributes, compound({{1, 1}}));
    EXPECT_EQ(eval("AGREE(PERSON,NUMBER)|"), "e3") << "second person, singular: 1*2+0";
    EXPECT_EQ(eval("AGREE(NUMBER/PERSON)|"), "e2") << "the / item matches but does not index";
    EXPECT_EQ(eval("\"<\"ONE()\">\"|"), "<>") << "an empty argument selects nothing";
    EXPECT_EQ(eval("ONE)|"), "only") << "without arguments: the first element";
    EXPECT_EQ(eval("NEST(sg)NEST(pl)|"), "plb") << "an element may call a rule";
    EXPECT_TRUE(messages("ERROR").empty());

    EXPECT_EQ(eval("\"a\"ONE(pl)\"b\"|"), "ab");
    EXPECT_EQ(messages("Table index too high ONE(pl ").size(), 1U);
    EXPECT_EQ(eval("NOSUCH(sg)|"), "");
    EXPECT_EQ(messages("Table not found NOSUCH(sg ").size(), 1U);
    EXPECT_EQ(eval("AGREE(bogus)\"z\"|"), "z") << "an unknown attribute selects nothing";
    EXPECT_EQ(eval("AGREE(,sg)|"), "") << "an empty argument selects nothing";
}

TEST_F(MorphTest, UndecidedValuesAreSettledWhenTheyIndexATable) {
    load_tables("T ( \"s\" , \"p\" )");
    Leaves s = leaves({});
    treenode* n = s.root;
    comp_attr c;
    add_comp_attr(c, new_delay(1, -1, 0));
    const int shared = c->index;
    add_attr_to_list(n->attributes, std::move(c));
    current_node = n;
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
    current_node = s.at(1);
    EXPECT_EQ(m_guard("\"c*\",pl|sg:"), 0);
    EXPECT_EQ(m_guard("\"d*\",pl|sg:"), 1);

    // Offsets stay in force until changed; | goes back to the offset of the enclosing group.
    current_node = s.at(1);
    EXPECT_EQ(m_guard("-1sg,pl:"), 0) << "the offset -1 also applies to the second term";
    EXPECT_EQ(m_guard("-1sg,0pl:"), 1);
    EXPECT_EQ(m_guard("-1pl|pl:"), 1) << "after | the offset is 0 again";
    EXPECT_EQ(m_guard("1(-1\"cat\"),\"emu\":"), 1) << ") restores the offset saved at (";
    EXPECT_EQ(m_guard("1(-1\"cat\"),\"cat\":"), 0);
    EXPECT_EQ(m_guard("-1\"cat\",1\"emu\",0\"dogs\":"), 1);
    EXPECT_EQ(m_guard("2sg:"), 0) << "a leaf outside the sequence";
    EXPECT_EQ(m_guard("-2*:"), 1) << "* holds even there";
    EXPECT_EQ(m_guard("(sg|(pl,\"dog*\")):"), 1);
    EXPECT_EQ(m_guard("(sg|(pl,\"cat\")):"), 0);
    EXPECT_EQ(m_guard(":"), 1) << "an empty guard asks for nothing";

    // end_guard: the closing ':' even when a quoted pattern holds one.
    const char* g = "\"a:b\"|*: rest";
    EXPECT_EQ(m_guard(g), 1);
    EXPECT_EQ(end_guard, g + 7);
}

TEST_F(MorphTest, GuardStopsAsSoonAsTheResultIsKnown) {
    Leaves s = leaves({});
    treenode* n = s.root;
    comp_attr a, b;
    add_comp_attr(a, new_delay(1, -1, 0));
    add_comp_attr(b, new_delay(2, -1, 0));
    const int ia = a->index, ib = b->index;
    add_attr_to_list(n->attributes, std::move(a));
    add_attr_to_list(n->attributes, std::move(b));
    current_node = n;
    // A term that is not evaluated settles nothing: the open PERSON value stays open.
    EXPECT_EQ(m_guard("*|first:"), 1);
    EXPECT_EQ(delayed[static_cast<std::size_t>(ib)].fixed, 0);
    EXPECT_EQ(m_guard("\"zz\",first|*:"), 1);
    EXPECT_EQ(delayed[static_cast<std::size_t>(ib)].fixed, 0);
    EXPECT_EQ(m_guard("NUMBER,*:"), 1) << "a bare type matches an open value";
    EXPECT_EQ(delayed[static_cast<std::size_t>(ia)].fixed, 0);
    (void)m_guard("sg:");
    EXPECT_EQ(delayed[static_cast<std::size_t>(ia)].fixed, 1) << "a named value settles it";
}

TEST_F(MorphTest, FieldPatternTerms) {
    const std::string go = entry("\"go\"", "V", {}, "0001", {"\"went\"", "irr,strong;x"});
    const std::string walk = entry("\"walk\"", "V", {}, "0001", {"\"walked\"", "reg"});
    Leaves s = leaves({&go, &walk});
    current_node = s.at(0);
    EXPECT_EQ(m_guard("<6=strong>:"), 1);
    EXPECT_EQ(m_guard("<6=reg,x>:"), 1) << "any pattern of the list, any element of the field";
    EXPECT_EQ(m_guard("<6=st*>:"), 1);
    EXPECT_EQ(m_guard("<6=reg>:"), 0);
    EXPECT_EQ(m_guard("<5=went>:"), 1) << "quotes around an element do not count";
    EXPECT_EQ(m_guard("1<6=reg>:"), 1);
    EXPECT_EQ(m_guard("<9=*>:"), 0) << "an empty field has no element";
    EXPECT_EQ(m_guard("<6=irr:"), 0) << "unclosed";
    s.at(0)->dictionary->error = 3;
    EXPECT_EQ(m_guard("<6=strong>:"), 0) << "no word was found";
}

TEST_F(MorphTest, MalformedExpressionsAndGuardsAreHarmless) {
    load_rules("RULE R * : \"r\" ;");
    load_tables("T ( \"t\" )");
    Leaves s = leaves({});
    current_node = s.root;
    const std::vector<std::string> inputs = {
        "",
        "|",
        "#",
        "$",
        ")",
        "(((",
        "T(",
        "T)",
        "\"",
        "#99999999999|",
        "$R$R$R)T(sg)",
        "!&-!",
        std::string(300, ')'),
        "\xff\x01)",
    };
    for (const std::string& in : inputs)
        (void)eval(in);
    const std::vector<std::string> guards = {
        "",
        ":",
        "(",
        ")",
        "((((:",
        "\"",
        "<",
        "<5",
        "-",
        "-99999999999sg:",
        "\x0e",
        "\x11",
        "\x11sg",
        "\x11\x0e",
        ",,,||:",
        "\xff",
        std::string(1000, '('),
        std::string(1000, ')'),
    };
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
