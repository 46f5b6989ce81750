// Feeds arbitrary bytes to `--summary`'s reader as a record file: parsed one
// record at a time, summarised and laid out as the table it prints. Beyond
// crashes, leaks, hangs and overflows it checks what must always hold of a
// summary: no time is negative, a time used never exceeds its allowance, and
// the runs stay within the reader's limit.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/posix/PosixIconvCodec.h"
#include "record/Csv.h"
#include "record/SummaryCommand.h"
#include "record/SummaryText.h"

namespace {

void Require(bool holds) {
    if (!holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const platform::IconvCodec codec;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const record::RecordSummary read = record::SummariseRecord(bytes, codec);
        Require(read.summary.runs.size() <= record::kMostStageRuns + 1);
        for (const record::StageRun& run : read.summary.runs) {
            Require(run.used >= 0 && run.overtime >= 0 && run.pauses >= 0 && run.pausedSeconds >= 0);
            // An answer's allowance is countdown 2's, which the row does not show: only its sign is sure.
            Require(run.used <= run.allowance && run.longestAnswer >= 0);
            for (const record::SideTime& side : run.sides) Require(side.used >= 0 && side.turns >= 0);
        }
        (void)record::AsText(read.summary);
        (void)record::AsCsv(read.summary);
    } catch (const record::CsvError& error) {
        Require(error.line() >= 1);
    }
    return 0;
}
