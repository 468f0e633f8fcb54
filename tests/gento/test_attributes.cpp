// The attribute file, the name index, orders and valences, and attribute text in rules.
#include <string>
#include <tuple>
#include <vector>

#include "gento.hpp"
#include "report_fixture.hpp"

class AttributeTest : public ReportTest {
  protected:
    void load(const std::string& content) {
        clearattributes();
        readattr(file("attrs", content).c_str());
    }
    // Where each name is found, as "type:value"; 0:0 when it is not known.
    static std::string places(std::initializer_list<const char*> names) {
        std::string out;
        for (const char* name : names) {
            const bool known = lookup_attr(name) != 0;
            out += (out.empty() ? "" : " ") + std::to_string(known ? att_class : 0) + ":" +
                   std::to_string(known ? att_value : 0);
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

TEST_F(AttributeTest, TypesValuesNamesAndTheirLimits) {
    EXPECT_EQ(lookup_attr("sg"), 0);  // nothing loaded
    load("NUMBER ( sg , pl ) PERSON ( first , second , third ) %\nignored ( after , percent )");
    EXPECT_EQ(places({"sg", "pl", "NUMBER", "third", "after", "Sg"}), "1:1 1:2 1:-1 2:3 0:0 0:0");
    EXPECT_EQ(std::tuple(total_types, q_att_size, count("ERROR")), std::tuple(3, 2 + 2 + 3, 0));
    // Names out of the tables never reach outside them.
    EXPECT_EQ(std::string(att_get_name(2, -1)) + att_get_name(2, 2) + att_get_name(2, 4) +
                  att_get_name(3, 1) + att_get_name(-5, 1),
              "PERSONsecondIllegalValueIllegalClassIllegalClass");
    // Wrong tokens are reported and still acted on: x outside a list began a type.
    load("A ( x y ) B x ( z , ) C ( w )");
    expect_once({"Inappropriate identifier: y", "Inappropriate identifier: x",
                 "Inappropriate char ')'", "Inappropriate EOF"});
    EXPECT_EQ(places({"y", "B", "z", "w", "sg"}), "1:2 2:-1 3:1 4:1 0:0");

    // 254 values a type and 254 types; longer names are refused, reading goes on.
    std::string many = "BIG (";
    for (int i = 1; i <= 254; ++i)
        many += (i > 1 ? ", v" : " v") + std::to_string(i);
    for (int t = 2; t <= 254; ++t)
        many += ")\nT" + std::to_string(t) + " ( a" + std::to_string(t);
    load(many + ")\n" + std::string(32, 'L') + " ( long ) " + std::string(31, 'K') + " ( x ) %");
    EXPECT_EQ(std::tuple(attr_table[1].entries, total_types), std::tuple(254, 254));
    expect_once({"Table full BIG", "too many attribute types: T254",
                 "attribute type name too long: " + std::string(32, 'L'),
                 "too many attribute types: " + std::string(31, 'K')});
    EXPECT_EQ(places({"v253", "v254", "a253", "a254", "long"}), "1:253 0:0 253:1 0:0 0:0");
}

TEST_F(AttributeTest, OrdersValencesAndRepeatedNames) {
    load("DEGREE ( pos < comp < sup ) CASE ( nom , acc ) %");
    // {sign, type, value, than, holds}: an order is closed transitively (sup, pos) and holds both
    // ways on a value itself; without an order (CASE) only equality counts, whatever the sign;
    // values and types out of range never reach outside the tables.
    const std::vector<std::tuple<char, int, int, int, int>> cases = {
        {'<', 1, 3, 1, 1}, {'>', 1, 3, 1, 0},   {'>', 1, 1, 3, 1}, {'<', 1, 1, 3, 0},
        {'<', 1, 2, 1, 1}, {'=', 1, 3, 1, 0},   {'>', 1, 2, 2, 1}, {'<', 2, 1, 2, 0},
        {'<', 2, 2, 2, 1}, {'<', 1, 300, 1, 0}, {'<', 99, 3, 3, 1}};
    for (const auto& [sign, type, value, than, holds] : cases)
        EXPECT_EQ(valid(sign, type, value, than), holds) << sign << type << value << than;

    load("VERB ( 2 give , 1 sleep , give < sleep , rest ) OTHER ( give , VERB ) %");
    const attr_table_entry& verb = attr_table[1];
    // give is not added twice; the order declared with the repeated value holds.
    EXPECT_EQ(std::tuple(verb.entries, verb.valence[1], verb.valence[2], verb.valence[3],
                         valid('<', 1, 2, 1)),
              std::tuple(4, 2, 1, 0, 1));
    expect_once({"ERROR attribute input  Warning: attribute value VERB duplicated",
                 "ERROR attribute input  Warning: attribute value give duplicated"});
}

TEST_F(AttributeTest, AttributeTextParsesIntoRowsAndCompounds) {
    load("NUMBER ( sg , pl ) PERSON ( first , second , third ) GENDER ( m , f ) %");
    // {text, '/' allowed, where it stops, rows, all values}
    for (const auto& [text, decon, stop, want, values] :
         {std::tuple("sg.third]", 0, ']', "1:1 2:3", 1),
          {"sg/GENDER,", 1, ',', "1:1 /3:-1", 0},
          {"sg/GENDER,", 0, '/', "1:1", 1}}) {
        EXPECT_EQ(*text_to_comp_array(text, decon), stop) << text;
        EXPECT_EQ(std::tuple(rows(), all_values), std::tuple(want, values)) << text;
    }
    // An unknown name empties the result and is reported where the rule is.
    file_operation = "Syntax Input";
    file_position.assign("rule NP");
    EXPECT_EQ(std::tuple(*text_to_comp_array("sg.plural.m]", 0), attr_index), std::tuple(']', 0));
    expect_once({"ERROR Syntax Input rule NP Unknown attribute plural.m "});
    EXPECT_EQ(parsed("bad.sg"), nullptr);
    // A variable (byte 255 and its number) out of range and cut off is harmless.
    text_to_comp_array("\xff\x09\xff", 0);
    EXPECT_EQ(attr_index, 0);
}

TEST_F(AttributeTest, ComparingFindingAndChoosing) {
    load("NUMBER ( sg , pl ) GENDER ( m , f , n ) EMPTY ( ) %");
    // An undecided segment on the left stands for any value of its type.
    const comp_attr open = parsed("NUMBER.f");
    const comp_attr fixed = parsed("pl.f"), other = parsed("pl.m"), one = parsed("f");
    const comp_attr* const c[] = {&open, &fixed, &other, &one};
    // "a b equal", a and b as indexes of c.
    for (const std::string& t : split("011 100 020 111 130 310", ' '))
        EXPECT_EQ(compare_comp_attr(c[t[0] - '0']->get(), c[t[1] - '0']->get()), t[2] - '0') << t;
    // find_attr settles an undecided segment when the row names a value, for all its holders.
    attr_list holder;
    add_attr_to_list(holder, duplicate_comp_attr(open.get()));
    text_to_comp_array("pl.f", 0);
    const s_comp_attr* found = find_attr(holder.get());
    const t_delay& number = delay_at(comp_attr_element(open.get(), 1));
    EXPECT_EQ(std::tuple(number.fixed, found != nullptr), std::tuple(1, number.choice == 2));
    EXPECT_EQ(print_comp_attr(open.get()), number.choice == 2 ? "pl.f" : "sg.f");
    text_to_comp_array("NUMBER.f", 0);  // a row of -1 matches any value
    EXPECT_EQ(find_attr(holder.get()), attr_list_element(holder.get(), 1));
    text_to_comp_array("f", 0);
    EXPECT_EQ(find_attr(holder.get()), nullptr);  // segment counts differ

    // Choices are drawn once and shared; a type without values has nothing to choose.
    const int g = new_delay(2, -1, 0), e = new_delay(3, -1, 0);
    comp_attr a, b;
    add_comp_attr(a, g);
    add_comp_attr(b, g);
    make_all_choices();
    const std::string chosen = print_comp_attr(a.get());
    EXPECT_TRUE(chosen == "m" || chosen == "f" || chosen == "n") << chosen;
    EXPECT_EQ(std::tuple(print_comp_attr(b.get()), delay_at(e).fixed), std::tuple(chosen, 0));
    make_choice(-3);
    make_choice(kDelaySize);
}

TEST_F(AttributeTest, AKeptParseFollowsItsTextAndTheAttributeIndex) {
    // Parses are kept between uses, but never outlive the text or the index that named them.
    load("NUMBER ( sg , pl ) CASE ( nom , acc ) %");
    char text[] = "pl.acc]";
    const auto rows_of = [](const char* t) {
        text_to_comp_array(t, 0);
        return rows();
    };
    EXPECT_EQ(rows_of(text) + " " + rows_of(text), "1:2 2:2 1:2 2:2");
    text[0] = 's';  // the same place now holds other text
    text[1] = 'g';
    EXPECT_EQ(rows_of(text), "1:1 2:2");
    load("CASE ( acc , nom ) NUMBER ( pl , sg ) %");  // names the values anew
    EXPECT_EQ(rows_of(text), "2:2 1:1");
    // A name the index does not know is reported at every use, never kept as an empty parse.
    char bad[] = "du.acc]";
    EXPECT_EQ(rows_of(bad) + rows_of(bad), "");
    EXPECT_EQ(count("Unknown attribute du.acc"), 2);
}
