// The manual against the program: every command of the command table and every key the key
// table binds has its entry in the reference, and each key entry names the code the key really
// has.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "prcmnd.hpp"
#include "termutils.hpp"

namespace {

std::string read_file(const std::string& path) {
    return (std::ostringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str();
}

// How the manual writes a key: Ctrl-B, ESC Ctrl-B, ESC [ Ctrl-B, ESC [ 5 ~.
std::string key_name(int index) {
    if (index >= 384) return "ESC [ " + std::to_string(index - 384) + " ~";
    if (index >= 128) return (index >= 256 ? "ESC [ " : "ESC ") + key_name(index % 128);
    if (index == 27 || index == 32 || index == 127)
        return index == 27 ? "ESC" : index == 32 ? "Space" : "DEL";
    return index < 32 ? std::string("Ctrl-") + static_cast<char>('@' + index)
                      : std::string(1, static_cast<char>(index));
}

class ManualTest : public ::testing::Test {
  protected:
    void SetUp() override { reset_keys(); }
    void TearDown() override { reset_keys(); }
    // The lines of the level-2 chapter whose heading begins with `heading`.
    static std::istringstream chapter(const std::string& heading) {
        const std::string manual = read_file(std::string(ORU_SOURCE_DIR) + "/docs/manual.md");
        const std::size_t start = manual.find("\n## " + heading);
        EXPECT_NE(start, std::string::npos) << "no chapter " << heading;
        if (start == std::string::npos) return std::istringstream();
        return std::istringstream(manual.substr(start, manual.find("\n## ", start + 1) - start));
    }
};

TEST_F(ManualTest, EveryCommandHasOneReferenceEntryWithItsTwoLetters) {
    std::set<std::string> wanted;
    for (const CMDSPEC& c : commands) {
        const std::string name = c.name;
        if (name != "**") wanted.insert(name + " (" + name.substr(0, 2) + ")");
    }
    std::set<std::string> found;
    std::istringstream lines = chapter("20. Command reference");
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("### ") && line.size() > 4) {
            EXPECT_TRUE(found.insert(line.substr(4)).second) << "twice: " << line;
        }
    EXPECT_EQ(found, wanted);
}

TEST_F(ManualTest, EveryBoundKeyIsInTheKeyReferenceWithItsCode) {
    std::map<std::string, int> index_of;
    for (int i = 0; i < kKeyIndexes; ++i)
        index_of.emplace(key_name(i), i);
    // Every row "| `key` | code | ..." of the tables: the key exists and has that code. A bar in
    // a table cell is written \|.
    std::set<int> listed;
    std::istringstream lines = chapter("21. Key reference");
    for (std::string line; std::getline(lines, line);) {
        const std::size_t close = line.find("` | ");
        if (!line.starts_with("| `") || close == std::string::npos || close == 3 ||
            std::isdigit(static_cast<unsigned char>(line[close + 4])) == 0)
            continue;
        std::size_t digits = 0;
        const int code = std::stoi(line.substr(close + 4), &digits);
        if (line.compare(close + 4 + digits, 2, " |") != 0) continue;
        std::string name = line.substr(3, close - 3);
        for (std::size_t bar; (bar = name.find("\\|")) != std::string::npos;)
            name.erase(bar, 1);
        const auto key = index_of.find(name);
        ASSERT_NE(key, index_of.end()) << "the reference lists a key oru has no name for: " << name;
        EXPECT_TRUE(listed.insert(key->second).second) << "listed twice: " << name;
        EXPECT_EQ(intran[static_cast<std::size_t>(key->second)], code)
            << name << " is bound to another operation than the manual says";
    }
    for (int i = 0; i < kKeyIndexes; ++i)
        if (intran[static_cast<std::size_t>(i)] != 0 && (i < 32 || i > 126)) {
            EXPECT_EQ(listed.count(i), 1U) << key_name(i) << " is not in the key reference";
        }
}

}  // namespace
