#include <gtest/gtest.h>

#include <cstring>
#include <deque>

#include "Host.h"
#include "OutputBuffer.h"

#include <string>
#include <vector>

using kestrel::arc::Host;
using kestrel::arc::OutputBuffer;

namespace {

struct Script {
    std::deque<int> answers;
    std::vector<std::string> questions;
    std::string text;
    int cancelAt = -1;
    int progressCalls = 0;
};

KestrelHost makeHost(Script& s) {
    KestrelHost h{};
    h.structSize = sizeof h;
    h.context = &s;
    h.askYesNo = [](void* c, const char* q) {
        auto* s = static_cast<Script*>(c);
        s->questions.push_back(q);
        int a = s->answers.front();
        s->answers.pop_front();
        return a;
    };
    h.askText = [](void* c, const char*, const char* def, int, char* answer, size_t size) {
        auto* s = static_cast<Script*>(c);
        if (s->text == "<cancel>") return 0;
        std::string t = s->text.empty() ? def : s->text;
        // A careless host fills the whole buffer without a terminator.
        std::memset(answer, 'x', size);
        std::memcpy(answer, t.data(), std::min(t.size(), size));
        if (t.size() < size) answer[t.size()] = '\0';
        return 1;
    };
    h.progress = [](void* c, const char*, uint64_t, uint64_t) {
        auto* s = static_cast<Script*>(c);
        return ++s->progressCalls == s->cancelAt ? 1 : 0;
    };
    return h;
}

}  // namespace

TEST(Host, NullHostGivesSafeAnswers) {
    Host host(nullptr);
    EXPECT_FALSE(host.interactive());
    EXPECT_EQ(host.askYesNo("?"), KH_NO);
    EXPECT_FALSE(host.askText("?", "def"));
    EXPECT_FALSE(host.askFile("?", "b.cab"));
    EXPECT_TRUE(host.progress("a", 1, 2));
    EXPECT_EQ(host.askOverwrite("/x"), Host::Overwrite::Keep);
}

TEST(Host, YesToAllIsRememberedAndCancelPassesThrough) {
    Script s;
    s.answers = {KH_NO, KH_YES_TO_ALL, KH_CANCEL};
    KestrelHost h = makeHost(s);
    Host host(&h);
    EXPECT_EQ(host.askOverwrite("/a"), Host::Overwrite::Keep);
    EXPECT_EQ(host.askOverwrite("/b"), Host::Overwrite::Replace);
    EXPECT_EQ(host.askOverwrite("/c"), Host::Overwrite::Replace);  // not asked again
    EXPECT_EQ(s.questions.size(), 2u);
    EXPECT_NE(s.questions[1].find("/b"), std::string::npos);
    Host fresh(&h);  // a new call asks again
    EXPECT_EQ(fresh.askOverwrite("/d"), Host::Overwrite::Cancel);
}

TEST(Host, MissingMembersAndSmallStructsAreSafe) {
    Script s;
    KestrelHost h = makeHost(s);
    h.askYesNo = nullptr;
    Host host(&h);
    EXPECT_EQ(host.askYesNo("?"), KH_NO);
    // An older caller whose struct ends before askYesNo: never read past its end.
    KestrelHost small = makeHost(s);
    small.structSize = offsetof(KestrelHost, askYesNo);
    s.answers = {KH_YES};
    EXPECT_EQ(Host(&small).askYesNo("?"), KH_NO);
    EXPECT_EQ(s.answers.size(), 1u);
}

TEST(Host, TextAnswersAreTerminatedAndCancelIsNothing) {
    Script s;
    KestrelHost h = makeHost(s);
    Host host(&h);
    EXPECT_EQ(host.askText("new name?", "old.txt"), "old.txt");
    s.text = std::string(5000, 'n');
    auto longAnswer = host.askText("?", "");
    ASSERT_TRUE(longAnswer);
    EXPECT_EQ(longAnswer->size(), 4095u);
    s.text = "<cancel>";
    EXPECT_FALSE(host.askText("?", "old"));
    s.cancelAt = 2;
    EXPECT_TRUE(host.progress("a", 0, 1));
    EXPECT_FALSE(host.progress("a", 1, 1));
}

TEST(OutputBuffer, AlwaysTerminatedAndCutAtCharacterBoundary) {
    char buf[8];
    std::memset(buf, 'z', sizeof buf);
    OutputBuffer out(buf, sizeof buf);
    EXPECT_EQ(buf[0], '\0');
    out.line("ab");
    EXPECT_STREQ(buf, "ab\n");
    out.line("日本");  // 3 + 6 + 1 bytes: the second kanji does not fit whole
    EXPECT_STREQ(buf, "ab\n日");
    EXPECT_EQ(out.text(), "ab\n日本\n");
    OutputBuffer none(nullptr, 100);
    none.line("nothing written");
    char one[1] = {'q'};
    OutputBuffer tiny(one, 1);
    tiny.line("x");
    EXPECT_EQ(one[0], '\0');
}

TEST(OutputBuffer, ManyLinesAddUpExactlyAndAFullBufferStaysPut) {
    std::vector<char> buf(4096, 'z');
    OutputBuffer out(buf.data(), buf.size());
    std::string expected;
    for (int i = 0; i < 100; ++i) {
        const std::string l = "entry " + std::to_string(i) + " 済";
        out.line(l);
        expected += l + "\n";
    }
    EXPECT_EQ(std::string(buf.data()), expected);

    char small[20];
    OutputBuffer full(small, sizeof small);
    full.line("0123456789");
    full.line("abcdefgh");  // fills the buffer up to 19 bytes
    const std::string before = small;
    full.line("more text that no longer fits");
    EXPECT_EQ(std::string(small), before);
    EXPECT_EQ(before, "0123456789\nabcdefgh");
}
