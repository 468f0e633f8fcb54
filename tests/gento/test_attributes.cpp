// The attribute file, the name index, orders and valences, and attribute text in rules.
#include <string>
#include <vector>

#include "gento.hpp"
#include "gento_fixture.hpp"

class AttributeTest : public GentoTest {
  protected:
    void load(const std::string& content) { readattr(file("attrs", content).c_str()); }
    static std::pair<int, int> find(const std::string& name) {
        if (lookup_attr(name) == 0) return {0, 0};
        return {att_class, att_value};
    }
    // Text for the attribute parsers: names, with "$n" standing for a reference to variable n.
    static std::string coded(const std::string& s) {
        std::string out;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '$' && i + 1 < s.size()) {
                out += '\xff';
                out += static_cast<char>(s[++i] - '0');
            } else {
                out += s[i];
            }
        }
        return out;
    }
};

TEST_F(AttributeTest, TypesValuesAndTheNameIndex) {
    EXPECT_EQ(lookup_attr("sg"), 0);  // nothing loaded
    load("NUMBER ( sg , pl ) PERSON ( first , second , third ) %\nignored ( after , percent )");
    EXPECT_EQ(total_types, 3);
    EXPECT_EQ(attr_table[1].entries, 3);
    EXPECT_EQ(attr_table[2].entries, 4);
    EXPECT_EQ(find("sg"), std::make_pair(1, 1));
    EXPECT_EQ(find("pl"), std::make_pair(1, 2));
    EXPECT_EQ(find("NUMBER"), std::make_pair(1, -1));
    EXPECT_EQ(find("third"), std::make_pair(2, 3));
    EXPECT_EQ(find("after"), std::make_pair(0, 0));
    EXPECT_EQ(find("Sg"), std::make_pair(0, 0));
    EXPECT_EQ(q_att_size, 2 + 2 + 3);
    EXPECT_STREQ(att_get_name(2, -1), "PERSON");
    EXPECT_STREQ(att_get_name(2, 2), "second");
    EXPECT_STREQ(att_get_name(2, 4), "IllegalValue");
    EXPECT_STREQ(att_get_name(3, 1), "IllegalClass");
    EXPECT_STREQ(att_get_name(-5, 1), "IllegalClass");
    EXPECT_TRUE(messages("ERROR").empty());
    EXPECT_EQ(messages("Finished reading attribute input from file '" + dir_ + "/attrs' [1 lines.]")
                  .size(),
              1U);
    clearattributes();
    EXPECT_EQ(lookup_attr("sg"), 0);
    EXPECT_EQ(total_types, 1);
}

TEST_F(AttributeTest, OrdersAreClosedTransitivelyAndValidHonoursTheSign) {
    load("DEGREE ( pos < comp < sup ) CASE ( nom , acc ) %");
    const int pos = 1, comp = 2, sup = 3;
    EXPECT_EQ(attr_table[1].partial, 1);
    EXPECT_EQ(valid('<', 1, sup, pos), 1);
    EXPECT_EQ(valid('>', 1, sup, pos), 0);
    EXPECT_EQ(valid('>', 1, pos, sup), 1);
    EXPECT_EQ(valid('<', 1, pos, sup), 0);
    EXPECT_EQ(valid('<', 1, comp, pos), 1);
    for (int v : {pos, comp, sup}) {
        EXPECT_EQ(valid('<', 1, v, v), 1);
        EXPECT_EQ(valid('>', 1, v, v), 1);
    }
    EXPECT_EQ(valid('=', 1, sup, pos), 0);
    // Without an order only equality counts, whatever the sign.
    EXPECT_EQ(attr_table[2].partial, 0);
    EXPECT_EQ(valid('<', 2, 1, 2), 0);
    EXPECT_EQ(valid('<', 2, 2, 2), 1);
    // Out-of-range values and types never reach outside the tables.
    EXPECT_EQ(valid('<', 1, 300, 1), 0);
    EXPECT_EQ(valid('<', 99, 3, 3), 1);
}

TEST_F(AttributeTest, ValencesRepeatedValuesAndDuplicateNames) {
    load("VERB ( 2 give , 1 sleep , give < sleep , rest ) OTHER ( give , VERB ) %");
    const attr_table_entry& verb = attr_table[1];
    EXPECT_EQ(verb.entries, 4);  // give is not added twice
    EXPECT_EQ(verb.valence[1], 2);
    EXPECT_EQ(verb.valence[2], 1);
    EXPECT_EQ(verb.valence[3], 0);
    EXPECT_EQ(valid('<', 1, 2, 1), 1);  // the order declared with the repeated value holds
    const auto dups = messages("duplicated");
    ASSERT_EQ(dups.size(), 2U);
    EXPECT_EQ(dups[0], "ERROR attribute input  Warning: attribute value VERB duplicated");
    EXPECT_EQ(dups[1], "ERROR attribute input  Warning: attribute value give duplicated");
}

