// Why a file cannot be read: each refusal the system gives is named, a
// holder's exclusive lock as "held", and a file that can be read as none.
#include "platform/read_refusal.h"
#include "platform/shared_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace velmora::testing {
namespace {

TEST(ReadRefusal, EachReasonIsNamedAndAReadableFileHasNone) {
    TempFolder folder;
    const std::string deal = folder.file("deal.xml");
    writeBytes(deal, "<calverin/>");
    EXPECT_EQ(readRefusalOf(deal), ReadRefusal::None);
    EXPECT_EQ(readRefusalOf(folder.file("gone.xml")), ReadRefusal::Missing);
    EXPECT_EQ(readRefusalOf(folder.file("gone/deal.xml")), ReadRefusal::Missing);
    EXPECT_EQ(readRefusalOf(deal + "/deal.xml"), ReadRefusal::Missing);
    EXPECT_EQ(readRefusalOf(folder.path()), ReadRefusal::NotAFile);
    EXPECT_EQ(readRefusalOf(folder.file(std::string(300, 'n'))), ReadRefusal::TooLong);
    EXPECT_STREQ(readRefusalText(ReadRefusal::TooLong),
                 "the path is longer than the file system takes");
    EXPECT_STREQ(readRefusalText(ReadRefusal::None), "");
    EXPECT_STREQ(whyNotRead(deal), "cannot be read");
    EXPECT_STREQ(whyNotRead(folder.file("gone.xml")), "no such file");
}

TEST(ReadRefusal, OnlyAHolderThatSharesNothingHoldsAFileAgainstReaders) {
    TempFolder folder;
    const std::string deal = folder.file("deal.xml");
    writeBytes(deal, "<calverin/>");
    {
        const auto reader = SharedFile::open(deal, FileAccess::Read, FileSharing::ReadOnly);
        ASSERT_TRUE(reader);
        EXPECT_EQ(readRefusalOf(deal), ReadRefusal::None);
    }
    {
        const auto holder = SharedFile::open(deal, FileAccess::Read, FileSharing::None);
        ASSERT_TRUE(holder);
        EXPECT_EQ(readRefusalOf(deal), ReadRefusal::Held);
        EXPECT_STREQ(readRefusalText(readRefusalOf(deal)), "held by another program");
    }
    EXPECT_EQ(readRefusalOf(deal), ReadRefusal::None);
}

TEST(ReadRefusal, AFileWithoutReadPermissionIsDenied) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    TempFolder folder;
    const std::string deal = folder.file("deal.xml");
    writeBytes(deal, "<calverin/>");
    ASSERT_EQ(::chmod(deal.c_str(), 0200), 0);
    EXPECT_EQ(readRefusalOf(deal), ReadRefusal::Denied);
}

} // namespace
} // namespace velmora::testing
