// The attribute file, the name index, orders and valences, and attribute text in rules.
#include <string>
#include <tuple>
#include <vector>

#include "gento.hpp"
#include "report_fixture.hpp"

class AttributeTest : public ReportTest {
  protected:
    void load(const std::string& content) { readattr(file("attrs", content).c_str()); }
    static std::pair<int, int> find(const std::string& name) {
        if (lookup_attr(name) == 0) return {0, 0};
        return {att_class, att_value};
    }
    // Where each name is found, as "type:value"; 0:0 when it is not known.
    static std::string places(std::initializer_list<const char*> names) {
        std::string out;
        for (const char* name : names) {
            const auto [type, value] = find(name);
            out += (out.empty() ? "" : " ") + std::to_string(type) + ":" + std::to_string(value);
        }
        return out;
    }
    // The working rows as "type:value", a decon row marked with '/'.
    static std::string rows() {
        std::string out;
        for (int i = 0; i < attr_index; ++i) {
            const attr_row& r = attr[static_cast<std::size_t>(i)];
            out += (i > 0 ? " " : "") + std::string(r.decon != 0 ? "/" : "") +
                   std::to_string(r.type) + ":" + std::to_string(r.value);
        }
        return out;
    }
    static comp_attr parsed(const char* text, int decon_allowed = 0) {
        text_to_comp_struct(text, decon_allowed);
        return std::move(comp_attr_register);
    }
};

TEST_F(AttributeTest, TypesValuesAndTheNameIndex) {
    EXPECT_EQ(lookup_attr("sg"), 0);  // nothing loaded
    load("NUMBER ( sg , pl ) PERSON ( first , second , third ) %\nignored ( after , percent )");
    EXPECT_EQ(std::tuple(total_types, attr_table[1].entries, attr_table[2].entries),
              std::tuple(3, 3, 4));
    EXPECT_EQ(places({"sg", "pl", "NUMBER", "third", "after", "Sg"}), "1:1 1:2 1:-1 2:3 0:0 0:0");
    EXPECT_EQ(q_att_size, 2 + 2 + 3);
    EXPECT_STREQ(att_get_name(2, -1), "PERSON");
    EXPECT_STREQ(att_get_name(2, 2), "second");
    EXPECT_STREQ(att_get_name(2, 4), "IllegalValue");
    EXPECT_STREQ(att_get_name(3, 1), "IllegalClass");
    EXPECT_STREQ(att_get_name(-5, 1), "IllegalClass");
    EXPECT_EQ(count("ERROR"), 0);
    expect_once({"Finished reading attribute input from file '" + dir_ + "/attrs' [1 lines.]"});
    clearattributes();
    EXPECT_EQ(lookup_attr("sg"), 0);
    EXPECT_EQ(total_types, 1);
}

TEST_F(AttributeTest, OrdersAreClosedTransitivelyAndValidHonoursTheSign) {
    load("DEGREE ( pos < comp < sup ) CASE ( nom , acc ) %");
    EXPECT_EQ(std::tuple(attr_table[1].partial, attr_table[2].partial), std::tuple(1, 0));
    const int pos = 1, comp = 2, sup = 3;
    // {sign, type, value, than, holds}. Every value is both at or below and at or above itself;
    // without an order (CASE) only equality counts, whatever the sign; out-of-range values and
    // types never reach outside the tables.
    const std::vector<std::tuple<char, int, int, int, int>> cases = {
        {'<', 1, sup, pos, 1},   {'>', 1, sup, pos, 0},  {'>', 1, pos, sup, 1},
        {'<', 1, pos, sup, 0},   {'<', 1, comp, pos, 1}, {'=', 1, sup, pos, 0},
        {'<', 1, pos, pos, 1},   {'>', 1, pos, pos, 1},  {'<', 1, comp, comp, 1},
        {'>', 1, comp, comp, 1}, {'<', 1, sup, sup, 1},  {'>', 1, sup, sup, 1},
        {'<', 2, 1, 2, 0},       {'<', 2, 2, 2, 1},      {'<', 1, 300, 1, 0},
        {'<', 99, 3, 3, 1}};
    for (const auto& [sign, type, value, than, holds] : cases)
        EXPECT_EQ(valid(sign, type, value, than), holds) << sign << type << value << than;
}