TEST_F(AttributeTest, WrongTokensAreReportedAndStillActedOn) {
    load("A ( x y ) B x ( z , ) C ( w )");
    EXPECT_EQ(messages("Inappropriate").size(), 4U);
    EXPECT_EQ(messages("Inappropriate identifier: y").size(), 1U);
    EXPECT_EQ(messages("Inappropriate identifier: x").size(), 1U);
    EXPECT_EQ(messages("Inappropriate char ')'").size(), 1U);
    EXPECT_EQ(messages("Inappropriate EOF").size(), 1U);
    EXPECT_EQ(find("y"), std::make_pair(1, 2));
    EXPECT_EQ(find("B"), std::make_pair(2, -1));
    EXPECT_EQ(attr_table[2].entries, 1);
    EXPECT_EQ(find("z"), std::make_pair(3, 1));  // "x" outside a list began a new type
    EXPECT_EQ(find("w"), std::make_pair(4, 1));
}

TEST_F(AttributeTest, TableLimitsRefuseWithAMessageAndReadingGoesOn) {
    std::string many = "BIG (";
    for (int i = 1; i <= 254; ++i)
        many += (i > 1 ? ", v" : " v") + std::to_string(i);
    many += ")\n";
    for (int t = 2; t <= 254; ++t)
        many += "T" + std::to_string(t) + " ( a" + std::to_string(t) + " )\n";
    many += std::string(32, 'L') + " ( long ) " + std::string(31, 'K') + " ( fits ) %";
    load(many);
    EXPECT_EQ(attr_table[1].entries, 254);
    EXPECT_EQ(messages("Table full BIG").size(), 1U);
    EXPECT_EQ(find("v254"), std::make_pair(0, 0));
    EXPECT_EQ(total_types, 254);
    EXPECT_EQ(messages("too many attribute types: T254").size(), 1U);
    EXPECT_EQ(find("a254"), std::make_pair(0, 0));
    EXPECT_EQ(messages("attribute type name too long: " + std::string(32, 'L')).size(), 1U);
    EXPECT_EQ(find("long"), std::make_pair(0, 0));
    EXPECT_EQ(messages("too many attribute types: " + std::string(31, 'K')).size(), 1U);
}

TEST_F(AttributeTest, AttributeTextParsesIntoRowsAndCompounds) {
    load("NUMBER ( sg , pl ) PERSON ( first , second , third ) GENDER ( m , f ) %");
    std::string t = "sg.third]";
    const char* end = text_to_comp_array(t.c_str(), 0);
    EXPECT_EQ(*end, ']');
    ASSERT_EQ(attr_index, 2);
    EXPECT_EQ(attr[0].type, 1);
    EXPECT_EQ(attr[0].value, 1);
    EXPECT_EQ(attr[1].type, 2);
    EXPECT_EQ(attr[1].value, 3);
    EXPECT_EQ(all_values, 1);
    EXPECT_EQ(all_decon, 0);

    t = "sg/GENDER,";
    end = text_to_comp_array(t.c_str(), 1);
    EXPECT_EQ(*end, ',');
    ASSERT_EQ(attr_index, 2);
    EXPECT_EQ(attr[1].decon, 1);
    EXPECT_EQ(attr[1].value, -1);
    EXPECT_EQ(all_values, 0);
    // Without '/' allowed it ends the text.
    end = text_to_comp_array(t.c_str(), 0);
    EXPECT_EQ(*end, '/');
    EXPECT_EQ(attr_index, 1);

    // make_comp_attr leaves decon rows out; make_full_comp_attr keeps them.
    text_to_comp_array("pl/m", 1);
    comp_attr part = make_comp_attr();
    comp_attr whole = make_full_comp_attr();
    EXPECT_EQ(print_comp_attr(part.get()), "pl");
    EXPECT_EQ(print_comp_attr(whole.get()), "pl.m");
    EXPECT_EQ(print_comp_attr(dup_decon_comp_attr(whole.get()).get()), "pl");

    // The struct form makes new delay entries, fixed only where a value was named.
    const int before = delayptr;
    text_to_comp_struct("NUMBER.f/sg", 1);
    ASSERT_EQ(attr_seg_count(comp_attr_register.get()), 2);
    EXPECT_EQ(delayptr, before + 2);
    const t_delay& n = delay_at(comp_attr_element(comp_attr_register.get(), 1));
    EXPECT_EQ(n.class_, 1);
    EXPECT_EQ(n.fixed, 0);
    EXPECT_EQ(n.choice, -1);
    EXPECT_EQ(delay_at(comp_attr_element(comp_attr_register.get(), 2)).fixed, 1);
    EXPECT_EQ(print_comp_attr(comp_attr_register.get()), "NUMBER.f");
}

