// Indirection: a leaf's word replaced by a word its lexicon entry points to under a tag.
#include <map>
#include <string>
#include <vector>

#include "gento/terminal.hpp"
#include "indirect.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "report_fixture.hpp"

class IndirectTest : public ReportTest {
  protected:
    void SetUp() override {
        ReportTest::SetUp();
        readattr(file("attrs", "NUMBER ( sg , pl ) %").c_str());
        read_terminals(file("tmnls", "ADJ QUAL N").c_str());
        initdict();
    }
    void TearDown() override {
        for (treenode* n : nodes_)
            purge_tree(n);
        ReportTest::TearDown();
    }
    void lexicon(const std::string& lines) { readdict(file("lex", lines).c_str()); }

    // A leaf whose lookup has chosen the entry of `word` in terminal `cls`.
    treenode* leaf_on(const std::string& word, const std::string& cls, bool keep = true) {
        treenode* n = makenode(cls.c_str());
        if (keep) nodes_.push_back(n);
        t_dict_lookup& d = dict_table[static_cast<std::size_t>(d_table_count)];
        d.class_ = cls;
        d.preferredchoice = word;
        d.pointed_at = 1;
        getdictent(&d);
        EXPECT_EQ(d.error, 0) << word;
        n->dictionary = &d;
        n->index = d_table_count++;
        return n;
    }
    static void indirect(treenode* n, int field, const std::string& tag,
                         const std::string& attributes = "") {
        t_indirection ind = create_indir_node();
        ind->fieldnum = field;
        ind->tag = tag;
        ind->attributes = attributes;
        add_to_indir_list(n->indirections, std::move(ind));
    }
    // A leaf on `word` after one indirection through `tag` in `field`.
    treenode* follow(const std::string& word, const std::string& cls, int field,
                     const std::string& tag, const std::string& attributes = "") {
        treenode* n = leaf_on(word, cls);
        indirect(n, field, tag, attributes);
        process_indirect_ops(n);
        return n;
    }
    // The word of a node's chosen entry, without its quotes.
    static std::string word(const treenode* n) {
        if (n->dictionary == nullptr || n->dictionary->dictionary == nullptr) return "<none>";
        const std::string e = n->dictionary->dictionary;
        return e.substr(1, e.find('"', 1) - 1);
    }
    std::vector<treenode*> nodes_;
};

TEST_F(IndirectTest, TaggedPointersGiveEitherWordWithItsCategory) {
    lexicon(
        "\"huge\"|QUAL||10|SYN:\"big\"/ADJ,\"large\";ANT:\"small\"|\n"
        "\"big\"|ADJ||10||\n\"large\"|QUAL||10||\n\"large\"|ADJ||10||\n"
        "\"small\"|ADJ||10||\n\"small\"|QUAL||10||\n");
    std::map<std::string, int> seen;
    for (int i = 0; i < 200; ++i) {
        d_table_count = 0;
        treenode* n = follow("huge", "QUAL", 5, "SYN");
        ASSERT_EQ(std::tuple(d_table_count, n->dictionary), std::tuple(2, &dict_table[1]));
        // big names its category; large has none and keeps the terminal of its source.
        const std::string w = word(n);
        EXPECT_EQ(std::string(n->dictionary->dictionary).find(w == "big" ? "|ADJ|" : "|QUAL|"),
                  w.size() + 2);
        ++seen[w];
    }
    EXPECT_GT(std::min(seen["big"], seen["large"]), 60);
    d_table_count = 0;
    treenode* n = follow("huge", "QUAL", 5, "ANT");
    EXPECT_EQ(std::tuple(word(n), n->dictionary->class_), std::tuple("small", "QUAL"));
    EXPECT_EQ(count("ERROR"), 0);
}

