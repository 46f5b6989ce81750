// The real program killed at any moment of its close, in a folder it may write and in one where only the
// file may be written: the configuration file is afterwards its old content or the new, never another.
#include <dirent.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "support/TestFolder.h"

namespace {

namespace fs = std::filesystem;
constexpr uid_t kNobody = 65534;

fs::path BuildFolder() { return fs::read_symlink("/proc/self/exe").parent_path().parent_path(); }

// Starts `program` with the ending signals blocked until it is ready for them (it unblocks them
// itself), as the user nobody when asked.
pid_t Start(const std::string& program, bool asNobody) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    sigset_t ending;
    sigemptyset(&ending);
    for (const int each : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&ending, each);
    ::sigprocmask(SIG_BLOCK, &ending, nullptr);
    if (asNobody && (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
                     ::setresuid(kNobody, kNobody, kNobody) != 0)) {
        ::_exit(126);
    }
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
}

bool HasTemporary(const std::string& folder) {
    DIR* listing = ::opendir(folder.c_str());
    bool found = false;
    while (const dirent* entry = listing ? ::readdir(listing) : nullptr) {
        found = found || std::string(entry->d_name).starts_with(".Tolvanexa.config.");
    }
    if (listing) ::closedir(listing);
    return found;
}

struct stat Stat(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

class KilledClose : public testing::TestWithParam<bool> {
protected:
    bool InPlace() const { return GetParam(); }
};

// The save at the close is begun by SIGTERM; SIGKILL lands as soon as the save is seen to touch the
// folder (a temporary file) or the file itself (its size or time), or a little later.
TEST_P(KilledClose, LeavesTheOldOrTheNewFileNeverAnotherOne) {
    const bool root = ::geteuid() == 0;
    testsupport::TestFolder folder;
    ::chmod(folder.Path().c_str(), 0755);
    fs::copy_file(BuildFolder() / "Tolvanexa", folder.File("Tolvanexa"));
    const std::string config = folder.File("Tolvanexa.config");
    // Untidy, so the close writes it; large, so the writing takes long enough to be caught at.
    const std::string padding = std::string(6 << 20, 'x');
    const std::string old = "#TarvelMonic Config File#\r\n<Other>\\Padding=" + padding + "\r\n";
    const std::string tidy = "#TarvelMonic Config File#\r\n<Other>\\Padding = " + padding + "\r\n";
    folder.Write("Tolvanexa.config", old);
    ::chmod(config.c_str(), 0666);
    // Only the file may be written: the folder is root's and the program runs as nobody, or, without
    // root, the folder is made read-only.
    if (InPlace() && root) {
        ASSERT_EQ(::chown(config.c_str(), kNobody, kNobody), 0);
    } else if (InPlace()) {
        ::chmod(folder.Path().c_str(), 0555);
    }
    std::mt19937 random(17);
    for (int run = 0; run < 12; ++run) {
        folder.Write("Tolvanexa.config", old);
        const struct stat before = Stat(config);
        const pid_t pid = Start(folder.File("Tolvanexa"), InPlace() && root);
        ASSERT_GT(pid, 0);
        ::kill(pid, SIGTERM);
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        bool killed = false;
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            const struct stat now = Stat(config);
            const bool touched = now.st_size != before.st_size || now.st_mtim.tv_nsec != before.st_mtim.tv_nsec ||
                                 now.st_ino != before.st_ino || HasTemporary(folder.Path());
            if (touched || std::chrono::steady_clock::now() > deadline) {
                if (run % 2 == 1) std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                killed = true;
                break;
            }
        }
        const std::string after = folder.Read("Tolvanexa.config");
        ASSERT_TRUE(after == old || after == tidy)
            << "run " << run << (killed ? " killed" : " ended by itself") << ": a file of " << after.size()
            << " bytes, neither the old " << old.size() << " nor the new " << tidy.size();
        if (InPlace()) {
            EXPECT_FALSE(HasTemporary(folder.Path()));
        }
    }
    ::chmod(folder.Path().c_str(), 0755);
}

INSTANTIATE_TEST_SUITE_P(Paths, KilledClose, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "InPlace" : "ByRename"; });

}  // namespace
