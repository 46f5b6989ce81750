// What a debate format costs: start-up (the window's Form_Load) with the classic stages, with a format of
// thirty stages in the configuration, and with the same format in a file "Format" names, side by side in
// one run; and the home page of thirty stages laid out and rebuilt on the real Qt controls.
// Figures only; nothing here passes or fails.
#include <cstdlib>
#include <set>

#include "BenchHarness.h"
#include "window/StageTable.h"

namespace {

using bench::Clock;
using bench::Milliseconds;

// Thirty stages of every kind, named as a long tournament names them.
std::string ThirtyStages() {
    const char* kinds[] = {"Speech", "Questioning", "Alternating"};
    std::string text;
    text += "<Tolvanexa>\\StageCount = 30\r\n";
    for (int n = 1; n <= 30; ++n) {
        const std::string stage = "<Tolvanexa>\\Stage" + std::to_string(n);
        text += stage + "Kind = " + kinds[n % 3] + "\r\n";
        text += stage + "Button = 第" + std::to_string(n) + "环节\r\n";
        text += stage + "Caption = 第" + std::to_string(n) + "环节：正方二辩对辩反方二辩\r\n";
        text += stage + "Side1 = 正" + std::to_string(n) + "\r\n" + stage + "Side2 = 反" + std::to_string(n) + "\r\n";
        text += stage + "Timer1 = 120\r\n" + stage + "Timer2 = 30\r\n";
        if (n % 2 == 0) text += stage + "Join = True\r\n";
    }
    return platform::IconvCodec().Utf8ToGbk(text).value();
}

// The shipped configuration without its classic stages' keys, which the format's own replace.
std::string WithoutClassicStages(const std::string& config) {
    std::string kept;
    std::istringstream lines(config);
    for (std::string line; std::getline(lines, line);)
        if (!line.starts_with("<Tolvanexa>\\Stage")) kept += line + "\n";
    return kept;
}

// ShowPage(home) and Form_Resize on the window's home page, in milliseconds.
std::pair<std::vector<double>, std::vector<double>> HomePage(const bench::RunFolder& folder, int* buttons, int* rows) {
    bench::TimerWindow window(folder);
    window.Open();
    window.Form().window.resize(1280, 720);
    QCoreApplication::processEvents();
    std::vector<double> layout, rebuild;
    for (int run = 0; run < 200; ++run) {
        const auto start = Clock::now();
        window.Logic().Form_Resize();
        layout.push_back(Milliseconds(Clock::now() - start));
    }
    for (int run = 0; run < 50; ++run) {
        const auto start = Clock::now();
        window.Logic().ShowPage(kHomePage);
        rebuild.push_back(Milliseconds(Clock::now() - start));
        QCoreApplication::processEvents();  // the old buttons' deferred deletes, as the event loop does them
    }
    std::set<int> tops;
    for (int i = 0; i <= window.Form().cmdCommand.UBound(); ++i) tops.insert(window.Form().cmdCommand.Member(i).Widget()->y());
    *buttons = window.Form().cmdCommand.UBound() + 1;
    *rows = static_cast<int>(tops.size());
    return {layout, rebuild};
}

double LoadMs(const bench::RunFolder& folder) {
    bench::TimerWindow window(folder);
    const auto start = Clock::now();
    window.Logic().Form_Load();
    const double ms = Milliseconds(Clock::now() - start);
    if (window.Form().errors.MessagesShown() != 0) std::fprintf(stderr, "a start-up message was shown\n");
    return ms;
}

void Report(const char* what, const std::vector<double>& ms, double baseline) {
    std::printf("  %-44s median %6.3f ms (min %6.3f, max %6.3f)", what, bench::Median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
    if (baseline > 0) std::printf("  %+6.3f ms against the classic stages", bench::Median(ms) - baseline);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    int runs = 21;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--runs") runs = std::atoi(argv[i + 1]);
    std::printf("bench_formats: load average %s\n", bench::LoadAverage().c_str());

    const bench::RunFolder classic;
    const bench::RunFolder inConfig;
    bench::WriteBytes(inConfig.File("Tolvanexa.config"),
                      WithoutClassicStages(bench::ReadBytes(inConfig.File("Tolvanexa.config"))) + ThirtyStages());
    const bench::RunFolder named;
    std::filesystem::create_directory(named.File("formats"));
    bench::WriteBytes(named.File("formats/thirty.config"), "#TarvelMonic Config File#\r\n" + ThirtyStages());
    bench::WriteBytes(named.File("Tolvanexa.config"),
                      bench::ReadBytes(named.File("Tolvanexa.config")) + "<Tolvanexa>\\Format = formats/thirty.config\r\n");

    // Interleaved, after a warm-up of each, so a busy moment of the machine falls on all three alike.
    std::vector<double> classicMs, inConfigMs, namedMs;
    for (const auto* folder : {&classic, &inConfig, &named}) LoadMs(*folder);
    for (int run = 0; run < runs; ++run) {
        classicMs.push_back(LoadMs(classic));
        inConfigMs.push_back(LoadMs(inConfig));
        namedMs.push_back(LoadMs(named));
    }
    std::printf("start-up (Form_Load), %d runs each, interleaved:\n", runs);
    Report("the classic stages", classicMs, 0);
    Report("30 stages in Tolvanexa.config", inConfigMs, bench::Median(classicMs));
    Report("30 stages in the file Format names", namedMs, bench::Median(classicMs));

    for (const auto& [name, folder] : {std::pair{"the classic home page", &classic}, std::pair{"the home page of 30 stages", &inConfig}}) {
        int buttons = 0, rows = 0;
        const auto [layout, rebuild] = HomePage(*folder, &buttons, &rows);
        std::printf("%s at 1280x720 (%d buttons and gaps in %d rows):\n", name, buttons, rows);
        Report("laid out (Form_Resize), 200 runs", layout, 0);
        Report("bar rebuilt and laid out (ShowPage), 50 runs", rebuild, 0);
    }
    std::printf("bench_formats: load average %s\n", bench::LoadAverage().c_str());
    return 0;
}