TEST_F(IndirectTest, MissingTagsFieldsAndPointersLeaveTheWordAndSaySo) {
    lexicon(
        "\"huge\"|ADJ||10|SYN:\"big\"|\"tall\"|SYN:;NEAR:\"zzz\"|\n"
        "\"big\"|ADJ||10||\n");
    const std::string huge = "\"huge\"|ADJ||0010|SYN:\"big\"|\"tall\"|SYN:;NEAR:\"zzz\"|";
    treenode* n = leaf_on("huge", "ADJ");
    indirect(n, 5, "ANT");
    indirect(n, 5, "SYN");  // never reached: the first failure stops the node
    process_indirect_ops(n);
    EXPECT_EQ(std::tuple(word(n), d_table_count), std::tuple("huge", 1));
    follow("huge", "ADJ", 12, "SYN");
    follow("huge", "ADJ", 7, "SYN");
    expect_once({"Tag ANT not present in field 5 of " + huge, "Field 12 does not exist in " + huge,
                 "No pointers found for tag SYN, field 7 in " + huge});
    const int before = d_table_count;
    treenode* z = follow("huge", "ADJ", 7, "NEAR");
    EXPECT_EQ(std::tuple(word(z), z->index, d_table_count), std::tuple("huge", before, before + 1));
    EXPECT_EQ(count("category: ADJ, pointer: zzz, error number: 3"), 1);

    // An untagged group serves an indirection without a tag; tall is not in the lexicon yet.
    EXPECT_EQ(word(follow("huge", "ADJ", 6, "")), "huge");
    lexicon("\"tall\"|ADJ||10||\n");
    EXPECT_EQ(word(follow("huge", "ADJ", 6, "")), "tall");

    // A node without any lookup is left alone; more strings than a group may hold are refused.
    treenode* bare = makenode("ADJ");
    nodes_.push_back(bare);
    indirect(bare, 5, "SYN");
    process_indirect_ops(bare);
    EXPECT_EQ(bare->dictionary, nullptr);
    std::string many = "T";
    for (int i = 0; i < 60; ++i)
        many += ",\"w\"";
    locate_strings(many.c_str());
    EXPECT_EQ(std::tuple(str_index, count("Too many strings in one group")),
              std::tuple(kSubstrings, 1));
}

TEST_F(IndirectTest, ChainedIndirectionsWalkFromWordToWordInTheWholeTree) {
    lexicon(
        "\"huge\"|ADJ||10|SYN:\"big\"|\n\"big\"|ADJ||10|ANT:\"small\"/N|\n"
        "\"small\"|N||10||\n\"small\"|ADJ||10||\n\"c\"|N||10|T:\"d\"|\n\"d\"|N||10||\n");
    treenode* first = leaf_on("huge", "ADJ", false);
    treenode* second = leaf_on("c", "N", false);
    nodes_.push_back(node("S", {node("NP", {first, second})}));
    indirect(first, 5, "SYN");
    indirect(first, 5, "ANT");
    indirect(second, 5, "T");
    process_indirections(nodes_.back());
    EXPECT_EQ(std::tuple(word(first), first->dictionary->class_, word(second)),
              std::tuple("small", "N", "d"));
}

TEST_F(IndirectTest, TheIndirectionsAttributesChooseTheWordAndGoToTheNode) {
    lexicon("\"dog\"|N|sg|10|PL:\"dog*\"|\n\"dogs\"|N|pl|10||\n\"doggy\"|N|sg|10||\n");
    for (int i = 0; i < 20; ++i) {
        d_table_count = 0;
        treenode* n = follow("dog", "N", 5, "PL", "pl]");
        EXPECT_EQ(std::tuple(word(n), print_attr_list(n->attributes.get()),
                             print_attr_list(dict_table[1].attributes.get())),
                  std::tuple("dogs", "pl", "pl"));
    }
    // "!" takes the node's own compound of that type; without one the item adds nothing, nor
    // does an unknown name.
    treenode* s = leaf_on("dog", "N");
    text_to_comp_array("sg", 0);
    append_attr(s->attributes, make_comp_attr());
    const attr_list own = construct_attr_indir(s, "!NUMBER]");
    EXPECT_EQ(attr_list_element(own.get(), 1)->index,
              attr_list_element(s->attributes.get(), 1)->index);
    treenode* bare = leaf_on("dog", "N");
    EXPECT_EQ(construct_attr_indir(bare, "!NUMBER]"), nullptr);
    EXPECT_EQ(print_attr_list(construct_attr_indir(bare, "pl,zzz,sg]").get()), "pl, sg");
}
