// Fixture for the lexicon's tests: attributes and terminals loaded, helpers to read lexicon text
// and to look at the stored entries.
#pragma once

#include <string>
#include <vector>

#include "report_fixture.hpp"

class LexTest : public ReportTest {
  protected:
    void SetUp() override {
        ReportTest::SetUp();
        readattr(file("lex.att",
                      "NUMBER ( sg , pl ) PERSON ( first , second , third ) "
                      "DEGREE ( pos < comp < sup ) %")
                     .c_str());
        read_terminals(file("lex.tm", "N V ADJ").c_str());
    }

    void lexicon(const std::string& content) {
        initdict();
        readdict(file("lex.lex", content).c_str());
    }
    // A coded segment: the byte 25, the type and the value (255: the type only).
    static std::string seg(int type, int value) {
        return std::string{kAttrCode, static_cast<char>(type), static_cast<char>(value)};
    }
    // Entries of a terminal, newest first.
    static std::vector<std::string> entries(int terminal) {
        std::vector<std::string> out;
        if (terminal < 0 || terminal >= dictterm) return out;
        for (const recnode* r = dictionary[static_cast<std::size_t>(terminal)]; r != nullptr;
             r = r->previous) {
            out.emplace_back(r->recordptr);
        }
        return out;
    }
};
