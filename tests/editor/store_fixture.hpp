// Fixture that brings the editor's shared state and the text store to their start-up values.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "centre.hpp"
#include "corutils.hpp"
#include "cstars.hpp"
#include "editor.hpp"
#include "globals.hpp"
#include "linutils.hpp"
#include "reformat.hpp"
#include "scrout.hpp"
#include "tabs.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_globals();
        reset_geometry();
        reset_editor();
        reset_keys();
        set_keyboard(nullptr);  // messages are answered with Return
        reset_scrout();
        linepool::fail_after(-1);
        reset_store();
        reset_tabs();
        reset_centre();
        reset_reformat();
        reset_cstars();
    }
    void TearDown() override { linepool::fail_after(-1); }

    // Text of a line as stored.
    static std::string text(const LINE* l) {
        if (l->object == kObjNew || l->object == kObjPicture) return {};
        return {reinterpret_cast<const char*>(textbase.data() + l->index),
                static_cast<std::size_t>(l->length)};
    }
    // Appends a new line after the cursor line and types `s` into it.
    static LINE* addline(std::string_view s) {
        LINE* l = allocln(kObjNew, 0);
        cadd_text(s);
        return cur().lnptr != nullptr ? cur().lnptr : l;
    }
    // Fills the current core file, which holds one empty line, with the given lines; the cursor
    // ends on the first.
    static void fill_lines(const std::vector<std::string>& texts) {
        COREFILE& cf = cur();
        cf.lnptr = cf.header->down;
        cadd_text(texts.front());
        for (std::size_t i = 1; i < texts.size(); ++i)
            addline(texts[i]);
        cf.lnptr = cf.disln = cf.header->down;
        cf.curcol = 1;
    }
    // The texts of the current core file's lines.
    static std::vector<std::string> texts() {
        std::vector<std::string> out;
        for (LINE* l = cur().header->down; l != cur().header; l = l->down)
            out.push_back(text(l));
        return out;
    }
    static LINE* line(int n) {
        LINE* l = cur().header;
        for (int i = 0; i < n; ++i)
            l = l->down;
        return l;
    }
    // The physical chain is in ascending order of index and holds every live byte owner; each
    // core file's counts agree with its lines.
    static void expect_chain_sound() {
        long last = -1;
        int count = 0, owners = 0;
        for (LINE* l = firstphys.nextphys; l != nullptr; l = l->nextphys, ++count) {
            EXPECT_NE(l->object, kObjNew);
            EXPECT_GE(l->index, last);
            EXPECT_LE(l->index + l->length, avail);
            last = l->index;
            if (l->nextphys == nullptr) {
                EXPECT_EQ(l, lastphys);
            }
        }
        if (firstphys.nextphys == nullptr) {
            EXPECT_EQ(lastphys, &firstphys);
        }
        for (int n = 0; n < kCoreFiles; ++n) {
            long chars = 0;
            int lines = 0;
            for (const LINE* l = core[n].header->down; l != core[n].header; l = l->down, ++lines) {
                if (l->object != kObjNew && l->object != kObjPicture) ++owners;
                chars += l->length;
            }
            EXPECT_EQ(std::tuple(chars, lines), std::tuple(core[n].charcount, core[n].lncount))
                << n;
        }
        EXPECT_GE(count, owners);
    }
};
