// Fixture for the morphology tests: two attribute types, and helpers that build lexicon entries
// in their stored form, leaf sequences that point to them, and attribute lists.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "morphology.hpp"
#include "report_fixture.hpp"

class MorphTest : public ReportTest {
  protected:
    void SetUp() override {
        ReportTest::SetUp();
        // NUMBER is type 1 (sg 1, pl 2), PERSON type 2 (first 1, second 2).
        readattr(file("attrs", "NUMBER ( sg , pl ) PERSON ( first , second ) %").c_str());
    }

    using Segs = std::vector<std::pair<int, int>>;  // {type, value}; value -1: open

    void load_rules(const std::string& text) { new_readmorph(file("rules", text).c_str()); }
    void load_tables(const std::string& text) { new_readtables(file("tables", text).c_str()); }

    static std::string eval(const std::string& text) {
        m_exp(text.c_str());
        return moutput.data();
    }
    // Each {expression, output} row, evaluated in turn on the current node.
    static void expect_evals(std::initializer_list<std::pair<std::string, std::string>> rows) {
        for (const auto& [text, output] : rows)
            EXPECT_EQ(eval(text), output) << text;
    }
    // On the current node every guard of `hold` holds and every guard of `fail` fails.
    static void expect_guards(std::initializer_list<std::string> hold,
                              std::initializer_list<std::string> fail) {
        for (const std::string& g : hold)
            EXPECT_EQ(m_guard(g.c_str()), 1) << g;
        for (const std::string& g : fail)
            EXPECT_EQ(m_guard(g.c_str()), 0) << g;
    }

    // An entry as the lexicon stores it: word, terminal, coded attributes (a blank after each
    // compound of one segment), weight, further fields, at least two of them.
    static std::string entry(const std::string& word, const std::string& terminal, const Segs& segs,
                             const std::string& weight, std::vector<std::string> more) {
        std::string e = word + "|" + terminal + "|";
        for (const auto& [t, v] : segs)
            e += std::string{'\x19', static_cast<char>(t), static_cast<char>(v < 0 ? 255 : v), ' '};
        e += "|" + weight + "|";
        more.resize(std::max<std::size_t>(more.size(), 2));
        for (const std::string& f : more)
            e += f + "|";
        return e;
    }

    static comp_attr compound(const Segs& segs) {
        comp_attr c;
        for (const auto& [t, v] : segs)
            add_comp_attr(c, new_delay(t, v, v < 0 ? 0 : 1));
        return c;
    }
    // A list holding one compound of the given segments.
    static attr_list attrs(const Segs& segs) {
        attr_list l;
        add_attr_to_list(l, compound(segs));
        return l;
    }

    // A root whose right link starts a sequence of leaves, one per entry, each with a found
    // lookup record pointing to its entry.
    struct Leaves {
        treenode* root = nullptr;
        std::vector<treenode*> leaf;
        treenode* at(std::size_t i) const { return leaf.at(i); }
    };
    static Leaves leaves(const std::vector<const std::string*>& entries) {
        Leaves s{makenode("ROOT"), {}};
        for (const std::string* e : entries) {
            treenode* n = makenode("N");
            t_dict_lookup& d = dict_table[static_cast<std::size_t>(d_table_count)];
            n->index = d_table_count++;
            d.dictionary = e->c_str();
            d.error = 0;
            n->dictionary = &d;
            n->left = s.leaf.empty() ? nullptr : s.leaf.back();
            (s.leaf.empty() ? s.root : s.leaf.back())->right = n;
            s.leaf.push_back(n);
        }
        return s;
    }
};
