// The store on real files through the POSIX adapter: folders and files the user cannot write, links,
// owners, pipes, a full disk, leftovers of killed saves. Cases that need another user or a mount run as
// root (dropping to the user nobody in a child) and are skipped elsewhere.
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "config/clsConfigFile.h"
#include "platform/posix/PosixIconvCodec.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/TestFolder.h"

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
const std::string H = "#TarvelMonic Config File#\r\n";
const std::string kTidy = H + "<Tolvanexa>\\Title = Old\r\n";
const std::string kUntidy = H + "<Tolvanexa>\\Title=Old\r\n";  // a save writes it as kTidy
constexpr uid_t kNobody = 65534;
const platform::IconvCodec codec;

class PosixStore : public testing::Test {
protected:
    void SetUp() override { ::chmod(folder.Path().c_str(), 0755); }
    std::string Path() const { return folder.File("Tolvanexa.config"); }
    static struct stat Stat(const std::string& path) {
        struct stat st {};
        return ::lstat(path.c_str(), &st), st;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.Path())) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    // What the store says at Close, or "saved".
    std::string Close() {
        try {
            clsConfigFile(files, codec).Close();
            return "saved";
        } catch (const platform::FileError& error) {
            return error.what();
        }
    }
    // Runs `work` in a child as the user nobody and returns what it returned.
    static std::string AsNobody(const std::function<std::string()>& work) {
        int out[2];
        if (::pipe(out) != 0) return "no pipe";
        const pid_t child = ::fork();
        if (child == 0) {
            const bool nobody = ::setgroups(0, nullptr) == 0 && ::setresgid(kNobody, kNobody, kNobody) == 0 &&
                                ::setresuid(kNobody, kNobody, kNobody) == 0;
            const std::string result = nobody ? work() : "could not become nobody";
            ::_exit(::write(out[1], result.data(), result.size()) < 0);
        }
        ::close(out[1]);
        std::string result;
        char buffer[4096];
        for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;) result.append(buffer, got);
        ::close(out[0]);
        ::waitpid(child, nullptr, 0);
        return result;
    }

    testsupport::TestFolder folder;
    platform::PosixFileSystem files{platform::ExecutableLocation{folder.Path(), "Tolvanexa"}};
};

#define REQUIRE_ROOT() \
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user"

// A shared installation where only the file may be written: no close fails, and the file, which would
// only be tidied, is never rewritten in place; nothing is left behind.
TEST_F(PosixStore, AFolderTheUserCannotWriteFailsNoCloseAndLeavesTheFileAsItIs) {
    REQUIRE_ROOT();
    for (const std::string& before : {kTidy, kUntidy}) {
        folder.Write("Tolvanexa.config", before);
        ::chmod(Path().c_str(), 0666);
        EXPECT_EQ(AsNobody([&] { return Close(); }), "saved");
        EXPECT_EQ(folder.Read("Tolvanexa.config"), before);
        EXPECT_EQ(Names(), std::vector<std::string>{"Tolvanexa.config"});
    }
}

// Judged by the mode bits, so also when an administrator runs the timer.
TEST_F(PosixStore, AFileWithoutWritePermissionIsReportedAndLeftAsItIs) {
    folder.Write("Tolvanexa.config", kUntidy);
    ::chmod(Path().c_str(), 0444);
    EXPECT_THAT(Close(), HasSubstr("只读"));
    EXPECT_EQ(folder.Read("Tolvanexa.config"), kUntidy);
    EXPECT_EQ(Stat(Path()).st_mode & 07777, 0444u);
}

// The link stays, the file it leads to is replaced, and the temporary file was made beside that one.
TEST_F(PosixStore, ALinkedFileIsReplacedThroughTheLink) {
    fs::create_directory(folder.File("shared"));
    folder.Write("shared/timer.config", kUntidy);
    fs::create_symlink("shared/timer.config", Path());
    EXPECT_EQ(Close(), "saved");
    EXPECT_TRUE(fs::is_symlink(Path()));
    EXPECT_EQ(folder.Read("shared/timer.config"), kTidy);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.File("shared")), {}), 1);
}

TEST_F(PosixStore, AnAdministratorsSaveKeepsTheOwnerAndGroup) {
    REQUIRE_ROOT();
    folder.Write("Tolvanexa.config", kUntidy);
    ASSERT_EQ(::chown(Path().c_str(), kNobody, kNobody), 0);
    ::chmod(Path().c_str(), 0640);
    EXPECT_EQ(Close(), "saved");
    EXPECT_EQ(folder.Read("Tolvanexa.config"), kTidy);
    const struct stat st = Stat(Path());
    EXPECT_EQ(std::tuple(st.st_uid, st.st_gid, st.st_mode & 07777), std::tuple(kNobody, kNobody, 0640u));
}