TEST_F(AttributeTest, UnknownNamesEmptyTheResultAndVariablesShareTheirEntries) {
    load("NUMBER ( sg , pl ) GENDER ( m , f ) %");
    file_operation = "Syntax Input";
    file_position.assign("rule NP");
    const char* end = text_to_comp_array("sg.plural.m]", 0);
    EXPECT_EQ(*end, ']');
    EXPECT_EQ(attr_index, 0);
    EXPECT_EQ(messages("ERROR Syntax Input rule NP Unknown attribute plural.m ").size(), 1U);
    text_to_comp_struct("bad.sg", 0);
    EXPECT_EQ(comp_attr_register, nullptr);

    // Variable 3 holds an undecided NUMBER and a settled GENDER.
    add_comp_attr(variable_table[3], new_delay(1, -1, 0));
    add_comp_attr(variable_table[3], new_delay(2, 2, 1));
    const std::string text = coded("$3.sg");
    text_to_comp_array(text.c_str(), 0);
    ASSERT_EQ(attr_index, 3);
    EXPECT_EQ(attr[0].type, 1);
    EXPECT_EQ(attr[0].value, -1);
    EXPECT_EQ(attr[1].value, 2);
    const int before = delayptr;
    text_to_comp_struct(text.c_str(), 0);
    EXPECT_EQ(delayptr, before + 1);  // only sg is new
    EXPECT_EQ(comp_attr_element(comp_attr_register.get(), 1),
              comp_attr_element(variable_table[3].get(), 1));
    // Variable numbers out of range and a reference cut off at the end are harmless.
    const std::string odd = coded("$9") + "\xff";
    text_to_comp_array(odd.c_str(), 0);
    EXPECT_EQ(attr_index, 0);
}

TEST_F(AttributeTest, ComparingFindingAndChoosing) {
    load("NUMBER ( sg , pl ) GENDER ( m , f , n ) %");
    // An undecided segment on the left stands for any value of its type.
    text_to_comp_struct("NUMBER.f", 0);
    comp_attr open = std::move(comp_attr_register);
    text_to_comp_struct("pl.f", 0);
    comp_attr fixed = std::move(comp_attr_register);
    text_to_comp_struct("pl.m", 0);
    comp_attr other = std::move(comp_attr_register);
    EXPECT_EQ(compare_comp_attr(open.get(), fixed.get()), 1);
    EXPECT_EQ(compare_comp_attr(fixed.get(), open.get()), 0);
    EXPECT_EQ(compare_comp_attr(open.get(), other.get()), 0);
    EXPECT_EQ(compare_comp_attr(fixed.get(), fixed.get()), 1);

    attr_list list;
    add_attr_to_list(list, duplicate_comp_attr(other.get()));
    add_attr_to_list(list, duplicate_comp_attr(fixed.get()));
    EXPECT_EQ(find_attr_in_list(list.get(), open.get()), attr_list_element(list.get(), 2));
    EXPECT_EQ(find_attr_in_list(list.get(), fixed.get()), attr_list_element(list.get(), 2));

    auto rules = std::make_unique<pre_rule>();
    rules->PST = duplicate_comp_attr(other.get());
    rules->next = std::make_unique<pre_rule>();
    rules->next->PST = duplicate_comp_attr(fixed.get());
    rules->next->RHS = makenode("N");
    EXPECT_EQ(look_for_attr(open.get(), rules.get()), rules->next.get());

    // find_attr settles an undecided segment when the row names a value, shared by all holders.
    comp_attr shared = std::move(open);
    attr_list holder;
    add_attr_to_list(holder, duplicate_comp_attr(shared.get()));
    text_to_comp_array("pl.f", 0);
    const s_comp_attr* found = find_attr(holder.get());
    const t_delay& number = delay_at(comp_attr_element(shared.get(), 1));
    EXPECT_EQ(number.fixed, 1);
    EXPECT_EQ(found != nullptr, number.choice == 2);
    EXPECT_EQ(print_comp_attr(shared.get()), number.choice == 2 ? "pl.f" : "sg.f");
    // A row of -1 matches any value.
    text_to_comp_array("NUMBER.f", 0);
    EXPECT_EQ(find_attr(holder.get()), attr_list_element(holder.get(), 1));
    text_to_comp_array("f", 0);
    EXPECT_EQ(find_attr(holder.get()), nullptr);  // segment counts differ

    // find_type_in_attr looks only at one-segment compounds.
    attr_list singles;
    text_to_comp_struct("n", 0);
    add_attr_to_list(singles, std::move(comp_attr_register));
    text_to_comp_struct("sg", 0);
    add_attr_to_list(singles, std::move(comp_attr_register));
    EXPECT_EQ(find_type_in_attr(comp_attr_element(fixed.get(), 1), singles.get()),
              attr_list_element(singles.get(), 2));
    EXPECT_EQ(find_type_in_attr(comp_attr_element(fixed.get(), 2), singles.get()),
              attr_list_element(singles.get(), 1));
    EXPECT_EQ(print_attr_list(singles.get()), "n, sg");
}

