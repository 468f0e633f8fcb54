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
        set_locale_utf8(false);  // a core file from no file is written as Latin-1
        tabs.fill(0);            // reading expands tabs to the start-up stops
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
        std::ofstream(p, std::ios::binary) << bytes;
    }
    static std::string read(const std::string& p) {
        std::stringstream ss;
        ss << std::ifstream(p, std::ios::binary).rdbuf();
        return ss.str();
    }
    static void use(const std::string& name) { curfile.assign_cut(name); }
    // What an operation returned with the message it left.
    static std::string said(bool ok) { return (ok ? "ok: " : "no: ") + file_message(); }
    // The object of every line, a digit each: 0 text, 1 record, 2 picture, 3 maths, 4 none, 5 new.
    static std::string kinds() {
        std::string k;
        for (LINE* l = cur().header->down; l != cur().header; l = l->down)
            k += static_cast<char>('0' + l->object);
        return k;
    }
    void fetch_bytes(const std::string& bytes, long first = 1, long last = kAllLines) {
        write(path("in.txt"), bytes);
        use(path("in.txt"));
        fetch_range(first, last, "");
    }
    std::string dir;
};
