#include "WindowFixture.h"

#include <algorithm>

namespace testsupport {

Settings StandardSettings() {
    return {
        {"ApplicationTitle", "校际辩论赛"}, {"Sound0Seconds", "zero.wav"}, {"Sound30Seconds", "thirty.wav"},
        {"ButtonPadding", "10"},         {"SeparatorWidth", "20"},      {"Stage1Timer1", "180"},
        {"Stage2Timer1", "180"},         {"Stage3Timer1", "90"},        {"Stage3Timer2", "20"},
        {"Stage4Timer1", "90"},          {"Stage4Timer2", "20"},        {"Stage5Timer1", "90"},
        {"Stage5Timer2", "20"},          {"Stage6Timer1", "90"},        {"Stage6Timer2", "20"},
        {"Stage7Timer1", "120"},         {"Stage8Timer1", "120"},       {"Stage9Timer1", "240"},
        {"Stage9Timer2", "240"},         {"Stage10Timer1", "210"},      {"Stage11Timer1", "210"},
    };
}

Settings With(Settings settings, const std::string& key, const std::string& value) {
    for (auto& [k, v] : settings) {
        if (k == key) {
            v = value;
            return settings;
        }
    }
    settings.emplace_back(key, value);
    return settings;
}

Settings Without(Settings settings, const std::string& key) {
    settings.erase(std::remove_if(settings.begin(), settings.end(), [&](const auto& kv) { return kv.first == key; }),
                   settings.end());
    return settings;
}

platform::FontAttributes DesignFont(double size) { return {"黑体", size, false, false, false}; }

void WindowTest::WriteConfig(const Settings& settings) {
    std::string text = "#TarvelMonic Config File#\r\n";
    for (const auto& [key, value] : settings) text += "<Tolvanexa>\\" + key + " = " + value + "\r\n";
    const auto bytes = codec.Utf8ToGbk(text);
    ASSERT_TRUE(bytes.has_value());
    files.files[files.ConfigPath()] = *bytes;
}

void WindowTest::Load(const Settings& settings) {
    form.reset();  // a window already loaded saves and lets go of the controls first
    WriteConfig(settings);
    sound.watched = {&lblTimer1, &lblTimer2};
    tmrTime.enabled = true;
    form = std::make_unique<frmMain>(Controls());
    form->Form_Load();
}

FormControls WindowTest::Controls() {
    return FormControls{window,        tmrTimer2,     tmrTimer1, tmrTime,    cmdTime, cmdCommand,
                        lblTimer1Desc, lblTimer2Desc, lblTimer2, lblTimer1,  lblCaption,
                        clock,         sound,         browser,   displaySleep, errors, files,
                        codec};
}

void WindowTest::Click(const std::string& caption) {
    for (int i = cmdCommand.LBound(); i <= cmdCommand.UBound(); ++i) {
        if (cmdCommand.At(i).Caption() == caption) {
            ASSERT_TRUE(cmdCommand.At(i).Visible()) << caption;
            ASSERT_TRUE(cmdCommand.At(i).Enabled()) << caption;
            cmdCommand.Click(i);
            return;
        }
    }
    FAIL() << "no button \"" << caption << "\" on the bar " << Bar();
}

void WindowTest::Tick1(int count) {
    for (int i = 0; i < count; ++i) tmrTimer1.Tick();
}

void WindowTest::Tick2(int count) {
    for (int i = 0; i < count; ++i) tmrTimer2.Tick();
}

}  // namespace testsupport
