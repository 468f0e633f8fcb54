#include <algorithm>
#include <random>
#include <vector>

#include "stars.hpp"
#include "store_fixture.hpp"
#include "utilptr.hpp"

using V = std::vector<std::string>;

TEST_F(StoreTest, FreshCoreFilesHoldOneEmptyNewLine) {
    EXPECT_EQ(corenum, 1);
    for (int n = 0; n < kCoreFiles; ++n) {
        const COREFILE& cf = core[n];
        // Lines, characters, cursor column and view.
        EXPECT_EQ(std::tuple(cf.lncount, cf.charcount, cf.curcol, cf.viewtype),
                  std::tuple(1, 0L, 1, 0));
        EXPECT_EQ(cf.header->down, cf.lnptr);
        EXPECT_EQ(cf.disln, cf.lnptr);
        EXPECT_EQ(cf.lnptr->object, kObjNew);
    }
    EXPECT_EQ(avail, 0);
    EXPECT_NE(reserve, nullptr);
    EXPECT_EQ(firstphys.nextphys, nullptr);
}

// The first character places a new line at avail, on the chain; growing a line that other bytes
// follow moves it to the top of the arena.
TEST_F(StoreTest, GrowingALineFollowedByOtherBytesMovesItToTheTop) {
    LINE* first = cur().lnptr;
    cadd('a');
    cadd('b');
    EXPECT_EQ(first->object, kObjText);
    EXPECT_EQ(first->index, 0);
    EXPECT_EQ(std::pair(avail, cur().charcount), std::pair(2L, 2L));
    EXPECT_EQ(lastphys, first);
    addline("cd");
    // Back to the first line, which is hemmed in by the second line's bytes.
    cur().lnptr = cur().disln = cur().starA = first;
    const long pooled = linepool::in_use();
    cadd('!');
    LINE* moved = cur().lnptr;
    EXPECT_NE(moved, first);
    EXPECT_EQ(text(moved), "ab!");
    EXPECT_EQ(moved->index, 4);
    EXPECT_EQ(std::string(textbase.begin(), textbase.begin() + 2), std::string(2, kFreeByte));
    EXPECT_EQ(first->object, kObjDead);
    for (LINE* l : {cur().disln, cur().starA, cur().header->down, moved->down->up})
        EXPECT_EQ(l, moved);
    // The dead record goes back to the pool at the next compaction.
    garbage();
    EXPECT_EQ(linepool::in_use(), pooled);
    EXPECT_EQ(text(moved), "ab!");
    EXPECT_EQ(moved->index, 2);  // "cd" now sits at 0
    EXPECT_EQ(avail, 5);
    expect_chain_sound();
}

TEST_F(StoreTest, CompactionStripsBlanksAndPacksLinesInChainOrder) {
    cadd('a');
    cadd(' ');
    addline("bb  ");
    addline("ccc");
    LINE* second = line(2);
    cur().lnptr = second;
    cur().curcol = 1;
    removeline();
    cur().lnptr = line(1);
    garbage();
    EXPECT_EQ(texts(), (V{"a", "ccc"}));
    EXPECT_EQ(std::pair(line(1)->index, line(2)->index), std::pair(0L, 1L));
    EXPECT_EQ(avail, 4);
    EXPECT_EQ(cur().charcount, 4);
    EXPECT_EQ(textbase[4], kFreeByte);
    EXPECT_EQ(full, 0);
    expect_chain_sound();
}

namespace {

// Every live line owns exactly its bytes and no byte is owned twice.
void expect_disjoint_ownership() {
    std::vector<int> owner(static_cast<std::size_t>(avail), 0);
    for (int n = 0; n < kCoreFiles; ++n) {
        const COREFILE& cf = core[n];
        for (const LINE* l = cf.header->down; l != cf.header; l = l->down) {
            if (l->object == kObjNew || l->object == kObjPicture) continue;
            ASSERT_GE(l->index, 0);
            ASSERT_LE(l->index + l->length, avail);
            for (long i = l->index; i < l->index + l->length; ++i) {
                ASSERT_EQ(owner[static_cast<std::size_t>(i)], 0) << "byte " << i << " owned twice";
                owner[static_cast<std::size_t>(i)] = 1;
            }
        }
    }
}

}  // namespace

