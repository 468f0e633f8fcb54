// Fixture for the response-analysis tests: a small rule set read through its readers, and
// sentences built from leaves that point to its lexicon entries, as a generation leaves them.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "report_fixture.hpp"
#include "stud_err.hpp"
#include "stud_ind.hpp"
#include "stud_mor.hpp"
#include "stud_phon.hpp"
#include "stud_read.hpp"
#include "stud_report.hpp"

class AnalysisTest : public ReportTest {
  protected:
    // Fields 5 and 6 inflect a word, 7 and 8 give its sounds (the phonology passes are set to
    // them), 9 holds related words.
    static constexpr const char* kLexicon =
        "\"the\"|DET||1|#1|\n\"dog\"|N|NUMBER|1|#1|$NOUN|\"dOg\"|$IPL|SYN:\"hound\"|\n"
        "\"cat\"|N|NUMBER|1|#1|$NOUN|\"kat\"|$IPL|\n\"hound\"|N|NUMBER|0|#1|$NOUN|\n"
        "\"run\"|V|NUMBER, PERSON|1|#1|$VERB|\"rVn\"|$IVERB|\n"
        "\"big\"|ADJ||1|#1||\"big\"||SYN:\"large\";ANT:\"small\"|\n\"large\"|ADJ||0|#1|\n"
        "\"small\"|ADJ||0|#1|\n\"`\"|CAP||1|#1|\n\",\"|PUNCT||1|\"^,\"|\n"
        "\".\"|PUNCT||1|\"^.\"|\n\"yes\"|WORD||1|#1||\"yEs\"|\n"
        "\"cot\"|N|NUMBER|1|#1|$NOUN|\"kat\"|$IPL|\n"
        "\"long\"|WORD||1|#1||\"aaaaaaaaaaaaaaaaaaaaa\"|\n"
        "\"ten\"|WORD||1|#1||\"aaaaaaaaaaaaaaaaaaaa\"|\n"
        "\"fast\"|ADJ||1|#1||||SYN:\"run\"/V|\n\"odd\"|ADJ||1|#1||||ABC|\n"
        "\"bad\"|ADJ||1|#1||||SYN:\"nothing\"|\n\"open\"|ADJ||1|#1||||SYN:\"large|\n";
    static constexpr const char* kRules =
        "RULE NOUN sg : ! ; * : ! \"s\" ;\nRULE VERB third , sg : ! \"s\" ; * : ! ;\n"
        "RULE IPL sg : ! ; * : ! \"z\" ;\nRULE IVERB third , sg : ! \"z\" ; * : ! ;\n";
    static constexpr const char* kSounds =
        "\"k\" ( \"c\" , \"k\" ) \"a\" ( \"a\" ) \"t\" ( \"t\" ) \"d\" ( \"d\" ) \"O\" ( \"o\" )"
        "\"g\" ( \"g\" ) \"z\" ( \"s\" , \"z\" ) \"r\" ( \"r\" ) \"V\" ( \"u\" , \"o\" )"
        "\"n\" ( \"n\" ) \"y\" ( \"y\" ) \"E\" ( \"e\" , \"ai\" ) \"s\" ( \"s\" )"
        "\"b\" ( \"b\" ) \"i\" ( \"i\" )";

    void SetUp() override {
        ReportTest::SetUp();
        set_command_capture(&screen_);
        readattr(file("a.att", "NUMBER ( sg , pl ) PERSON ( first , second , third ) %").c_str());
        read_terminals(file("t.tm", "DET N V ADJ CAP PUNCT WORD").c_str());
        initdict();
        readdict(file("l.lex", kLexicon).c_str());
        new_readmorph(file("m.mor", kRules).c_str());
        morph_passes[kPassRows - 1] = {0, 7, 8, 0, 0, 0};
    }
    void TearDown() override {
        set_command_capture(nullptr);
        ReportTest::TearDown();
    }

    void errors(const std::string& text) { merror_readtables(file("e.mre", text).c_str()); }
    void sounds(const std::string& text = kSounds) { phon_readtables(file("p.ipa", text).c_str()); }
    void tags(const std::string& text) { tag_readtables(file("g.tag", text).c_str()); }

    // A leaf of `terminal` whose word is the lexicon entry of `word`, with one-segment compounds
    // of the named values, and its form made by fields 5 and 6.
    static treenode* leaf(const char* terminal, const char* word,
                          const std::vector<const char*>& values = {}) {
        treenode* n = makenode(terminal);
        for (const char* v : values) {
            EXPECT_EQ(lookup_attr(v), 1) << v;
            comp_attr c;
            add_comp_attr(c, new_delay(att_class, att_value, 1));
            add_attr_to_list(n->attributes, std::move(c));
        }
        t_dict_lookup& d = dict_table[static_cast<std::size_t>(d_table_count)];
        n->index = d_table_count++;
        n->dictionary = &d;
        d.class_ = terminal;
        const int t = lookup_terminal(terminal);
        const recnode* r = t >= 0 ? exactword(("\"" + std::string(word) + "\"").c_str(),
                                              dictionary[static_cast<std::size_t>(t)])
                                  : nullptr;
        EXPECT_NE(r, nullptr) << word;
        d.dictionary = r != nullptr ? r->recordptr : nullptr;
        d.error = r != nullptr ? 0 : 3;
        morph_word(n, 5);
        morph_word(n, 6);
        return n;
    }

    // The leaves as the tree of root r of a generation, threaded, with its sentence.
    static treenode* sentence(int r, const std::vector<treenode*>& leaves) {
        treenode* top = makenode("S");
        treenode** slot = &top->son;
        treenode* before = nullptr;
        std::string words;
        for (treenode* l : leaves) {
            *slot = l;
            slot = &l->sibling;
            l->left = before;
            (before != nullptr ? before->right : top->right) = l;
            before = l;
            if (!l->morphed_word.empty()) words += (words.empty() ? "" : " ") + l->morphed_word;
        }
        sentbuf.assign_cut(words);
        postmorph();
        rootPtrs[static_cast<std::size_t>(r)] = top;
        genSentences[static_cast<std::size_t>(r)] = std::make_unique<std::string>(sentbuf2.view());
        return top;
    }
    // "the dog runs" (a sg.third subject) as root 2.
    static treenode* the_dog_runs(int r = 2) {
        return sentence(
            r, {leaf("DET", "the"), leaf("N", "dog", {"sg"}), leaf("V", "run", {"sg", "third"})});
    }

    // The report of the whole analysis of `response` against the root set (core file 15).
    static std::vector<std::string> analyse(const std::string& response) {
        return added_by([&] { err_analysis(std::string_view(response)); }, 15);
    }
    // The report lines after the four heading lines.
    static std::vector<std::string> pairs(const std::string& response) {
        const std::vector<std::string> l = analyse(response);
        return {l.begin() + std::min<long>(4, std::ssize(l)), l.end()};
    }

    // The lines, each ended by a bar, to compare as one.
    static std::string joined(const std::vector<std::string>& lines) {
        std::string s;
        for (const std::string& l : lines)
            s += l + "|";
        return s;
    }
    bool shown(const std::string& s) const {
        return std::ranges::find(screen_, s) != screen_.end();
    }
    std::vector<std::string> screen_;
};
