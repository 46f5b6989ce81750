// The writer on a small full tmpfs, in a child: a record cut by the full disk is taken back; skipped where not allowed.
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>

#include "ChildProcess.h"
#include "platform/posix/PosixRecordFile.h"
#include "record/KilledWriterEvents.h"
#include "record/RecordCsv.h"
#include "record/RecordWriter.h"
#include "support/TestFolder.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kPatience = 10s;

// Captions with commas, quotes and line breaks, times counted from the first.
platform::DebateEvent Event(int n) {
    platform::DebateEvent event = testsupport::KilledWriterEvent(n);
    event.steadyMs -= testsupport::KilledWriterEvent(0).steadyMs;
    return event;
}

struct Writer : testsupport::TellingWriter<platform::PosixRecordFiles> {
    using TellingWriter::TellingWriter;
    // Empty when the file holds `count` whole events, each the one recorded.
    std::string FileHolds(int count) {
        std::ifstream in(writer.FilePath(), std::ios::binary);
        const auto parsed = record::ParseRecord(std::string{std::istreambuf_iterator<char>(in), {}});
        if (parsed.unfinishedLine) return "a record cut at line " + std::to_string(*parsed.unfinishedLine);
        std::vector<platform::DebateEvent> expected;
        for (int n = 0; n < count; ++n) expected.push_back(Event(n));
        return parsed.events == expected ? "" : "the file holds " + std::to_string(parsed.events.size()) + " events, not " +
                                                    std::to_string(count) + " as recorded";
    }
};

// One message, naming `part`; else what is wrong.
std::string OneMessage(Writer& w, const std::string& part) {
    const auto messages = w.Messages();
    if (messages.size() != 1) return std::to_string(messages.size()) + " messages instead of one";
    return messages[0].find(part) == std::string::npos ? "message: " + messages[0] : "";
}

// In the child, with a 32 kB tmpfs of its own mounted on `folder`: a filler
// leaves two pages free, events are recorded until the disk is full, the
// filler goes, and the periodic retry writes the rest.
std::string FullDisk(const std::string& folder) {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=32k") != 0) {
        return "SKIP: cannot mount a small tmpfs here";
    }
    const std::string filler = folder + "/filler";
    std::ofstream(filler, std::ios::binary) << std::string(24 * 1024, 'f');
    Writer w(20ms);
    w.writer.WriteTo(folder + "/records");
    int recorded = 0;
    for (; recorded < 1000 && w.Messages().empty(); ++recorded) {
        w.writer.Record(Event(recorded));
        w.writer.WaitUntilWritten(kPatience);
    }
    if (std::string wrong = OneMessage(w, "磁盘空间不足"); !wrong.empty()) return wrong;
    // What is on the disk so far is whole: the record cut by the full disk was taken back.
    if (std::string held = w.FileHolds(recorded - 1); held.starts_with("a record cut")) return "while full: " + held;
    ::unlink(filler.c_str());
    for (int waits = 0; waits < 500 && !w.writer.WaitUntilWritten(kPatience); ++waits) {
        std::this_thread::sleep_for(20ms);  // the retry comes by itself
    }
    if (std::string wrong = OneMessage(w, "磁盘空间不足"); !wrong.empty()) return wrong;
    return w.FileHolds(recorded);
}

// Before, a RecordFolder whose deepest level could not be made (a name too long) left the levels above it.
TEST(RealDisk, ARecordFolderThatCannotBeMadeLeavesNothingBehind) {
    const testsupport::TestFolder folder;
    platform::PosixRecordFiles files;
    const std::string deep = folder.File("a/b/c/" + std::string(300, 'x'));
    EXPECT_THROW(files.CreateFolder(deep), platform::FileError);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
    files.CreateFolder(folder.File("a/b"));  // one that can be made is made, and stays
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("a/b")));
}

TEST(RealDisk, FullDisk) {
    testsupport::TestFolder folder;
    const std::string verdict = testsupport::InChild([&] { return FullDisk(folder.Path()); });
    if (verdict.starts_with("SKIP")) GTEST_SKIP() << verdict;
    EXPECT_EQ(verdict, "");
}

}  // namespace