// Long random sequences of primitives over several core files, with 0xFF and blanks among the
// characters, keep the store sound after every step and every line's text as a simple model
// says.
TEST_F(StoreTest, RandomEditsKeepTheStoreSound) {
    std::mt19937 rng(12345);
    std::array<std::vector<std::string>, 3> model;
    for (auto& m : model)
        m.push_back("");
    const std::string alphabet = std::string("ab ") + '\xff';
    auto strip = [](std::string& s) {
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
    };
    // Compaction strips the trailing blanks of every line.
    auto strip_all = [&] {
        for (auto& m : model)
            std::for_each(m.begin(), m.end(), strip);
    };
    for (int step = 0; step < 6000; ++step) {
        const int f = static_cast<int>(rng() % 3);
        corenum = f + 1;
        COREFILE& cf = cur();
        auto& m = model[f];
        const int ln = static_cast<int>(rng() % m.size());
        cf.lnptr = line(ln + 1);
        std::string& want = m[static_cast<std::size_t>(ln)];
        const char c = alphabet[rng() % alphabet.size()];
        switch (rng() % 9) {
            case 0:
            case 1:  // append a character
                ASSERT_TRUE(cadd(c));
                want += c;
                break;
            case 2:  // insert a character inside the line
                if (want.empty()) break;
                cf.curcol = static_cast<int>(rng() % want.size()) + 1;
                ASSERT_TRUE(cadd(' '));
                cinsert(1);
                textbase[curptr()] = static_cast<unsigned char>(c);
                want.insert(static_cast<std::size_t>(cf.curcol - 1), 1, c);
                break;
            case 3:  // new line after this one
                ASSERT_NE(allocln(kObjNew, 0), nullptr);
                m.insert(m.begin() + ln + 1, "");
                break;
            case 4: {  // remove characters from the middle
                if (want.empty()) break;
                const int col = static_cast<int>(rng() % want.size()) + 1;
                const int num = static_cast<int>(rng() % 3) + 1;
                cf.curcol = col;
                cremove(num);
                want.erase(static_cast<std::size_t>(col - 1), static_cast<std::size_t>(num));
                break;
            }
            case 5:  // remove the line, keeping one
                if (m.size() == 1) break;
                removeline();
                cf.lnptr = cf.header->down;
                m.erase(m.begin() + ln);
                break;
            case 6:  // move the line to the top of the arena
                if (cf.lnptr->object != kObjNew) {
                    ASSERT_TRUE(shiftline());
                }
                break;
            case 7:
                detrline();
                strip(want);
                break;
            case 8:
                if (rng() % 10 == 0) {
                    garbage();
                    strip_all();
                }
                break;
        }
        ASSERT_NO_FATAL_FAILURE(expect_disjoint_ownership()) << "step " << step;
        ASSERT_EQ(texts(), m) << "step " << step;
    }
    garbage();
    strip_all();
    expect_chain_sound();
    long total = 0;
    for (int f = 0; f < 3; ++f) {
        corenum = f + 1;
        EXPECT_EQ(texts(), model[f]);
        for (const std::string& t : model[f])
            total += static_cast<long>(t.size());
    }
    EXPECT_EQ(avail, total) << "compaction leaves the text contiguous from 0";
}

TEST_F(StoreTest, ALineNeverGrowsIntoTheNextLineWhateverItsBytes) {
    const char y = '\xff';
    cadd('a');
    cadd(y);                                          // the line ends with the character 0xFF
    LINE* second = addline(std::string(1, y) + "b");  // and the next begins with it
    LINE* first = line(1);
    cur().lnptr = first;
    cadd('c');
    EXPECT_EQ(text(line(1)), std::string("a") + y + "c");
    EXPECT_EQ(text(second), std::string(1, y) + "b") << "the next line's first byte survives";
    EXPECT_NE(line(1), first) << "the hemmed-in line moved to the top of the arena";
    garbage();
    EXPECT_EQ(texts(), (V{std::string("a") + y + "c", std::string(1, y) + "b"}));
    // After compaction the lines are adjacent again; growing the first must still move it.
    cur().lnptr = line(2);
    cadd(y);
    cur().lnptr = line(1);
    cadd(y);
    EXPECT_EQ(texts(), (V{std::string("a") + y + "c" + y, std::string(1, y) + "b" + y}));
    // A line emptied in place keeps its position; the line before it may not grow over it.
    cur().lnptr = line(2);
    cur().curcol = 1;
    cremove(3);
    cur().lnptr = line(1);
    cadd('d');
    EXPECT_EQ(text(line(1)), std::string("a") + y + "c" + y + "d");
    cur().lnptr = line(2);
    cadd('e');
    EXPECT_EQ(texts(), (V{std::string("a") + y + "c" + y + "d", "e"}));
}

TEST_F(StoreTest, ClearingAFileLeavesOneEmptyUnnamedLine) {
    cadd('a');
    addline("bcd");
    addline("efg");
    cur().filname.assign("notes.txt");
    cur().edited = 1;
    clrfile();
    EXPECT_EQ(std::tuple(cur().lncount, cur().charcount, cur().edited), std::tuple(1, 0L, 0));
    EXPECT_TRUE(cur().filname.empty());
    EXPECT_EQ(cur().lnptr, cur().header->down);
    EXPECT_EQ(cur().disln, cur().lnptr);
    EXPECT_EQ(std::pair(avail, redisplay), std::pair(0L, 1));
    expect_chain_sound();
}