TEST_F(AttributeTest, RandomChoicesFollowTheGeneratorAndAreShared) {
    load("NUMBER ( sg , pl ) GENDER ( m , f , n ) EMPTY ( ) %");
    seed = 1;
    EXPECT_EQ(getrandom(10), 0);  // 10 * 3125 / 2^32
    EXPECT_EQ(seed, 3125U);
    // The generator's own sequence, checked against its definition.
    std::uint32_t s = 3125;
    for (int i = 0; i < 1000; ++i) {
        s *= 3125U;
        const int want = static_cast<int>(7.0 * s / 4294967296.0);
        EXPECT_EQ(getrandom(7), want);
    }
    EXPECT_EQ(getrandom(0), 0);
    reseed(10);
    EXPECT_EQ(seed, 11U);
    EXPECT_EQ(messages("Setting random seed: 11").size(), 1U);
    reseed(0);
    EXPECT_EQ(seed % 2, 1U);
    printseed(15);
    EXPECT_EQ(lines_of(15).back(), "Current random seed: " + std::to_string(seed));

    const int g = new_delay(2, -1, 0);
    const int e = new_delay(3, -1, 0);
    comp_attr a, b;
    add_comp_attr(a, g);
    add_comp_attr(b, g);
    make_all_choices();
    EXPECT_EQ(delay_at(g).fixed, 1);
    EXPECT_GE(delay_at(g).choice, 1);
    EXPECT_LE(delay_at(g).choice, 3);
    EXPECT_EQ(print_comp_attr(a.get()), print_comp_attr(b.get()));
    EXPECT_EQ(delay_at(e).fixed, 0);  // a type without values has nothing to choose
    EXPECT_EQ(print_comp_attr(a.get()) == "m" || print_comp_attr(a.get()) == "f" ||
                  print_comp_attr(a.get()) == "n",
              true);
    make_choice(-3);
    make_choice(kDelaySize);
}

TEST_F(AttributeTest, AttributeCommandUninstallsDependentsAndRecordsTheFile) {
    const std::string path = file("a.att", "NUMBER ( sg , pl ) %\n");
    install_attributes(path.c_str());
    EXPECT_EQ(messages("uninstalled: ").back(), "uninstalled: none");
    EXPECT_EQ(installed, 1);
    EXPECT_EQ(gentofilename['a' - kFirstLetter], path);
    installed |= 64 | 256 | 4096 | 32;
    install_attributes(path.c_str());
    EXPECT_EQ(messages("uninstalled: ").back(), "uninstalled: AT, LE, MR, GP");
    EXPECT_EQ(installed, 1 | 32);
    EXPECT_EQ(find("pl"), std::make_pair(1, 2));
    EXPECT_EQ(total_types, 2);  // the earlier types were cleared, not added to
    // The command rows hand over the file name in curfile.
    curfile.assign(file("b.att", "CASE ( nom , acc ) %\n"));
    qattribute();
    EXPECT_EQ(find("acc"), std::make_pair(1, 2));
    EXPECT_EQ(find("pl"), std::make_pair(0, 0));
    qtstinput();
    EXPECT_EQ(lines_of(kMsgCore).back(), "end of input");
    EXPECT_EQ(messages("token: %").size(), 1U);
    EXPECT_EQ(bits_to_text(0), "none");
    EXPECT_EQ(bits_to_text(text_to_bits("at, tm")), "AT, TM, LE, MR, GP");
    EXPECT_EQ(text_to_bits(" Sy "), 2 | 4);
    EXPECT_EQ(text_to_bits("all"), 8191);
    EXPECT_EQ(text_to_bits("XY,le"), 64 | 4096);
    EXPECT_EQ(lines_of(kMsgCore).back(), "XY not a file kind");
    EXPECT_EQ(text_to_bits("at,2"), 0);
    EXPECT_EQ(bits_to_text(8191), "AT, US, SY, MO, TB, TM, LE, IP, MR, TG, SM, LX, GP");
}