TEST_F(AttributeTest, ValencesRepeatedValuesAndDuplicateNames) {
    load("VERB ( 2 give , 1 sleep , give < sleep , rest ) OTHER ( give , VERB ) %");
    const attr_table_entry& verb = attr_table[1];
    // give is not added twice.
    EXPECT_EQ(std::tuple(verb.entries, verb.valence[1], verb.valence[2], verb.valence[3]),
              std::tuple(4, 2, 1, 0));
    EXPECT_EQ(valid('<', 1, 2, 1), 1);  // the order declared with the repeated value holds
    EXPECT_EQ(messages("duplicated"),
              (std::vector<std::string>{
                  "ERROR attribute input  Warning: attribute value VERB duplicated",
                  "ERROR attribute input  Warning: attribute value give duplicated"}));
}

TEST_F(AttributeTest, WrongTokensAreReportedAndStillActedOn) {
    load("A ( x y ) B x ( z , ) C ( w )");
    EXPECT_EQ(count("Inappropriate"), 4);
    expect_once({"Inappropriate identifier: y", "Inappropriate identifier: x",
                 "Inappropriate char ')'", "Inappropriate EOF"});
    EXPECT_EQ(places({"y", "B", "z", "w"}), "1:2 2:-1 3:1 4:1");  // x outside a list began a type
    EXPECT_EQ(attr_table[2].entries, 1);
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
    EXPECT_EQ(total_types, 254);
    expect_once({"Table full BIG", "too many attribute types: T254",
                 "attribute type name too long: " + std::string(32, 'L'),
                 "too many attribute types: " + std::string(31, 'K')});
    EXPECT_EQ(places({"v254", "a254", "long"}), "0:0 0:0 0:0");
}

TEST_F(AttributeTest, AttributeTextParsesIntoRowsAndCompounds) {
    load("NUMBER ( sg , pl ) PERSON ( first , second , third ) GENDER ( m , f ) %");
    EXPECT_EQ(*text_to_comp_array("sg.third]", 0), ']');
    EXPECT_EQ(rows(), "1:1 2:3");
    EXPECT_EQ(all_values, 1);
    EXPECT_EQ(all_decon, 0);
    EXPECT_EQ(*text_to_comp_array("sg/GENDER,", 1), ',');
    EXPECT_EQ(rows(), "1:1 /3:-1");
    EXPECT_EQ(all_values, 0);
    // Without '/' allowed it ends the text.
    EXPECT_EQ(*text_to_comp_array("sg/GENDER,", 0), '/');
    EXPECT_EQ(rows(), "1:1");

    // make_comp_attr leaves decon rows out; make_full_comp_attr keeps them.
    text_to_comp_array("pl/m", 1);
    EXPECT_EQ(print_comp_attr(make_comp_attr().get()), "pl");
    comp_attr whole = make_full_comp_attr();
    EXPECT_EQ(print_comp_attr(whole.get()), "pl.m");
    EXPECT_EQ(print_comp_attr(dup_decon_comp_attr(whole.get()).get()), "pl");

    // The struct form makes new delay entries, fixed only where a value was named.
    const int before = delayptr;
    const comp_attr c = parsed("NUMBER.f/sg", 1);
    ASSERT_EQ(attr_seg_count(c.get()), 2);
    EXPECT_EQ(delayptr, before + 2);
    const t_delay& n = delay_at(comp_attr_element(c.get(), 1));
    EXPECT_EQ(std::make_tuple(n.class_, n.fixed, n.choice), std::make_tuple(1, 0, -1));
    EXPECT_EQ(delay_at(comp_attr_element(c.get(), 2)).fixed, 1);
    EXPECT_EQ(print_comp_attr(c.get()), "NUMBER.f");
}

TEST_F(AttributeTest, UnknownNamesEmptyTheResultAndVariablesShareTheirEntries) {
    load("NUMBER ( sg , pl ) GENDER ( m , f ) %");
    file_operation = "Syntax Input";
    file_position.assign("rule NP");
    EXPECT_EQ(*text_to_comp_array("sg.plural.m]", 0), ']');
    EXPECT_EQ(attr_index, 0);
    expect_once({"ERROR Syntax Input rule NP Unknown attribute plural.m "});
    EXPECT_EQ(parsed("bad.sg"), nullptr);

    // Variable 3 holds an undecided NUMBER and a settled GENDER; byte 255 and a number refer to a
    // variable in rule text.
    add_comp_attr(variable_table[3], new_delay(1, -1, 0));
    add_comp_attr(variable_table[3], new_delay(2, 2, 1));
    text_to_comp_array("\xff\x03.sg", 0);
    EXPECT_EQ(rows(), "1:-1 2:2 1:1");
    const int before = delayptr;
    const comp_attr c = parsed("\xff\x03.sg");
    EXPECT_EQ(delayptr, before + 1);  // only sg is new
    EXPECT_EQ(comp_attr_element(c.get(), 1), comp_attr_element(variable_table[3].get(), 1));
    // Variable numbers out of range and a reference cut off at the end are harmless.
    text_to_comp_array("\xff\x09\xff", 0);
    EXPECT_EQ(attr_index, 0);
}