TEST_F(StoreTest, ScanningCursorStopsAtTheSentinel) {
    cadd('a');
    cadd('b');
    addline("c");
    cur().lnptr = line(1);
    cur().curcol = 1;
    setptr();
    std::vector<int> seen, lines_on;
    for (int i = 0; i < 7; ++i) {
        seen.push_back(peepc());
        lines_on.push_back(dist);
        nextc();
    }
    EXPECT_EQ(seen,
              (std::vector<int>{'a', 'b', kEndOfLine, 'c', kEndOfLine, kEndOfFile, kEndOfFile}));
    EXPECT_EQ(lines_on[3], 1);
    prevc();
    EXPECT_EQ(peepc(), kEndOfFile) << "prevc does not move off the sentinel";
    // Back from the first column of a line lands past the end of the line above.
    lp = line(2);
    cp = 1;
    prevc();
    EXPECT_EQ(lp, line(1));
    EXPECT_EQ(cp, 3);
    // setcur moves the editing cursor; a line outside the window re-anchors it.
    setcur();
    EXPECT_EQ(cur().lnptr, line(1));
    EXPECT_EQ(cur().curcol, 3);
    // setptr never starts past one beyond the line's end.
    cur().curcol = 40;
    setptr();
    EXPECT_EQ(cp, 3);
}

TEST_F(StoreTest, SetcurReanchorsTheWindowOnlyWhenTheLineLeavesIt) {
    for (int i = 0; i < 30; ++i)
        addline("x");
    cur().disln = line(1);
    redisplay = 0;
    lp = line(5);
    cp = 1;
    setcur();
    EXPECT_EQ(cur().disln, line(1));
    EXPECT_EQ(redisplay, 0);
    lp = line(25);  // below a 20-row window
    setcur();
    EXPECT_EQ(cur().disln, line(25));
    EXPECT_EQ(redisplay, 1);
}

TEST_F(StoreTest, LinePrimitivesOnOneLine) {
    fill_lines({"  ab cd  "});
    EXPECT_EQ(findnb(), 3);
    cur().curcol = 3;
    cremove(3);
    EXPECT_EQ(text(cur().lnptr), "  cd  ");
    EXPECT_EQ(std::string(delbuf.begin(), delbuf.begin() + 3), "ab ");
    EXPECT_EQ(delptr, 3);
    cremove(100);  // more than the line holds: up to the end only
    EXPECT_EQ(text(cur().lnptr), "  ");
    EXPECT_EQ(cur().charcount, 2);
    EXPECT_EQ(findnb(), 0);
    detrline();
    EXPECT_EQ(cur().lnptr->length, 0);
    cur().curcol = 5;
    extline();
    EXPECT_EQ(text(cur().lnptr), "     ");
    // Insert a gap: lengthen with cadd, then open it at the cursor.
    cur().lnptr = allocln(kObjNew, 0);
    for (char c : std::string_view("abcd"))
        cadd(c);
    cur().curcol = 2;
    cadd(' ');
    cinsert(1);
    EXPECT_EQ(text(cur().lnptr), "abbcd");
}

TEST_F(StoreTest, RecordFieldPrimitives) {
    fill_lines({"abc|defg|h"});
    LINE* l = cur().lnptr;
    l->object = kObjRecord;
    for (const auto& [field, offset] : {std::pair{1, 0}, {2, 4}, {3, 9}, {7, 10}})
        EXPECT_EQ(locatefield(l, field), offset) << field;
    cur().curcol = 5;
    rctrunc();
    EXPECT_EQ(text(l), "abc|ddef|h");
    erasefield();
    EXPECT_EQ(text(l), "abc||h");
    // The ring skips the separators of record lines.
    cur().curcol = 4;
    const int before = delptr;
    cremove(1);
    EXPECT_EQ(delptr, before);
    EXPECT_EQ(text(l), "abc|h");
}

TEST_F(StoreTest, RemovingTheStarredOrTopLineLeavesNoDanglingPointer) {
    cadd('a');
    LINE* b = addline("b");
    addline("c");
    cur().lnptr = cur().starA = cur().disln = b;
    cur().starcount = 1;
    cur().nextstar = 'B';
    removeline();
    EXPECT_EQ(cur().starA, nullptr);
    EXPECT_EQ(std::tuple(cur().starcount, cur().nextstar, cur().lncount), std::tuple(0, 'A', 2));
    EXPECT_EQ(cur().disln, line(2));
    EXPECT_EQ(texts(), (V{"a", "c"}));
    // A new, empty line goes straight back to the pool.
    const long pooled = linepool::in_use();
    cur().lnptr = allocln(kObjNew, 0);
    EXPECT_EQ(linepool::in_use(), pooled + 1);
    removeline();
    EXPECT_EQ(linepool::in_use(), pooled);
}

