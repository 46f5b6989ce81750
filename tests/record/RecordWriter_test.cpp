// The writer on the fake files: one file per run, never over another's, failures told once and the events kept.
#include <gtest/gtest.h>

#include <atomic>

#include "record/KilledWriterEvents.h"
#include "record/RecordCsv.h"
#include "record/RecordWriter.h"
#include "support/MemoryRecordFiles.h"

namespace {

using namespace std::chrono_literals;
using platform::DebateEvent;

constexpr auto kPatience = 10s;  // only a broken writer takes this long
const std::string kFolder = "/opt/Tolvanexa/records";
const std::string kFile = kFolder + "/2026-12-07 14-03-09.csv";

DebateEvent Event(int n) { return testsupport::KilledWriterEvent(n); }

struct Writer : testsupport::TellingWriter<testsupport::MemoryRecordFiles> {
    explicit Writer(std::chrono::milliseconds retry = 1h) : TellingWriter(retry) {}
    // What the file reads back as, offsets made absolute again.
    std::vector<DebateEvent> FileEvents(const std::string& path = kFile) {
        auto events = record::ParseRecord(files.Content(path).value_or("")).events;
        for (DebateEvent& event : events) event.steadyMs += Event(0).steadyMs;
        return events;
    }
};

TEST(RecordWriter, WritesEveryEventInOrderToTheFileOfTheFirstSecond) {
    Writer w;
    w.writer.Record(Event(0));  // before the folder is known: kept, then written first
    w.writer.WriteTo(kFolder);
    for (int n = 1; n < 20; ++n) w.writer.Record(Event(n));
    ASSERT_TRUE(w.writer.WaitUntilWritten(kPatience));
    EXPECT_EQ(w.writer.FilePath(), kFile);
    EXPECT_TRUE(w.files.Folders().contains(kFolder));
    EXPECT_EQ(w.FileEvents(), w.writer.Events());
    EXPECT_EQ(w.files.Appends(), 21);  // the header, then one append (and sync) per event
    EXPECT_TRUE(w.Messages().empty());
}

TEST(RecordWriter, NeverWritesOverAnotherRecordOfTheSameSecond) {
    Writer w;
    w.files.Put(kFile, "someone else's");
    w.writer.WriteTo(kFolder);
    w.writer.Record(Event(0));
    ASSERT_TRUE(w.writer.WaitUntilWritten(kPatience));
    EXPECT_EQ(w.files.Content(kFile), "someone else's");
    EXPECT_EQ(w.writer.FilePath(), kFolder + "/2026-12-07 14-03-09 (2).csv");
}

TEST(RecordWriter, ReadOnlyFolderIsToldOnceAndTheEventsAreWrittenWhenItIsWritable) {
    Writer w;
    w.files.SetReadOnly(true);
    w.writer.WriteTo(kFolder);
    for (int n = 0; n < 5; ++n) {
        w.writer.Record(Event(n));
        EXPECT_FALSE(w.writer.WaitUntilWritten(kPatience));
    }
    ASSERT_EQ(w.Messages().size(), 1u);
    EXPECT_NE(w.Messages()[0].find(kFolder), std::string::npos) << w.Messages()[0];
    EXPECT_NE(w.Messages()[0].find("计时照常进行"), std::string::npos);
    w.files.SetReadOnly(false);
    w.writer.Record(Event(5));  // the next event tries again
    ASSERT_TRUE(w.writer.WaitUntilWritten(kPatience));
    EXPECT_EQ(w.FileEvents(), w.writer.Events());
    EXPECT_EQ(w.writer.Events().size(), 6u);
    // A failure after the recovery is a new one, and told again.
    w.files.SetSpaceLeft(0);
    w.writer.Record(Event(6));
    EXPECT_FALSE(w.writer.WaitUntilWritten(kPatience));
    EXPECT_EQ(w.Messages().size(), 2u);
}

TEST(RecordWriter, FullDiskIsToldOnceAndRetriedWithoutANewEvent) {
    Writer w(10ms);
    w.writer.WriteTo(kFolder);
    w.writer.Record(Event(0));
    ASSERT_TRUE(w.writer.WaitUntilWritten(kPatience));
    w.files.SetSpaceLeft(2 * record::EncodeEvent(Event(2), 0).size());
    for (int n = 1; n < 8; ++n) w.writer.Record(Event(n));
    EXPECT_FALSE(w.writer.WaitUntilWritten(kPatience));
    // The records that fitted are whole; none is cut.
    const auto partial = w.FileEvents();
    EXPECT_GE(partial.size(), 2u);
    EXPECT_LT(partial.size(), 8u);
    const auto all = w.writer.Events();
    EXPECT_EQ(partial, std::vector(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(partial.size())));
    w.files.SetSpaceLeft(std::nullopt);
    // No new event: the periodic retry writes the rest.
    for (int waits = 0; w.FileEvents().size() < 8 && waits < 1000; ++waits) std::this_thread::sleep_for(10ms);
    EXPECT_EQ(w.FileEvents(), w.writer.Events());
    EXPECT_EQ(w.Messages().size(), 1u);
}

TEST(RecordWriter, OffKeepsTheEventsForTheSummaryAndWritesNothing) {
    Writer w;
    w.writer.WriteTo(std::nullopt);
    w.writer.Record(Event(0));
    EXPECT_EQ(w.writer.Events().size(), 1u);
    EXPECT_EQ(w.files.Appends(), 0);
    EXPECT_TRUE(w.files.Folders().empty());
}

TEST(RecordWriter, WritesWhatIsWaitingWhenTheProgramEnds) {
    testsupport::MemoryRecordFiles files;
    {
        record::RecordWriter writer(files, {});
        writer.WriteTo(kFolder);
        for (int n = 0; n < 50; ++n) writer.Record(Event(n));
    }
    EXPECT_EQ(record::ParseRecord(files.Content(kFile).value_or("")).events.size(), 50u);
}

struct FolderCase {
    const char* setting;
    std::optional<std::string> folder;
    friend void PrintTo(const FolderCase& each, std::ostream* out) { *out << '"' << each.setting << '"'; }
};

class RecordFolderSetting : public testing::TestWithParam<FolderCase> {};

TEST_P(RecordFolderSetting, NamesTheFolder) {
    EXPECT_EQ(record::RecordFolder(GetParam().setting, "/opt/Tolvanexa"), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(Settings, RecordFolderSetting,
                         testing::Values(FolderCase{"", "/opt/Tolvanexa/records"},
                                         FolderCase{"   ", "/opt/Tolvanexa/records"},
                                         FolderCase{"-", std::nullopt}, FolderCase{" - ", std::nullopt},
                                         FolderCase{"辩论记录", "/opt/Tolvanexa/辩论记录"},
                                         FolderCase{"data\\2026\\", "/opt/Tolvanexa/data/2026"},
                                         FolderCase{"/srv/records/", "/srv/records"},
                                         FolderCase{"D:\\比赛\\记录", "D:/比赛/记录"}, FolderCase{"/", "/"},
                                         FolderCase{"--", "/opt/Tolvanexa/--"}));

}  // namespace
