// Qt's own words in Chinese: the buttons and labels Qt itself puts in its
// dialogs (the save dialog's "查看"、"保存"、"取消", a message box's standard
// buttons), so no dialog speaks English in a program that speaks Chinese.
#pragma once

#include <QTranslator>

#include <memory>

namespace platform {

// Installs Qt's Simplified Chinese translations (qtbase_zh_CN, from Debian's
// qt6-translations-l10n) for as long as the answer lives, whatever the
// desktop's language: the rest of the program is Chinese everywhere too.
// Null when Qt has none installed: its dialogs then speak English, and
// nothing else changes.
std::unique_ptr<QTranslator> InstallChineseTranslations();

}  // namespace platform