TEST_F(StoreTest, NoSpareRecordMakesTheStoreFull) {
    cadd('a');
    linepool::fail_after(0);
    // The spare record is still handed out; only its replacement fails.
    LINE* l = allocln(kObjNew, 0);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(reserve, nullptr);
    EXPECT_EQ(allocln(kObjNew, 0), nullptr);
    EXPECT_EQ(cur().lncount, 2);
    garbage();
    EXPECT_EQ(full, 1);
    // Growing a hemmed-in line still works without a spare record.
    cur().lnptr = line(1);
    cadd('b');
    EXPECT_EQ(text(line(1)), "ab");
    expect_chain_sound();
    linepool::fail_after(-1);
    garbage();
    EXPECT_EQ(full, 0);
    EXPECT_NE(reserve, nullptr);
}

TEST_F(StoreTest, ArenaExhaustionIsRefusedNotOverrun) {
    // Fill the arena nearly to its end with one long line.
    LINE* l = cur().lnptr;
    cadd('x');
    l = cur().lnptr;
    const long room = kTextSize - avail;
    std::fill_n(textbase.begin() + avail, room, 'x');
    l->length += static_cast<int>(room);
    cur().charcount += room;
    avail = kTextSize;
    EXPECT_FALSE(cadd('y'));
    EXPECT_EQ(l->length, kTextSize);
    EXPECT_EQ(allocln(kObjNew, 5), nullptr);
    garbage();
    EXPECT_EQ(full, 1);
}

// Appending a run at once leaves the store exactly as appending it a character at a time: on a
// new line, on a line hemmed in by another, and when the arena runs out on the way.
TEST_F(StoreTest, AppendingARunMatchesAppendingEachCharacter) {
    const auto state = [] {
        std::vector<std::string> out = texts();
        out.push_back(std::to_string(avail) + "/" + std::to_string(cur().charcount) + "/" +
                      std::to_string(full));
        return out;
    };
    const std::string run = "Question  : Do you know that we were old?";
    std::vector<std::vector<std::string>> results;
    for (const bool at_once : {false, true}) {
        reset_store();
        fill_lines({"ab", "cd"});
        const auto append = [&](std::string_view s) {
            if (at_once) return cadd_text(s);
            bool ok = true;
            for (char c : s)
                ok = cadd(c) && ok;
            return ok;
        };
        EXPECT_TRUE(append(run));  // "ab" is followed by "cd": it moves to the store's end
        cur().lnptr = cur().header->up;
        allocln(kObjNew, 0);
        EXPECT_TRUE(append(run));  // a new line
        expect_chain_sound();
        // Two bytes of room left, and no freed bytes to reclaim: the rest is refused and the
        // store is full.
        compact();
        const long room = kTextSize - avail - 2;
        LINE* l = cur().lnptr;
        std::fill_n(textbase.begin() + avail, room, 'x');
        l->length += static_cast<int>(room);
        cur().charcount += room;
        avail += room;
        EXPECT_FALSE(append("yz!"));
        l->length -= static_cast<int>(room) + 2;  // keep the comparison short
        cur().charcount -= room + 2;
        results.push_back(state());
    }
    EXPECT_EQ(results[0], results[1]);
    EXPECT_EQ(results[1][0], "ab" + run);
    EXPECT_EQ(results[1][2], run);
}

TEST_F(StoreTest, ALineThatMustMoveUsesFreedBytesBeforeTheStoreIsCalledFull) {
    // A long line hemmed in by another, and most of the arena above them freed: the line moves
    // after the freed bytes are reclaimed, and the store is not full.
    const std::string a(500000, 'a');
    fill_lines({a, "end", std::string(3000000, 'c')});
    cur().lnptr = line(3);
    removeline();
    ASSERT_GT(avail + static_cast<long>(a.size()), kTextSize);
    ASSERT_LE(avail, hiaddr);
    cur().lnptr = line(1);
    EXPECT_TRUE(cadd('x'));
    EXPECT_EQ(full, 0);
    EXPECT_EQ(texts(), (std::vector<std::string>{a + "x", "end"}));
    EXPECT_LT(avail, 1100000);
    expect_chain_sound();
    // A new line's first character at the very end of the arena: the same.
    cur().lnptr = line(2);
    addline(std::string(static_cast<std::size_t>(kTextSize - avail - 10), 'd'));
    removeline();
    cur().lnptr = line(2);
    allocln(kObjNew, 0);
    while (avail < kTextSize)
        ASSERT_TRUE(cadd('e'));
    LINE* fresh = allocln(kObjNew, 0);
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(cadd('f'));
    EXPECT_EQ(text(cur().lnptr), "f");
    EXPECT_EQ(full, 0);
    expect_chain_sound();
}
