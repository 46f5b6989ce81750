// The button bar: one button per entry of a caption list, sized to its text.
#include "window/SettingError.h"
#include "window/frmMain.h"

namespace {

std::vector<std::string> SplitEntries(const std::string& list) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = list.find('|', start);
        entries.push_back(list.substr(start, bar == std::string::npos ? bar : bar - start));
        if (bar == std::string::npos) return entries;
        start = bar + 1;
    }
}

}  // namespace

void frmMain::BuildButtonBar(const std::string& list) {
    const std::vector<std::string> entries = SplitEntries(list);

    // Button 0 stays for the window's life; the rest go, lowest first.
    const int lowest = c.cmdCommand.LBound();
    const int highest = c.cmdCommand.UBound();
    for (int i = lowest + 1; i <= highest; ++i) c.cmdCommand.Unload(i);

    for (std::size_t entry = 0; entry < entries.size(); ++entry) {
        const int i = static_cast<int>(entry);
        const std::string& caption = entries[entry];
        if (i != 0) c.cmdCommand.Load(i);
        platform::Button& button = c.cmdCommand[i];
        button.SetCaption(caption);
        // Both settings are read for every entry, so each rebuild uses the current
        // values; one that cannot be used gives way to its design value.
        const double separator = WindowSettings::SeparatorWidthTwips(*mConfig);
        const double padding = WindowSettings::ButtonPaddingTwips(*mConfig);
        const double width = caption.empty() ? separator : padding + c.window.TextWidth(caption);
        button.SetWidth(static_cast<float>(width));
        const double height = WindowSettings::ButtonPaddingTwips(*mConfig) + c.window.TextHeight(caption);
        button.SetHeight(static_cast<float>(height));
        button.SetEnabled(true);
        // Shown last, once its caption and size are set; an empty entry is a gap.
        button.SetVisible(!caption.empty());
    }
    Form_Resize();
}