TEST_F(AttributeTest, ComparingFindingAndChoosing) {
    load("NUMBER ( sg , pl ) GENDER ( m , f , n ) %");
    // An undecided segment on the left stands for any value of its type.
    comp_attr open = parsed("NUMBER.f");
    const comp_attr fixed = parsed("pl.f"), other = parsed("pl.m");
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
    attr_list holder;
    add_attr_to_list(holder, duplicate_comp_attr(open.get()));
    text_to_comp_array("pl.f", 0);
    const s_comp_attr* found = find_attr(holder.get());
    const t_delay& number = delay_at(comp_attr_element(open.get(), 1));
    EXPECT_EQ(number.fixed, 1);
    EXPECT_EQ(found != nullptr, number.choice == 2);
    EXPECT_EQ(print_comp_attr(open.get()), number.choice == 2 ? "pl.f" : "sg.f");
    // A row of -1 matches any value.
    text_to_comp_array("NUMBER.f", 0);
    EXPECT_EQ(find_attr(holder.get()), attr_list_element(holder.get(), 1));
    text_to_comp_array("f", 0);
    EXPECT_EQ(find_attr(holder.get()), nullptr);  // segment counts differ

    // find_type_in_attr looks only at one-segment compounds.
    attr_list singles;
    add_attr_to_list(singles, parsed("n"));
    add_attr_to_list(singles, parsed("sg"));
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
        EXPECT_EQ(getrandom(7), static_cast<int>(7.0 * s / 4294967296.0));
    }
    EXPECT_EQ(getrandom(0), 0);
    reseed(10);
    EXPECT_EQ(seed, 11U);
    expect_once({"Setting random seed: 11"});
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
    const std::string chosen = print_comp_attr(a.get());
    EXPECT_STREQ(att_get_name(2, delay_at(g).choice), chosen.c_str());
    EXPECT_TRUE(chosen == "m" || chosen == "f" || chosen == "n") << chosen;
    EXPECT_EQ(print_comp_attr(b.get()), chosen);
    EXPECT_EQ(delay_at(e).fixed, 0);  // a type without values has nothing to choose
    make_choice(-3);
    make_choice(kDelaySize);
}

TEST_F(AttributeTest, AttributeCommandUninstallsDependentsAndRecordsTheFile) {
    const std::string path = file("a.att", "NUMBER ( sg , pl ) %\n");
    install_attributes(path.c_str());
    EXPECT_EQ(messages("uninstalled: ").back(), "uninstalled: none");
    EXPECT_EQ(std::tuple(installed, gentofilename['a' - kFirstLetter]), std::tuple(1, path));
    installed |= 64 | 256 | 4096 | 32;
    install_attributes(path.c_str());
    EXPECT_EQ(messages("uninstalled: ").back(), "uninstalled: AT, LE, MR, GP");
    // The earlier types were cleared, not added to.
    EXPECT_EQ(std::tuple(installed, find("pl"), total_types),
              std::tuple(1 | 32, std::pair(1, 2), 2));
    // The command rows hand over the file name in curfile.
    curfile.assign(file("b.att", "CASE ( nom , acc ) %\n"));
    qattribute();
    EXPECT_EQ(places({"acc", "pl"}), "1:2 0:0");
    qtstinput();
    EXPECT_EQ(lines_of(kMsgCore).back(), "end of input");
    expect_once({"token: %"});
    EXPECT_EQ(bits_to_text(0), "none");
    EXPECT_EQ(bits_to_text(text_to_bits("at, tm")), "AT, TM, LE, MR, GP");
    EXPECT_EQ(std::tuple(text_to_bits(" Sy "), text_to_bits("all")), std::tuple(2 | 4, 8191));
    EXPECT_EQ(text_to_bits("XY,le"), 64 | 4096);
    EXPECT_EQ(lines_of(kMsgCore).back(), "XY not a file kind");
    EXPECT_EQ(text_to_bits("at,2"), 0);
    EXPECT_EQ(bits_to_text(8191), "AT, US, SY, MO, TB, TM, LE, IP, MR, TG, SM, LX, GP");
}
