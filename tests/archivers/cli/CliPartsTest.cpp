// The pieces of kestrel-arc: row texts, result names, library names, terminal answers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ArchiverLibrary.h"
#include "ListingPrinter.h"
#include "ResultText.h"
#include "TempDir.h"
#include "TerminalHost.h"

namespace kestrel::cli {
namespace {

using arc::ArchiverLibrary;

TEST(ListingPrinter, RatioDateAndFields) {
    EXPECT_EQ(ListingPrinter::ratioText(523), "52.3%");
    EXPECT_EQ(ListingPrinter::ratioText(500), "50%");
    EXPECT_EQ(ListingPrinter::ratioText(1000), "100%");
    EXPECT_EQ(ListingPrinter::ratioText(0), "0%");
    EXPECT_EQ(ListingPrinter::ratioText(5), "0.5%");
    EXPECT_EQ(ListingPrinter::dateText(0x5A2F, 0x6C83), "2025/01/15 13:36:06");
    const char full[8] = {'D', 'e', 'f', 'l', 'a', 't', '6', '4'};
    EXPECT_EQ(ListingPrinter::field(full, 8), "Deflat64") << "a full field has no NUL";

    EntryInfo e;
    std::memset(&e, 0, sizeof e);
    e.originalSize = 1234;
    e.ratio = 523;
    e.dosDate = 0x5A2F;
    e.dosTime = 0x6C83;
    std::strcpy(e.name, "docs/a.txt");
    std::memcpy(e.attribute, "R--A", 4);
    std::memcpy(e.method, "-lh5-", 5);
    const std::string row = ListingPrinter::row(e);
    for (const char* part : {"2025/01/15 13:36:06", "R--A", "-lh5-", "52.3%", "1234", "docs/a.txt"})
        EXPECT_NE(row.find(part), std::string::npos) << part << " in " << row;
}

TEST(ResultText, NamesAndExitStatus) {
    EXPECT_EQ(resultText(KA_OK), "0x0000 KA_OK");
    EXPECT_EQ(resultText(KA_WARN_SKIPPED), "0x1001 KA_WARN_SKIPPED");
    EXPECT_EQ(resultText(0x7777), "0x7777");
    EXPECT_EQ(exitStatus(KA_OK), 0);
    EXPECT_EQ(exitStatus(KA_WARN_SKIPPED), 1);
    EXPECT_EQ(exitStatus(KA_ERR_DAMAGED), 2);
}

TEST(ArchiverLibrary, KnowsTheThreeLibrariesByAnyUsualName) {
    EXPECT_EQ(ArchiverLibrary("unzip").fileName(), "libunzip32.so");
    EXPECT_EQ(ArchiverLibrary("UnZip32").fileName(), "libunzip32.so");
    EXPECT_EQ(ArchiverLibrary("libunlha32.so").fileName(), "libunlha32.so");
    EXPECT_EQ(ArchiverLibrary("CAB").fileName(), "libcab32.so");
    ArchiverLibrary rar("rar");
    EXPECT_FALSE(rar.known());
    EXPECT_FALSE(rar.load());
    EXPECT_FALSE(rar.error().empty());
}

TEST(ArchiverLibrary, TriesEachFolderThenTheSystemAndKeepsEveryReason) {
    const std::vector<std::string> own = ArchiverLibrary::searchFolders();
    ASSERT_EQ(own.size(), 3u);
    EXPECT_EQ(own[1], own[0] + "../lib/kestrel/");
    EXPECT_EQ(own[2], "") << "the system's search path comes last";

    ArchiverLibrary lib("unzip", {"/nonexistent-kestrel-a/", "/nonexistent-kestrel-b/"});
    ASSERT_FALSE(lib.load());
    const std::string& why = lib.error();
    EXPECT_NE(why.find("libunzip32.so"), std::string::npos) << why;
    const size_t a = why.find("/nonexistent-kestrel-a/libunzip32.so");
    const size_t b = why.find("/nonexistent-kestrel-b/libunzip32.so");
    ASSERT_NE(a, std::string::npos) << why;
    ASSERT_NE(b, std::string::npos) << why;
    EXPECT_LT(a, b) << "folders are tried in the order given";
    EXPECT_EQ(std::count(why.begin(), why.end(), '\n'), 2) << "one reason per attempt: " << why;

}

TEST(ArchiverLibrary, ACopyWithoutTheEntriesIsPassedOver) {
    // Any shared object that is not ours stands for a foreign or broken copy.
    const kestrel::test::TempDir folder;
    const std::string impostor = folder / "libunzip32.so";
    ASSERT_EQ(std::system(("cp /usr/lib/x86_64-linux-gnu/libz.so.1 " + impostor).c_str()), 0);
    ArchiverLibrary lib("unzip", {folder.path() + "/", "/nonexistent-kestrel-b/"});
    EXPECT_FALSE(lib.load());
    EXPECT_NE(lib.error().find(impostor + ": no entry UnZip"), std::string::npos) << lib.error();
    EXPECT_NE(lib.error().find("/nonexistent-kestrel-b/libunzip32.so"), std::string::npos) << lib.error();
}

// A terminal whose input is `input` and whose output is thrown away.
struct FakeTerminal {
    explicit FakeTerminal(const std::string& input)
        : text(input), in(fmemopen(text.data(), text.size(), "r")), out(std::tmpfile()),
          terminal(in, out) {}
    ~FakeTerminal() {
        std::fclose(in);
        std::fclose(out);
    }
    KestrelHost* host() { return terminal.host(); }
    std::string text;
    FILE* in;
    FILE* out;
    TerminalHost terminal;
};

TEST(TerminalHost, YesNoAnswersAndEndOfInput) {
    FakeTerminal t("what\ny\nNo\nall\nc\n");
    KestrelHost* h = t.host();
    EXPECT_EQ(h->askYesNo(h->context, "上書きしますか?"), KH_YES) << "asks again after nonsense";
    EXPECT_EQ(h->askYesNo(h->context, "?"), KH_NO);
    EXPECT_EQ(h->askYesNo(h->context, "?"), KH_YES_TO_ALL);
    EXPECT_EQ(h->askYesNo(h->context, "?"), KH_CANCEL);
    EXPECT_EQ(h->askYesNo(h->context, "?"), KH_CANCEL) << "end of input cancels";
}

TEST(TerminalHost, TextDefaultsLongLinesAndEndOfInput) {
    FakeTerminal t("\n" + std::string(100, 'x') + "\nnext\n");
    KestrelHost* h = t.host();
    char answer[16];
    ASSERT_EQ(h->askText(h->context, "名前", "default.txt", 0, answer, sizeof answer), 1);
    EXPECT_STREQ(answer, "default.txt");
    EXPECT_EQ(h->askText(h->context, "名前", "", 0, answer, sizeof answer), 0)
        << "an answer longer than the caller's buffer is refused, never cut";
    ASSERT_EQ(h->askText(h->context, "名前", "", 0, answer, sizeof answer), 1);
    EXPECT_STREQ(answer, "next") << "the rest of a long line does not answer the next question";
    EXPECT_EQ(h->askText(h->context, "名前", "", 1, answer, sizeof answer), 0);
    char path[64];
    EXPECT_EQ(h->askFile(h->context, "次のディスク", "b.cab", path, sizeof path), 0);
}

}  // namespace
}  // namespace kestrel::cli
