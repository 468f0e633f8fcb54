// Inflecting a leaf sequence: two passes over 1000 leaves whose entries call guarded rules and a
// table indexed by three attributes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "attr_data.hpp"
#include "attr_list.hpp"
#include "corutils.hpp"
#include "input_base.hpp"
#include "morphology.hpp"
#include "syn_globals.hpp"
#include "termutils.hpp"
#include "trees.hpp"

namespace {

std::string scratch(const std::string& text) {
    char tmpl[] = "/tmp/oru_benchXXXXXX";
    const int fd = mkstemp(tmpl);
    if (fd >= 0) close(fd);
    std::ofstream(tmpl, std::ios::binary) << text;
    return tmpl;
}

class MorphFixture : public benchmark::Fixture {
  public:
    void SetUp(const benchmark::State&) override {
        reset_keys();
        reset_store();
        reset_input_base();
        reset_attr_list();
        reset_trees();
        reset_syn_globals();
        reset_morphology();
        files_ = {scratch("NUMBER ( sg , pl ) PERSON ( first , second , third ) "
                          "TENSE ( present , past ) %"),
                  scratch("RULE NOUN sg : ! ; * : $S_FORM ;\n"
                          "RULE S_FORM \"*s\" | \"*sh\" | \"*ch\" | \"*x\" : ! \"es\" ;\n"
                          "  \"*ay\" | \"*ey\" | \"*oy\" : ! \"s\" ; \"*y\" : ! - \"ies\" ;\n"
                          "  * : ! \"s\" ;\n"
                          "RULE VERB past , \"*e\" : ! \"d\" ; past : ! \"ed\" ;\n"
                          "  third , sg : $S_FORM ; * : ! ;\n"),
                  scratch("BE ( \"am\" , \"are\" , \"is\" , \"are\" , \"are\" , \"are\" ,"
                          " \"was\" , \"were\" , \"was\" , \"were\" , \"were\" , \"were\" )")};
        readattr(files_[0].c_str());
        new_readmorph(files_[1].c_str());
        new_readtables(files_[2].c_str());
        const char* const kinds[] = {
            "\"baby\"|N||0001|#1|$NOUN|",
            "\"witch\"|N||0001|#1|$NOUN|",
            "\"like\"|V||0001|#1|$VERB|",
            "\"be\"|COP||0001|#1|BE(TENSE,NUMBER,PERSON)|",
        };
        root_ = makenode("ROOT");
        treenode* prev = nullptr;
        for (int i = 0; i < kLeaves; ++i) {
            treenode* n = makenode("W");
            t_dict_lookup& d = dict_table[static_cast<std::size_t>(i % kLookups)];
            d.dictionary = kinds[i % 4];
            n->dictionary = &d;
            for (int t = 1; t <= 3; ++t) {
                comp_attr c;
                add_comp_attr(c, new_delay(t, 1 + (i + t) % 2, 1));
                add_attr_to_list(n->attributes, std::move(c));
            }
            n->left = prev;
            (prev != nullptr ? prev->right : root_->right) = n;
            prev = n;
        }
    }
    void TearDown(const benchmark::State&) override {
        reset_morphology();
        reset_syn_globals();
        reset_trees();
        for (const std::string& f : files_)
            std::remove(f.c_str());
    }

  protected:
    static constexpr int kLeaves = 1000;
    treenode* root_ = nullptr;
    std::vector<std::string> files_;
};

BENCHMARK_F(MorphFixture, InflectThousandLeaves)(benchmark::State& state) {
    for (auto _ : state) {
        for (treenode* n = root_->right; n != nullptr; n = n->right)
            n->morphed_word.clear();
        morph_tree(root_, 5);
        morph_tree(root_, 6);
        benchmark::DoNotOptimize(root_->right->morphed_word.data());
    }
    state.SetItemsProcessed(state.iterations() * kLeaves);
}

}  // namespace
