#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "documents/writers.h"

namespace torvane::documents {
namespace {

namespace fs = std::filesystem;

class SaveTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("torvane-save-" + std::to_string(getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    fs::permissions(folder_, fs::perms::owner_all);
    fs::remove_all(folder_);
  }
  static std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), {}));
  }
  fs::path folder_;
};

TEST_F(SaveTest, ReplacesTheFileWholeAndKeepsItsMode) {
  const fs::path file = folder_ / "out.docx";
  saveAtomically(file, "old");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  saveAtomically(file, "new contents");
  EXPECT_EQ(contents(file), "new contents");
  EXPECT_EQ(fs::status(file).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(entries(), 1u);  // no temporary file left behind
}

// Root may write anywhere, so the refusal is only seen as an ordinary user.
TEST_F(SaveTest, ARefusedFolderLeavesTheOldFileAndSaysWhy) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  const fs::path file = folder_ / "out.txt";
  saveAtomically(file, "old");
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
  try {
    saveAtomically(file, "new");
    FAIL() << "saved";
  } catch (const DocumentError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::NoPermission);
    EXPECT_NE(std::string(e.what()).find("permission denied"), std::string::npos);
  }
  EXPECT_EQ(contents(file), "old");
}

TEST_F(SaveTest, AMissingFolderIsAnError) {
  EXPECT_THROW(saveAtomically(folder_ / "no" / "such.txt", "x"), DocumentError);
}

// A folder that is a file: the temporary file cannot be made, and the message says which path.
TEST_F(SaveTest, AFolderThatIsAFileIsAWriteFailure) {
  saveAtomically(folder_ / "plain", "x");
  try {
    saveAtomically(folder_ / "plain" / "out.txt", "y");
    FAIL() << "saved";
  } catch (const DocumentError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::WriteFailed);
    EXPECT_EQ(std::string(e.what()),
              "cannot write " + (folder_ / "plain" / "out.txt").string() + ": Not a directory");
  }
  EXPECT_EQ(contents(folder_ / "plain"), "x");
}

}  // namespace
}  // namespace torvane::documents
