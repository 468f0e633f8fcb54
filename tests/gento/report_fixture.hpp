// The generation fixture with checks on what the readers leave in the message file.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "gento_fixture.hpp"

// "a|b||c" split at '|' into a, b, "" and c: tables of cases packed into strings.
inline std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> out(1);
    for (const char c : text) {
        if (c == sep) {
            out.emplace_back();
        } else {
            out.back().push_back(c);
        }
    }
    return out;
}

class ReportTest : public GentoTest {
  protected:
    // Messages that contain `needle`.
    static int count(const std::string& needle) {
        return static_cast<int>(messages(needle).size());
    }
    // Each text is in exactly one message.
    static void expect_once(std::initializer_list<std::string> texts) {
        for (const std::string& t : texts)
            EXPECT_EQ(count(t), 1) << t;
    }
};
