// Procedures read from files and run through the command line, as `oru -p` runs them.
#include "editor.hpp"
#include "file_fixture.hpp"
#include "termutils.hpp"

class ProcFileTest : public FileTest {
  protected:
    // Runs the edit loop on the keys of `oru -p proc` until the keys run out or GOODBYE.
    void run_procedure(const std::string& text) {
        write(path("p.proc"), text);
        ASSERT_EQ(::chdir(dir.c_str()), 0);
        pushfn("\x03PRp.proc\r");
        for (int guard = 0; fnptr > 0 && overflg == 0 && guard < 20000; ++guard) {
            fetchchar();
            dispatch(type);
        }
        ASSERT_EQ(::chdir("/"), 0);
    }

    void SetUp() override {
        FileTest::SetUp();
        write(path("there.txt"), "present\n");
        write(path("line.txt"), "more\n");
    }
};

TEST_F(ProcFileTest, AFailingFetchIsSeenByTheProcedure) {
    // A refused FETCH is seen by {?}; its message takes the next Return, and a Return alone
    // closes the command line.
    run_procedure(
        "FEmissing.txt\n\n\n~{?}{C}~SAgot-missing.txt\n\n~{.}"
        "{C}~FEthere.txt\n\n~{?}{C}~SAgot-there.txt\n\n~{:}{C}~SAwrong.txt\n\n~{.}{C}~GO\n");
    EXPECT_FALSE(std::filesystem::exists(path("got-missing.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("wrong.txt")));
    EXPECT_EQ(read(path("got-there.txt")), "present\n");
    EXPECT_EQ(overflg, 1);
}

TEST_F(ProcFileTest, LoopsAndCountersRepeatCommands) {
    // Three appends in a counted loop, then a test of the line count that ASK 16 puts in the
    // result register. A command sets the result of the depth it runs at, so the loop body runs
    // its command one depth further in and leaves the counter alone.
    run_procedure(
        "FEthere.txt\n~{M$}3{<}{^$}0{C}~APline.txt\n\n~{%>%C}~AS16\n\n"
        "~{=}4 {C}~SAfour.txt\n\n~{:}{C}~SAother.txt\n\n~{.}{C}~GO\n");
    EXPECT_EQ(read(path("four.txt")), "present\nmore\nmore\nmore\n");
    EXPECT_FALSE(std::filesystem::exists(path("other.txt")));
    EXPECT_EQ(loopdepth, 0);
}
