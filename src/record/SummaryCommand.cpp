#include "record/SummaryCommand.h"

#include "record/Csv.h"
#include "record/RecordCsv.h"
#include "record/SummaryText.h"

namespace record {

int RunSummaryCommand(const std::vector<std::string>& arguments, platform::RecordFiles& files, std::ostream& out,
                      std::ostream& err) {
    if (arguments.size() != 1) {
        err << "用法：Tolvanexa --summary 记录文件.csv\n";
        return 2;
    }
    const std::string& path = arguments.front();
    try {
        const ParsedRecord parsed = ParseRecord(files.ReadRegular(path));
        if (parsed.unfinishedLine) {
            err << "注意：辩论记录“" << path << "”第 " << *parsed.unfinishedLine
                << " 行起的最后一条记录不完整（写入时被中断），未计入。\n";
        }
        out << AsText(Summarise(parsed.events));
        out.flush();
        return out ? 0 : 1;
    } catch (const CsvError& error) {
        err << "辩论记录“" << path << "”第 " << error.line() << " 行有误：" << error.what() << "\n";
    } catch (const std::exception& error) {
        err << error.what() << "\n";
    }
    return 1;
}

}  // namespace record
