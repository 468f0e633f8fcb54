// Parses of attribute texts are kept between uses: a kept parse never outlives the text it was
// made from or the attribute index that named its values, and a bad text is reported every time.
#include <string>

#include "gento_fixture.hpp"

class KeptParseTest : public GentoTest {
  protected:
    void load(const std::string& content) { readattr(file("attrs", content).c_str()); }
    // The working rows after parsing `text`, as "type:value" pairs.
    static std::string rows_of(const char* text) {
        text_to_comp_array(text, 0);
        std::string out;
        for (int i = 0; i < attr_index; ++i) {
            const attr_row& r = attr[static_cast<std::size_t>(i)];
            out += (i > 0 ? " " : "") + std::to_string(r.type) + ":" + std::to_string(r.value);
        }
        return out;
    }
};

TEST_F(KeptParseTest, AKeptParseFollowsItsTextAndTheAttributeIndex) {
    load("NUMBER ( sg , pl ) CASE ( nom , acc ) %");
    char text[] = "pl.acc]";
    EXPECT_EQ(rows_of(text), "1:2 2:2");
    EXPECT_EQ(rows_of(text), "1:2 2:2");  // the kept parse gives the same rows
    text[0] = 's';                        // the same place now holds other text
    text[1] = 'g';
    EXPECT_EQ(rows_of(text), "1:1 2:2");
    // A new attribute file names the values anew: what was kept from the old one is not used.
    clearattributes();
    load("CASE ( acc , nom ) NUMBER ( pl , sg ) %");
    EXPECT_EQ(rows_of(text), "2:2 1:1");
    // A name the index does not know is reported at every use, never kept as an empty parse.
    char bad[] = "du.acc]";
    const auto reports = added_by([&] {
        EXPECT_EQ(rows_of(bad), "");
        EXPECT_EQ(rows_of(bad), "");
    });
    EXPECT_EQ(reports.size(), 2u);
}
