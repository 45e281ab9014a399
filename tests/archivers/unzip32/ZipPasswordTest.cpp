// Encrypted entries: the password comes from the host; without one the entry is
// skipped and reported.
#include <gtest/gtest.h>
#include <zip.h>

#include <cstring>

#include "ArchiverApi.h"
#include "TestSupport.h"

namespace kestrel::test {
namespace {

// Writes an archive with libzip: "plain.txt", then each of `secret` encrypted with
// `method` and `password`.
std::string encryptedArchive(const std::string& path, uint16_t method, const char* password,
                             const std::vector<std::string>& secret) {
    static const std::string body = "secret content\n";
    int err = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (za == nullptr)
        return {};
    zip_file_add(za, "plain.txt", zip_source_buffer(za, "plain", 5, 0), 0);
    for (const std::string& name : secret) {
        const zip_int64_t i =
            zip_file_add(za, name.c_str(), zip_source_buffer(za, body.data(), body.size(), 0), 0);
        zip_file_set_encryption(za, static_cast<zip_uint64_t>(i), method, password);
    }
    return zip_close(za) == 0 ? path : std::string();
}

class ZipPassword : public ::testing::TestWithParam<uint16_t> {
protected:
    void SetUp() override {
        if (!zip_encryption_method_supported(GetParam(), 1))
            GTEST_SKIP() << "libzip here cannot write this encryption";
        archive = encryptedArchive(dir / "enc.zip", GetParam(), "pa55", {"s1.txt", "s2.txt"});
        ASSERT_FALSE(archive.empty());
    }
    int extract(void* host, std::string* report = nullptr) {
        return runUnZip(host, "-x \"" + archive + "\" \"" + out + "/\" \"*.*\"", report);
    }
    TempDir dir;
    std::string out = dir / "out";
    std::string archive;
};

TEST_P(ZipPassword, WithoutHostEncryptedEntriesAreSkipped) {
    std::string report;
    EXPECT_EQ(extract(nullptr, &report), KA_WARN_SKIPPED);
    EXPECT_EQ(listTree(out), std::vector<std::string>{"plain.txt"});
    EXPECT_NE(report.find("s1.txt"), std::string::npos);

    void* handle = UnZipOpenArchive(nullptr, archive.c_str(), 0);
    ASSERT_NE(handle, nullptr);
    EntryInfo e;
    ASSERT_EQ(UnZipFindFirst(handle, "s1.txt", &e), 0);
    EXPECT_EQ(e.flags & ENTRY_FLAG_ENCRYPTED, uint32_t{ENTRY_FLAG_ENCRYPTED});
    UnZipCloseArchive(handle);
}

TEST_P(ZipPassword, HostPasswordIsAskedSecretlyAndReused) {
    ScriptedHost host;
    host.texts = {std::string("pa55")};
    EXPECT_EQ(extract(host.host()), KA_OK);
    EXPECT_EQ(readFile(out + "/s1.txt"), "secret content\n");
    EXPECT_EQ(readFile(out + "/s2.txt"), "secret content\n");
    ASSERT_EQ(host.prompts.size(), 1u) << "the second entry reuses the password";
    EXPECT_EQ(host.secrets[0], 1);
}

TEST_P(ZipPassword, WrongPasswordIsAskedAgain) {
    ScriptedHost host;
    host.texts = {std::string("wrong"), std::string("pa55")};
    EXPECT_EQ(extract(host.host()), KA_OK);
    EXPECT_EQ(host.prompts.size(), 2u);
    EXPECT_EQ(readFile(out + "/s2.txt"), "secret content\n");
    EXPECT_EQ(listTree(out), (std::vector<std::string>{"plain.txt", "s1.txt", "s2.txt"}));
}

TEST_P(ZipPassword, CancelledOrAlwaysWrongSkipsTheEntry) {
    ScriptedHost host;
    host.texts = {std::nullopt, std::string("bad1"), std::string("bad2"), std::string("bad3")};
    std::string report;
    EXPECT_EQ(extract(host.host(), &report), KA_WARN_SKIPPED);
    EXPECT_EQ(listTree(out), std::vector<std::string>{"plain.txt"}) << report;
    EXPECT_EQ(host.prompts.size(), 4u) << "one cancel, then three tries for the second entry";
}

INSTANTIATE_TEST_SUITE_P(Methods, ZipPassword,
                         ::testing::Values(uint16_t{ZIP_EM_TRAD_PKWARE}, uint16_t{ZIP_EM_AES_256}),
                         [](const auto& info) {
                             return info.param == ZIP_EM_TRAD_PKWARE ? std::string("Traditional")
                                                                     : std::string("Aes256");
                         });

}  // namespace
}  // namespace kestrel::test
