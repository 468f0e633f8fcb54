// The manual against the program: every command of the command table and every key the key
// table binds has its entry in the reference, each key entry names the code the key really has,
// and the manual page renders without warnings.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "prcmnd.hpp"
#include "termutils.hpp"

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text of the level-2 chapter whose heading begins with `heading`, up to the next one.
std::string chapter(const std::string& manual, const std::string& heading) {
    const std::size_t start = manual.find("\n## " + heading);
    if (start == std::string::npos) return {};
    const std::size_t end = manual.find("\n## ", start + 1);
    return manual.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// How the manual writes a key: Ctrl-B, ESC Ctrl-B, ESC [ Ctrl-B, ESC [ 5 ~.
std::string byte_name(int b) {
    if (b == 27) return "ESC";
    if (b == 32) return "Space";
    if (b == 127) return "DEL";
    if (b < 32) return std::string("Ctrl-") + static_cast<char>('@' + b);
    return std::string(1, static_cast<char>(b));
}

std::string key_name(int index) {
    if (index < 128) return byte_name(index);
    if (index < 256) return "ESC " + byte_name(index - 128);
    if (index < 384) return "ESC [ " + byte_name(index - 256);
    return "ESC [ " + std::to_string(index - 384) + " ~";
}

bool typing_key(int index) {
    return index >= 32 && index <= 126;
}

class ManualTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_keys();
        manual_ = read_file(std::string(ORU_SOURCE_DIR) + "/docs/manual.md");
        ASSERT_FALSE(manual_.empty()) << "docs/manual.md is missing";
    }
    void TearDown() override { reset_keys(); }
    std::string manual_;
};

TEST_F(ManualTest, EveryCommandHasOneReferenceEntryWithItsTwoLetters) {
    const std::string reference = chapter(manual_, "20. Command reference");
    ASSERT_FALSE(reference.empty()) << "no chapter \"20. Command reference\"";
    std::set<std::string> wanted;
    for (const CMDSPEC& c : commands) {
        const std::string name = c.name;
        if (name == "**") continue;
        wanted.insert(name + " (" + name.substr(0, 2) + ")");
    }
    std::set<std::string> found;
    std::istringstream lines(reference);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("### ", 0) != 0 || line.size() == 4) continue;
        const std::string heading = line.substr(4);
        EXPECT_TRUE(found.insert(heading).second) << "twice in the reference: " << heading;
    }
    for (const std::string& w : wanted)
        EXPECT_TRUE(found.count(w) == 1) << "no entry \"### " << w << "\"";
    for (const std::string& f : found)
        EXPECT_TRUE(wanted.count(f) == 1) << "an entry for no command: " << f;
    EXPECT_EQ(wanted.size(), 79u);
}

TEST_F(ManualTest, EveryBoundKeyIsInTheKeyReferenceWithItsCode) {
    const std::string reference = chapter(manual_, "21. Key reference");
    ASSERT_FALSE(reference.empty()) << "no chapter \"21. Key reference\"";
    std::map<std::string, int> index_of;
    for (int i = 0; i < kKeyIndexes; ++i)
        index_of.emplace(key_name(i), i);

    // Every row "| `key` | code | ..." of the tables: the key exists and has that code. A bar
    // in a table cell is written \|.
    std::set<int> listed;
    std::istringstream lines(reference);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t close = line.find("` | ");
        if (line.rfind("| `", 0) != 0 || close == std::string::npos || close == 3) continue;
        const std::size_t digits = close + 4;
        std::size_t end = digits;
        while (end < line.size() && line[end] >= '0' && line[end] <= '9')
            ++end;
        if (end == digits || line.compare(end, 2, " |") != 0) continue;
        std::string name;
        for (std::size_t i = 3; i < close; ++i) {
            if (line[i] == '\\' && i + 1 < close && line[i + 1] == '|') continue;
            name += line[i];
        }
        const int code = std::stoi(line.substr(digits, end - digits));
        const auto key = index_of.find(name);
        if (key == index_of.end()) {
            ADD_FAILURE() << "the reference lists a key oru has no name for: " << name;
            continue;
        }
        EXPECT_TRUE(listed.insert(key->second).second) << "listed twice: " << name;
        EXPECT_EQ(intran[static_cast<std::size_t>(key->second)], code)
            << name << " is bound to another operation than the manual says";
    }
    for (int i = 0; i < kKeyIndexes; ++i) {
        if (intran[static_cast<std::size_t>(i)] == 0 || typing_key(i)) continue;
        EXPECT_TRUE(listed.count(i) == 1)
            << "the key " << key_name(i) << " (code " << intran[static_cast<std::size_t>(i)]
            << ") is not in the key reference";
    }
}

TEST(ManualPage, RendersWithoutWarnings) {
    if (std::system("command -v man >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "man is not installed: the manual page is not checked";
    const std::string page = std::string(ORU_SOURCE_DIR) + "/docs/oru.1";
    const std::string errors = ::testing::TempDir() + "oru-man-warnings.txt";
    const std::string run = "MANWIDTH=80 man --warnings -l '" + page + "' 2>'" + errors + "'";
    FILE* out = popen(run.c_str(), "r");
    ASSERT_NE(out, nullptr);
    std::string shown;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, out)) > 0;)
        shown.append(buf, n);
    EXPECT_EQ(pclose(out), 0);
    EXPECT_EQ(read_file(errors), "") << "man warned about docs/oru.1";
    std::remove(errors.c_str());
    for (const char* section : {"NAME", "SYNOPSIS", "OPTIONS", "FILES", "ENVIRONMENT",
                                "EXIT STATUS", "SEE ALSO", "--version", "manual.md"})
        EXPECT_NE(shown.find(section), std::string::npos) << section;
}

}  // namespace
