// Fixture for the generation system's tests: the editor's store and every generation module at
// their start-up values, and scratch rule files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "../editor/store_fixture.hpp"
#include "attr_data.hpp"
#include "attr_fns.hpp"
#include "attr_list.hpp"
#include "gento.hpp"
#include "gento/terminal.hpp"
#include "indirect.hpp"
#include "input_base.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "lt_mem.hpp"
#include "lt_misc.hpp"
#include "misc.hpp"
#include "morphology.hpp"
#include "print_procs.hpp"
#include "semantic.hpp"
#include "stud_err.hpp"
#include "stud_ind.hpp"
#include "stud_mor.hpp"
#include "stud_phon.hpp"
#include "stud_read.hpp"
#include "syn_cf.hpp"
#include "syn_globals.hpp"
#include "syn_misc.hpp"
#include "syn_read.hpp"
#include "syn_tran.hpp"
#include "termutils.hpp"
#include "trees.hpp"
#include "uninstall.hpp"

class GentoTest : public StoreTest {
  protected:
    // Every generation module at its start-up values, in this order: modules that hold tree nodes
    // (related words, preselection clauses) release them before the node pool is reset.
    static void reset_gento() {
        for (void (*reset)() :
             {reset_stud_ind,  reset_stud_err,    reset_stud_mor,   reset_stud_phon,
              reset_stud_read, reset_input_base,  reset_attr_fns,   reset_syn_globals,
              reset_syn_cf,    reset_syn_read,    reset_morphology, reset_syn_misc,
              reset_syn_tran,  reset_print_procs, reset_lt_mem,     reset_lt_misc,
              reset_semantic,  reset_trees,       reset_gento_cmds, reset_lex_scan,
              reset_lex_read,  reset_terminal,    reset_indirect,   reset_attr_list,
              clearattributes, reset_uninstall})
            reset();
    }
    void SetUp() override {
        StoreTest::SetUp();
        reset_gento();
        seed = 1;
        std::string tmpl = (std::filesystem::temp_directory_path() / "gentoXXXXXX").string();
        dir_ = mkdtemp(tmpl.data()) != nullptr ? tmpl : std::string();
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override {
        reset_gento();
        std::filesystem::remove_all(dir_);
        StoreTest::TearDown();
    }

    // The lines that `action` adds to core file n (the message core file by default).
    template <class Action>
    static std::vector<std::string> added_by(Action action, int n = kMsgCore) {
        const std::size_t before = lines_of(n).size();
        action();
        std::vector<std::string> all = lines_of(n);
        return {all.begin() + static_cast<long>(std::min(before, all.size())), all.end()};
    }

    std::string file(const std::string& name, const std::string& content) const {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    static std::vector<std::string> lines_of(int n) {
        std::vector<std::string> out;
        const COREFILE& cf = core[static_cast<std::size_t>(n)];
        for (LINE* l = cf.header->down; l != cf.header; l = l->down)
            out.push_back(text(l));
        return out;
    }
    // Lines of the message core file that contain `needle`.
    static std::vector<std::string> messages(const std::string& needle) {
        std::vector<std::string> out;
        for (const std::string& l : lines_of(kMsgCore))
            if (l.find(needle) != std::string::npos) out.push_back(l);
        return out;
    }

    static treenode* node(const char* name, std::initializer_list<treenode*> daughters = {}) {
        treenode* n = makenode(name);
        treenode** slot = &n->son;
        for (treenode* d : daughters) {
            *slot = d;
            slot = &d->sibling;
        }
        return n;
    }
    // A tree as text: "S(NP(DET N) VP)".
    static std::string shape(const treenode* n) {
        std::string s = n->name;
        if (n->son == nullptr) return s;
        for (const treenode* d = n->son; d != nullptr; d = d->sibling)
            s += (d == n->son ? "(" : " ") + shape(d);
        return s + ")";
    }
    static std::vector<std::string> daughters(const treenode* n) {
        std::vector<std::string> out;
        for (const treenode* d = n->son; d != nullptr; d = d->sibling)
            out.push_back(d->name);
        return out;
    }

    // Every token of a file, as tok2str describes it.
    static std::vector<std::string> tokens(const std::string& path, int lfr = 0) {
        std::vector<std::string> out;
        openfile(path.c_str(), lfr);
        for (int guard = 0; q_peep() != kTokEof && guard < 100000; ++guard) {
            out.emplace_back(tok2str(q_peep()));
            q_next();
        }
        return out;
    }

    std::string dir_;
};
