// Fixture for the generation system's tests: the editor's store and every generation module at
// their start-up values, the character classes the reader relies on, and scratch rule files.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../editor/store_fixture.hpp"
#include "attr_data.hpp"
#include "attr_fns.hpp"
#include "attr_list.hpp"
#include "input_base.hpp"
#include "misc.hpp"
#include "termutils.hpp"
#include "trees.hpp"
#include "uninstall.hpp"

class GentoTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        saved_charkind_ = charkind;
        set_initial_charkind();
        reset_input_base();
        reset_attr_list();
        reset_attr_fns();
        reset_trees();
        clearattributes();
        reset_uninstall();
        seed = 1;
        std::string tmpl = (std::filesystem::temp_directory_path() / "gentoXXXXXX").string();
        dir_ = mkdtemp(tmpl.data()) != nullptr ? tmpl : std::string();
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override {
        reset_input_base();
        reset_attr_fns();
        reset_trees();
        charkind = saved_charkind_;
        std::filesystem::remove_all(dir_);
        StoreTest::TearDown();
    }

    // The editor's character classes at start-up.
    static void set_initial_charkind() {
        charkind.fill(0);
        for (int c = 'A'; c <= 'Z'; ++c)
            charkind[static_cast<std::size_t>(c)] = 1;
        for (int c = 'a'; c <= 'z'; ++c)
            charkind[static_cast<std::size_t>(c)] = 1;
        for (int c = '0'; c <= '9'; ++c)
            charkind[static_cast<std::size_t>(c)] = 65;
        charkind['_'] = 1;
        for (int c : {192, 194, 199, 200, 201, 202, 206, 212, 217, 219,
                      224, 226, 231, 232, 233, 234, 238, 244, 249, 251}) {
            charkind[static_cast<std::size_t>(c)] = 1;
        }
        for (int c : {10, 32, 44, 58, 59})
            charkind[static_cast<std::size_t>(c)] = 2;
        charkind['!'] = 70;
        charkind['.'] = 70;
        charkind['?'] = 6;
        charkind[4] = 7;
        for (int c : {'#', '&', '\'', '(', ')', '*', '+', '-', '/', '<', '=', '>'}) {
            charkind[static_cast<std::size_t>(c)] = 64;
        }
    }

    // Writes a scratch file and returns its path.
    std::string file(const std::string& name, const std::string& content) const {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    // Lines of a core file, in order.
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
        for (const std::string& l : lines_of(kMsgCore)) {
            if (l.find(needle) != std::string::npos) out.push_back(l);
        }
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

  private:
    std::array<int, 256> saved_charkind_{};
};
