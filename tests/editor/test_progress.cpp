// Progress messages: a burst of them costs one terminal update, and the help line still shows
// the latest one to anything that looks at the screen.
#include <chrono>
#include <string>

#include "scrout.hpp"
#include "store_fixture.hpp"
#include "sys_linux.hpp"
#include "terminal.hpp"

namespace {

using std::chrono::milliseconds;

class ProgressTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        ASSERT_TRUE(load_terminfo("xterm"));
        set_output_capture(&bytes);
        pltransmit("$X");
        screen_refresh();
        bytes.clear();
    }
    void TearDown() override {
        set_output_capture(nullptr);
        StoreTest::TearDown();
    }
    static std::string help_text() { return screen_text(helpline).substr(6, 24); }
    std::string bytes;
};

TEST_F(ProgressTest, ABurstIsSentOnceAndTheLatestMessageIsShown) {
    set_progress_gap(milliseconds(3'600'000));  // nothing in this test is "long after"
    progress("Expanding Root");
    EXPECT_NE(bytes.find("Expanding Root"), std::string::npos) << "the first one goes at once";
    bytes.clear();
    progress("Transforming Root");
    progress("Post Morphology");
    EXPECT_EQ(bytes, "") << "the burst waits for the next refresh";
    EXPECT_EQ(help_text(), "Post Morphology---------") << "the screen model is never stale";
    screen_refresh();
    EXPECT_NE(bytes.find("Post Morphology"), std::string::npos);
    EXPECT_EQ(bytes.find("Transforming"), std::string::npos) << "a replaced message is never sent";

    // Later screen work draws over an owed message, which is then never sent.
    bytes.clear();
    progress("Processing Indirections");
    diserr("Lexicon not found");  // draws on the help line and waits for Return
    screen_refresh();
    EXPECT_EQ(screen_text(helpline).find("Processing"), std::string::npos);
    EXPECT_EQ(bytes.find("Processing"), std::string::npos);
    EXPECT_NE(bytes.find("Lexicon not found"), std::string::npos);

    // Messages far apart are each sent at once.
    set_progress_gap(milliseconds(0));
    bytes.clear();
    progress("Expanding Root");
    progress("Post Morphology");
    EXPECT_NE(bytes.find("Expanding Root"), std::string::npos);
    EXPECT_NE(bytes.find("Post Morphology"), std::string::npos);
}

}  // namespace
