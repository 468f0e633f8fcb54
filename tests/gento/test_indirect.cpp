// Indirection: a leaf's word replaced by a word its lexicon entry points to under a tag.
#include <map>
#include <string>
#include <vector>

#include "gento/terminal.hpp"
#include "gento_fixture.hpp"
#include "indirect.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"

class IndirectTest : public GentoTest {
  protected:
    void SetUp() override {
        GentoTest::SetUp();
        readattr(file("attrs", "NUMBER ( sg , pl ) %").c_str());
        read_terminals(file("tmnls", "ADJ QUAL N").c_str());
        initdict();
    }
    void TearDown() override {
        for (treenode* n : nodes_)
            purge_tree(n);
        clearlexicon();
        clear_terminals();
        GentoTest::TearDown();
    }
    void lexicon(const std::string& lines) { readdict(file("lex", lines).c_str()); }

    // A leaf whose lookup has chosen the entry of `word` in terminal `cls`.
    treenode* leaf_on(const std::string& word, const std::string& cls) {
        treenode* n = makenode(cls.c_str());
        nodes_.push_back(n);
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
        std::string e = n->dictionary->dictionary;
        e = e.substr(0, e.find('|'));
        if (e.size() >= 2 && e.front() == '"') e = e.substr(1, e.size() - 2);
        return e;
    }
    std::vector<treenode*> nodes_;
};

TEST_F(IndirectTest, TaggedPointersGiveEitherWordWithItsClass) {
    lexicon(
        "\"huge\"|QUAL||10|SYN:\"big\"/ADJ,\"large\";ANT:\"small\"|\n"
        "\"big\"|ADJ||10||\n\"large\"|QUAL||10||\n\"large\"|ADJ||10||\n"
        "\"small\"|ADJ||10||\n\"small\"|QUAL||10||\n");
    std::map<std::string, int> seen;
    for (int i = 0; i < 400; ++i) {
        d_table_count = 0;
        treenode* n = follow("huge", "QUAL", 5, "SYN");
        ASSERT_EQ(d_table_count, 2);
        EXPECT_EQ(n->dictionary, &dict_table[1]);
        EXPECT_EQ(n->index, 1);
        const std::string w = word(n);
        // big names its class; large has none and keeps the class of the entry it came from.
        if (w == "big") {
            EXPECT_EQ(dict_table[1].class_, "ADJ");
            EXPECT_EQ(std::string(category.view()), "ADJ");
        } else {
            EXPECT_EQ(w, "large");
            EXPECT_EQ(dict_table[1].class_, "QUAL");
            EXPECT_STREQ(dict_table[1].dictionary, "\"large\"|QUAL||0010|||");
        }
        EXPECT_EQ(dict_table[1].preferredchoice, w);
        ++seen[w];
    }
    EXPECT_EQ(seen.size(), 2U);
    EXPECT_GT(seen["big"], 140);
    EXPECT_GT(seen["large"], 140);
    EXPECT_TRUE(messages("ERROR").empty());

    // ANT offers small only; no category given: the entry's own terminal.
    d_table_count = 0;
    treenode* n = follow("huge", "QUAL", 5, "ANT");
    EXPECT_EQ(word(n), "small");
    EXPECT_EQ(n->dictionary->class_, "QUAL");
}

TEST_F(IndirectTest, MissingTagsFieldsAndPointersStopTheNode) {
    lexicon(
        "\"huge\"|ADJ||10|SYN:\"big\"|\"tall\"|SYN:;NEAR:\"zzz\"|\n"
        "\"big\"|ADJ||10||\n");
    const std::string huge = "\"huge\"|ADJ||0010|SYN:\"big\"|\"tall\"|SYN:;NEAR:\"zzz\"|";

    treenode* n = leaf_on("huge", "ADJ");
    indirect(n, 5, "ANT");
    indirect(n, 5, "SYN");  // never reached: the first failure stops the node
    process_indirect_ops(n);
    EXPECT_EQ(word(n), "huge");
    EXPECT_EQ(d_table_count, 1);
    EXPECT_EQ(messages("Tag ANT not present in field 5 of " + huge).size(), 1U);
    EXPECT_EQ(messages("No proper pointer obtained: tag ANT, field 5 in " + huge).size(), 1U);

    // A field the entry does not have; a tag with no pointers; a pointer that names no entry.
    follow("huge", "ADJ", 12, "SYN");
    EXPECT_EQ(messages("Field 12 does not exist in " + huge).size(), 1U);
    EXPECT_EQ(messages("No proper pointer obtained: tag SYN, field 12 in").size(), 1U);
    follow("huge", "ADJ", 7, "SYN");
    EXPECT_EQ(messages("No pointers found for tag SYN, field 7 in " + huge).size(), 1U);
    const int before = d_table_count;
    treenode* z = follow("huge", "ADJ", 7, "NEAR");
    EXPECT_EQ(word(z), "huge");
    EXPECT_EQ(z->index, before);
    EXPECT_EQ(d_table_count, before + 1);  // only the leaf's own lookup
    EXPECT_EQ(messages("Unable to match indirection pointer").size(), 1U);
    EXPECT_EQ(messages("category: ADJ, pointer: zzz, error number: 3").size(), 1U);

    // An untagged group serves an indirection without a tag; tall is not in the lexicon yet, so
    // the leaf keeps its word the first time.
    EXPECT_EQ(word(follow("huge", "ADJ", 6, "")), "huge");
    lexicon("\"tall\"|ADJ||10||\n");
    EXPECT_EQ(word(follow("huge", "ADJ", 6, "")), "tall");

    // A lookup without a chosen entry; a node without any lookup is left alone.
    treenode* w = makenode("ADJ");
    treenode* bare = makenode("ADJ");
    nodes_.insert(nodes_.end(), {w, bare});
    t_dict_lookup& d = dict_table[static_cast<std::size_t>(d_table_count)];
    d.class_ = "ADJ";
    w->dictionary = &d;
    for (treenode* m : {w, bare}) {
        indirect(m, 5, "SYN");
        process_indirect_ops(m);
    }
    EXPECT_EQ(messages("wrong tag or field number? tag SYN in field 5").size(), 1U);
    EXPECT_EQ(bare->dictionary, nullptr);
}

