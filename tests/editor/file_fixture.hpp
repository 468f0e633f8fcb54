// Fixture for the file commands: a fresh store and a private scratch directory.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "file.hpp"
#include "scrin.hpp"
#include "store_fixture.hpp"
#include "tabs.hpp"

class FileTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        reset_file();
        reset_scrin();
        // A core file from no file is written as Latin-1 unless a test says otherwise.
        set_locale_utf8(false);
        // Reading expands tabs to the stops: the start-up ones, whatever a test before set.
        tabs.fill(0);
        for (std::size_t c = 1; c < tabs.size(); c += 8)
            tabs[c] = 1;
        char tmpl[] = "/tmp/oru-file-test-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        reset_file();
        reset_encoding();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
        StoreTest::TearDown();
    }

    std::string path(const std::string& name) const { return dir + "/" + name; }

    static void write(const std::string& p, const std::string& bytes) {
        std::ofstream out(p, std::ios::binary);
        out << bytes;
    }
    static std::string read(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    // Makes `name` the file the commands work on.
    static void use(const std::string& name) { curfile.assign_cut(name); }

    // The lines of the current core file as (object, text) pairs.
    static std::vector<std::pair<int, std::string>> lines() {
        std::vector<std::pair<int, std::string>> out;
        for (LINE* l = cur().header->down; l != cur().header; l = l->down) {
            out.emplace_back(l->object, text(l));
        }
        return out;
    }
    // Fetches a file holding `bytes` into the current core file.
    void fetch_bytes(const std::string& bytes, long first = 1, long last = kAllLines) {
        const std::string p = path("in.txt");
        write(p, bytes);
        use(p);
        fetch_range(first, last, "");
    }

    std::string dir;
};
