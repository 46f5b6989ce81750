// The program's command line, read the same way by every front end's entry:
// no argument starts the timer's window; `--summary FILE.csv` prints a
// record's summary; `--help` and `-h` (and `/?`, the Windows custom) print the
// usage. Anything else is a wrong command line: the usage, and status 2, so a
// typo never starts a timer nobody asked for.
#pragma once

#include <string>
#include <vector>

#include "config/clsConfigFile.h"
#include "platform/FileSystem.h"
#include "record/SummaryCommand.h"

enum class CommandAction {
    Window,   // start the timer
    Summary,  // `--summary FILE.csv`; the file is in `arguments`
    Help,     // the usage on standard output, status 0
    Wrong,    // the usage and what was wrong on standard error, status 2
};

struct CommandLine {
    CommandAction action = CommandAction::Window;
    std::vector<std::string> arguments;  // after `--summary`
    std::string wrong;                   // for Wrong: what was not understood, in Chinese
};

inline constexpr int kWrongCommandLineStatus = 2;

// `arguments` are the ones after the program's name. `slashHelp` takes `/?`
// as a request for help, as Windows programs do; elsewhere it is a file name.
inline CommandLine ReadCommandLine(const std::vector<std::string>& arguments, bool slashHelp) {
    if (arguments.empty()) return {};
    const std::string& first = arguments.front();
    if (first == "--help" || first == "-h" || (slashHelp && first == "/?")) return {CommandAction::Help, {}, {}};
    if (first == record::kSummaryOption) {
        std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
        if (rest.size() == 1) return {CommandAction::Summary, std::move(rest), {}};
        return {CommandAction::Wrong, {}, rest.empty() ? "“--summary”后面缺少记录文件。" : "“--summary”后面只能有一个记录文件。"};
    }
    const bool option = first.size() > 1 && (first[0] == '-' || (slashHelp && first[0] == '/'));
    return {CommandAction::Wrong, {}, (option ? "不认识的选项“" : "多余的参数“") + first + "”。"};
}

// The configuration file the window reads: beside the program, named after it.
inline std::string ConfigurationPath(const platform::FileSystem& files) {
    return NormalizeFolder(std::string(), files) + files.ExecutableBaseName() + ".config";
}

// The short usage: the one option, and where the configuration lives.
// `program` is the name to type; `configuration` the file's full path.
inline std::string Usage(const std::string& program, const std::string& configuration, bool slashHelp) {
    // Padded for a terminal, where a Chinese character takes two columns.
    return "用法：" + program + " [--summary 记录文件.csv]\n"
           "  （不带参数）              打开计时器窗口\n"
           "  --summary 记录文件.csv    打印该辩论记录的小结后退出，不打开窗口\n" +
           std::string(slashHelp ? "  --help、-h、/?            显示本说明\n" : "  --help、-h                显示本说明\n") +
           "\n比赛的所有设置都在程序旁的配置文件里，用任何文本编辑器修改：\n  " + configuration + "\n";
}
