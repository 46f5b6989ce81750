#include "record/SummaryCommand.h"

#include "config/Utf8.h"
#include "record/Csv.h"
#include "record/RecordCsv.h"
#include "record/SummaryText.h"

namespace record {

RecordSummary SummariseRecord(std::string_view bytes, const platform::TextCodec& codec) {
    std::optional<std::string> decoded;
    if (!bytes.starts_with(kByteOrderMark) && !config::IsValidUtf8(bytes)) {
        decoded = codec.GbkToUtf8(std::string(bytes));
        if (!decoded) throw CsvError(1, "文件既不是 UTF-8 编码，也不是 GBK 编码，不是辩论记录。");
        bytes = *decoded;
    }
    RecordReader reader(bytes);
    Summariser summariser;
    for (platform::DebateEvent event; reader.Next(event);) {
        summariser.Take(event);
        if (summariser.Runs() > kMostStageRuns) {
            throw CsvError(1, "其中的环节超过 " + std::to_string(kMostStageRuns) + " 次，不像是一场辩论的记录。");
        }
    }
    return {summariser.Finish(), reader.UnfinishedLine()};
}

int RunSummaryCommand(const std::vector<std::string>& arguments, platform::RecordFiles& files,
                      const platform::TextCodec& codec, std::ostream& out, std::ostream& err) {
    if (arguments.size() != 1) {
        err << "用法：Tolvanexa --summary 记录文件.csv\n";
        return 2;
    }
    const std::string& path = arguments.front();
    try {
        const RecordSummary record = SummariseRecord(files.ReadRegular(path), codec);
        if (record.unfinishedLine) {
            err << "注意：辩论记录“" << path << "”第 " << *record.unfinishedLine
                << " 行起的最后一条记录不完整（写入时被中断），未计入。\n";
        }
        out << AsText(record.summary);
        out.flush();
        if (out) return 0;
        err << "辩论记录“" << path << "”的小结无法写到标准输出（磁盘已满，或输出已关闭）。\n";
    } catch (const CsvError& error) {
        err << "辩论记录“" << path << "”第 " << error.line() << " 行有误：" << error.what() << "\n";
    } catch (const platform::FileError& error) {
        err << error.what() << "\n";
    } catch (const std::exception& error) {
        err << "读取辩论记录“" << path << "”时出错：" << error.what() << "\n";
    }
    err.flush();
    return 1;
}

}  // namespace record
