#include <algorithm>
#include <random>

#include "stars.hpp"
#include "store_fixture.hpp"
#include "utilptr.hpp"

using V = std::vector<std::string>;

namespace {

// Every live line owns exactly its bytes and no byte is owned twice.
void expect_disjoint_ownership() {
    std::vector<int> owner(static_cast<std::size_t>(avail), 0);
    for (const COREFILE& cf : core)
        for (const LINE* l = cf.header->down; l != cf.header; l = l->down)
            for (long i = l->index; l->object != kObjNew && i < l->index + l->length; ++i)
                ASSERT_EQ(owner.at(static_cast<std::size_t>(i))++, 0) << "byte " << i;
}

}  // namespace

// Random primitives over several core files, 0xFF and blanks among the characters, keep the store
// sound and the text as a model says; compaction strips trailing blanks, leaving no gap.
TEST_F(StoreTest, RandomEditsKeepTheStoreSound) {
    std::mt19937 rng(12345);
    std::array<V, 3> model{V{""}, V{""}, V{""}};
    const std::string alphabet = std::string("ab ") + '\xff';
    auto strip = [](std::string& s) { s.erase(s.find_last_not_of(' ') + 1); };
    auto strip_all = [&] {
        std::ranges::for_each(model, [&](V& m) { std::ranges::for_each(m, strip); });
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
        const int op = static_cast<int>(rng() % 9), num = static_cast<int>(rng() % 3) + 1;
        cf.curcol = want.empty() ? 1 : static_cast<int>(rng() % want.size()) + 1;
        const auto at = static_cast<std::size_t>(cf.curcol - 1);
        if (op <= 1) {
            ASSERT_TRUE(cadd(c));
            want += c;
        } else if (op == 2 && !want.empty()) {  // a gap opened inside the line
            ASSERT_TRUE(cadd(' '));
            cinsert(1);
            textbase[curptr()] = static_cast<unsigned char>(c);
            want.insert(at, 1, c);
        } else if (op == 3) {
            ASSERT_NE(allocln(kObjNew, 0), nullptr);
            m.insert(m.begin() + ln + 1, "");
        } else if (op == 4 && !want.empty()) {
            cremove(num);
            want.erase(at, static_cast<std::size_t>(num));
        } else if (op == 5 && m.size() > 1) {
            removeline();
            m.erase(m.begin() + ln);
        } else if (op == 6 && cf.lnptr->object != kObjNew) {
            ASSERT_TRUE(shiftline());
        } else if (op == 7) {
            detrline();
            strip(want);
        } else if (op == 8 && rng() % 10 == 0) {
            garbage();
            strip_all();
            ASSERT_EQ(full, 0) << "step " << step;
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
        total += cur().charcount;
    }
    EXPECT_EQ(avail, total);
    EXPECT_EQ(std::count(textbase.begin() + avail, textbase.begin() + avail + 64, kFreeByte), 64);
}

// A hemmed-in line moves to the top of the arena when it grows (0xFF is text as well as the free
// mark); every pointer follows it and compaction returns the dead record to the pool.
TEST_F(StoreTest, AHemmedInLineMovesAndNeverGrowsIntoTheNext) {
    const std::string y(1, '\xff');
    fill_lines({"a" + y, y + "b"});
    LINE* first = line(1);
    cur().starA = cur().disln = lp = first;
    const long pooled = linepool::in_use();
    cadd('c');
    LINE* moved = line(1);
    EXPECT_TRUE(moved != first && first->object == kObjDead);
    EXPECT_EQ(texts(), (V{"a" + y + "c", y + "b"}));
    EXPECT_EQ(std::string(textbase.begin(), textbase.begin() + 2), std::string(2, kFreeByte));
    for (const LINE* l : {cur().lnptr, cur().disln, cur().starA, lp, cur().header->down})
        EXPECT_EQ(l, moved);
    garbage();
    EXPECT_EQ(linepool::in_use(), pooled);
    EXPECT_EQ(std::tuple(moved->index, avail), std::tuple(2L, 5L));
    expect_chain_sound();
}

TEST_F(StoreTest, RemovingTheStarredOrTopLineLeavesNoDanglingPointer) {
    fill_lines({"a", "b", "c"});
    cur().lnptr = cur().starA = cur().disln = line(2);
    cur().starcount = 1;
    cur().nextstar = 'B';
    removeline();
    EXPECT_EQ(std::tuple(cur().starA, cur().starcount, cur().nextstar, cur().disln, texts()),
              std::tuple(nullptr, 0, 'A', line(2), V{"a", "c"}));
}

// No spare record, or no byte left: the store is full, what does not fit is refused and leaves
// the line as it was, and the store recovers once room is made.
TEST_F(StoreTest, AFullStoreRefusesWhatDoesNotFitAndRecovers) {
    fill_lines({"a"});
    linepool::fail_after(0);
    ASSERT_NE(allocln(kObjNew, 0), nullptr) << "the spare record is still handed out";
    EXPECT_EQ(allocln(kObjNew, 0), nullptr);
    EXPECT_EQ(reserve, nullptr);
    garbage();
    EXPECT_EQ(full, 1);
    cur().lnptr = line(1);
    EXPECT_TRUE(cadd('b')) << "a line still grows without a spare record";
    EXPECT_EQ(texts(), (V{"ab", ""}));
    expect_chain_sound();
    linepool::fail_after(-1);
    garbage();
    EXPECT_TRUE(full == 0 && reserve != nullptr);

    while (avail < kTextSize - 2)  // a run takes what fits and refuses the rest
        cadd('x');
    EXPECT_FALSE(cadd_text("yz!"));
    EXPECT_EQ(text(line(1)).substr(text(line(1)).size() - 3), "xyz");
    EXPECT_FALSE(cadd('y'));
    EXPECT_EQ(allocln(kObjNew, 5), nullptr);
    LINE* fresh = allocln(kObjNew, 0);
    full = 0;
    EXPECT_FALSE(cadd('z'));
    EXPECT_EQ(std::tuple(fresh->object, full), std::tuple(kObjNew, 1))
        << "a refused line stays new";
    expect_chain_sound();
}

// While the store is full, keys that need room are refused and keys that free room still act.
TEST_F(StoreTest, AFullStoreRefusesOnlyTheKeysThatNeedRoom) {
    fill_lines({"abc", "def"});
    cur().curcol = 3;
    full = 1;
    const bool new_line = dispatch(10), copied = dispatch(11), lines = cur().lncount == 2;
    EXPECT_EQ(std::tuple(new_line, copied, lines, dispatch(5)),
              std::tuple(false, false, true, true));
    EXPECT_EQ(texts(), (V{"ab", "def"}));  // new line and copying refused, rubout acts
    full = 0;
    EXPECT_TRUE(dispatch(10) && cur().lncount == 3);
}
