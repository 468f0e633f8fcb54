// Fixture for the command line: the store and every command-line module at their start values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands.hpp"
#include "file.hpp"
#include "getparam.hpp"
#include "prcmnd.hpp"
#include "scrin.hpp"
#include "store_fixture.hpp"
#include "tabs.hpp"

class CommandTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        reset_prcmnd();
        reset_getparam();
        reset_commands();
        reset_scrin();
        reset_file();
        saved_tabs_ = tabs;
    }
    void TearDown() override {  // the tab table has no reset of its own
        tabs = saved_tabs_;
        StoreTest::TearDown();
    }
    decltype(tabs) saved_tabs_{};

    // Parameters as they stand after typing `text` and Return: defaults added, then converted.
    static void typed(std::string_view name, std::string_view text) {
        for (cmdptr = 0; std::string_view(commands[cmdptr].name).substr(0, 2) != name; ++cmdptr)
            ASSERT_LT(cmdptr, kCommands - 1) << name;
        pstring.assign(std::string(text) + "|");
        add_defaults();
        convert_params();
    }
    // Runs a command's checker and operation on typed parameters, as the command loop does.
    static void run(std::string_view name, std::string_view text) {
        typed(name, text);
        del = 0;
        const CMDSPEC& c = commands[cmdptr];
        if (c.checker != nullptr) c.checker();
        if (del != 2 && c.cmdop != nullptr) c.cmdop();
    }
    // A core file with lines "line 1" ... "line n"; the cursor on line 1, column 1.
    static void lines(int n) {
        std::vector<std::string> texts;
        for (int i = 1; i <= n; ++i)
            texts.push_back("line " + std::to_string(i));
        fill_lines(texts);
        cur().curline = 1;
    }
};