TEST_F(IndirectTest, ChainedIndirectionsWalkFromWordToWordInTreeOrder) {
    lexicon(
        "\"huge\"|ADJ||10|SYN:\"big\"|\n\"big\"|ADJ||10|ANT:\"small\"/N|\n"
        "\"small\"|N||10||\n\"small\"|ADJ||10||\n"
        "\"a\"|N||10|T:\"b\"|\n\"b\"|N||10||\n\"c\"|N||10|T:\"d\"|\n\"d\"|N||10||\n");
    treenode* n = leaf_on("huge", "ADJ");
    indirect(n, 5, "SYN");
    indirect(n, 5, "ANT");
    process_indirect_ops(n);
    EXPECT_EQ(word(n), "small");
    EXPECT_EQ(n->dictionary->class_, "N");
    EXPECT_EQ(d_table_count, 3);
    EXPECT_EQ(dict_table[1].preferredchoice, "big");
    EXPECT_EQ(n->index, 2);

    // Every leaf of a tree, in order.
    d_table_count = 0;
    treenode* first = leaf_on("a", "N");
    treenode* second = leaf_on("c", "N");
    nodes_.resize(nodes_.size() - 2);
    nodes_.push_back(node("S", {node("NP", {first, second})}));
    indirect(first, 5, "T");
    indirect(second, 5, "T");
    process_indirections(nodes_.back());
    EXPECT_EQ(word(first), "b");
    EXPECT_EQ(word(second), "d");
    EXPECT_EQ(first->index, 2);
    EXPECT_EQ(second->index, 3);
}

TEST_F(IndirectTest, AttributesOfTheIndirection) {
    lexicon("\"dog\"|N|sg|10|PL:\"dog*\"|\n\"dogs\"|N|pl|10||\n\"doggy\"|N|sg|10||\n");
    for (int i = 0; i < 20; ++i) {
        d_table_count = 0;
        treenode* n = follow("dog", "N", 5, "PL", "pl]");
        EXPECT_EQ(word(n), "dogs");
        EXPECT_EQ(print_attr_list(n->attributes.get()), "pl");
        EXPECT_EQ(print_attr_list(dict_table[1].attributes.get()), "pl");
    }
    // "!" takes the node's own compound of that type; without one the item adds nothing.
    treenode* s = leaf_on("dog", "N");
    text_to_comp_array("sg", 0);
    append_attr(s->attributes, make_comp_attr());
    attr_list own = construct_attr_indir(s, "!NUMBER]");
    EXPECT_EQ(print_attr_list(own.get()), "sg");
    EXPECT_EQ(attr_list_element(own.get(), 1)->index,
              attr_list_element(s->attributes.get(), 1)->index);
    treenode* bare = leaf_on("dog", "N");
    EXPECT_EQ(construct_attr_indir(bare, "!NUMBER]"), nullptr);
    // Equal compounds appear once; an unknown name adds nothing; a text that ends without its
    // bracket ends the list there.
    EXPECT_EQ(print_attr_list(construct_attr_indir(bare, "pl,zzz,sg]").get()), "pl, sg");
    EXPECT_EQ(print_attr_list(construct_attr_indir(bare, "pl").get()), "pl");
}

TEST_F(IndirectTest, GroupsAndFieldEnds) {
    const char* field = "SYN:\"b;ig\"/ADJ,\"x\" ; ANT:\"small\"|rest";
    const char* next = locate_strings(field);
    auto sub = [&](int i) {
        return std::string(field + substr[i].start, static_cast<std::size_t>(substr[i].count));
    };
    ASSERT_EQ(str_index, 4);
    EXPECT_EQ(sub(0), "SYN");
    EXPECT_EQ(sub(1), "\"b;ig\"");
    EXPECT_EQ(substr[2].sep, '/');
    EXPECT_EQ(substr[3].sep, ',');
    EXPECT_EQ(std::string(next), " ANT:\"small\"|rest");
    const char* last = locate_strings(next);
    EXPECT_EQ(str_index, 2);
    EXPECT_EQ(*last, '|');

    EXPECT_EQ(std::string(forward_next_tag(field)), "ANT:\"small\"|rest");
    EXPECT_EQ(std::string(forward_next_tag("\"a;b\"|x")), "|x");
    EXPECT_EQ(forward_next_tag("SYN:\"a\""), nullptr);
    EXPECT_EQ(messages("[Indirection] Unexpected end of lexical entry").size(), 1U);

    // More strings than the work area holds: the rest are refused with a report.
    std::string many = "T";
    for (int i = 0; i < 60; ++i)
        many += ",\"w\"";
    locate_strings(many.c_str());
    EXPECT_EQ(str_index, kSubstrings);
    EXPECT_EQ(messages("Too many strings in one group").size(), 1U);
}