// The start-up message gives the true cause, and the file is moved aside untouched.
TEST_F(PosixStore, AFileTheUserMayNotReadIsSaidToBeSoAndMovedAside) {
    REQUIRE_ROOT();
    ::chmod(folder.Path().c_str(), 0777);
    folder.Write("Tolvanexa.config", kTidy);
    ::chmod(Path().c_str(), 0600);
    const std::string notice = AsNobody([&] { return clsConfigFile(files, codec).FileNotice(); });
    EXPECT_THAT(notice, HasSubstr("没有权限"));
    EXPECT_THAT(notice, HasSubstr("Tolvanexa.config.bak"));
    EXPECT_EQ(folder.Read("Tolvanexa.config.bak"), kTidy);
}

// Never opened, so nothing waits for a writer: moved aside like any file the store cannot use.
TEST_F(PosixStore, APipeIsNeverOpenedAndIsMovedAside) {
    ASSERT_EQ(::mkfifo(Path().c_str(), 0644), 0);
    ::alarm(20);  // a regression hangs in open(): end it
    EXPECT_THROW(files.ReadFile(Path()), platform::FileError);
    EXPECT_THROW(files.WriteAll(Path(), "x"), platform::FileError);
    const clsConfigFile config(files, codec);
    ::alarm(0);
    EXPECT_THAT(config.FileNotice(), HasSubstr("不是普通文件"));
    EXPECT_TRUE(S_ISFIFO(Stat(Path() + ".bak").st_mode));
    EXPECT_EQ(folder.Read("Tolvanexa.config"), H);
}

// Start on a full disk with a file the store must set aside: the copy fails, so the file is held. Space is
// freed and the file mended while the timer runs: the close leaves the mended file; unmended, it refuses.
TEST_F(PosixStore, AFileThatCouldNotBeSetAsideIsNeverWrittenOverAndAMendedOneStays) {
    REQUIRE_ROOT();
    for (const bool mended : {true, false}) {
        const testsupport::TestFolder disk;
        if (::mount("tmpfs", disk.Path().c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "cannot mount";
        platform::PosixFileSystem small{platform::ExecutableLocation{disk.Path(), "Tolvanexa"}};
        // Bytes neither GBK nor UTF-8: the file must be kept before it is written over.
        const std::string foreign = "#TarvelMonic Config File#\r\n<Tolvanexa>\\Title = \xFF" + std::string(1400, 'x') + "\r\n";
        disk.Write("Tolvanexa.config", foreign);
        for (std::ofstream filler(disk.File("filler"), std::ios::binary); filler.write(std::string(4096, 'f').data(), 4096);)
            filler.flush();
        std::string closed = "saved";
        {
            clsConfigFile config(small, codec);
            EXPECT_THAT(config.FileNotice(), HasSubstr("不会改写该文件"));
            fs::remove(disk.File("filler"));
            if (mended) disk.Write("Tolvanexa.config", kTidy + std::string(1400, ' '));
            try {
                config.Close();
            } catch (const platform::FileError& error) {
                closed = error.what();
            }
        }
        EXPECT_EQ(disk.Read("Tolvanexa.config"), mended ? kTidy + std::string(1400, ' ') : foreign);
        EXPECT_THAT(closed, HasSubstr(mended ? "saved" : "没有改写该文件"));
        EXPECT_FALSE(fs::exists(disk.File("Tolvanexa.config.bak")));
        ::umount(disk.Path().c_str());
    }
}

// Only regular files of the temporary form beside the configuration go; anything else stays.
TEST_F(PosixStore, LeftoversOfKilledSavesAreRemovedAndNothingElse) {
    folder.Write("Tolvanexa.config", kTidy);
    const std::vector<std::string> kept = {".Tolvanexa.config.Ab12C", ".Tolvanexa.config.Ab12Cd5", ".Tolvanexa.config.ab_12c",
                                           "Tolvanexa.config", "Tolvanexa.config.bak", "x.Tolvanexa.config.Ab12Cd"};
    for (const std::string& name : kept) folder.Write(name, "keep");
    folder.Write(".Tolvanexa.config.Ab12Cd", "left by a kill");
    fs::create_directory(folder.File(".Tolvanexa.config.FOLDER"));
    fs::create_symlink("Tolvanexa.config", folder.File(".Tolvanexa.config.LINK00"));
    const std::string made = files.CreateTemporary(Path());  // the form a save makes
    clsConfigFile::RemoveLeftovers(files);
    EXPECT_FALSE(fs::exists(made));
    std::vector<std::string> expected = kept;
    expected.insert(expected.end(), {".Tolvanexa.config.FOLDER", ".Tolvanexa.config.LINK00"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(), expected);
}

}  // namespace
