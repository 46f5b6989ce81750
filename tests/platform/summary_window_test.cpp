// The summary window on real Qt widgets: F2 opens it without the logic hearing the key, overtime is red, "复制"
// puts the tab-separated table on the clipboard, "保存" writes the CSV off the window's thread and tells a failure.
#include <sys/stat.h>

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "platform/qt/QtSummaryWindow.h"
#include "platform/qt/QtTranslations.h"
#include "platform/qt/QtWindow.h"
#include "record/Summary.h"
#include "record/SummaryText.h"
#include "support/FakeControls.h"
#include "support/SummaryEvents.h"
#include "support/TestFolder.h"

namespace platform {
namespace {

using testsupport::TwoStages;

struct SummaryWindow : testing::Test {
    // Clicks "保存" for `file` and waits for the save's end: its result, or nullopt when none came.
    std::optional<bool> Save(const std::string& file) {
        window.askSavePath = [&](QWidget&, const QString&) { return QString::fromStdString(folder.File(file)); };
        std::optional<bool> result;
        QEventLoop loop;
        QObject::connect(&window, &QtSummaryWindow::saveFinished, &loop, [&](bool written) {
            result = written;
            loop.quit();
        });
        QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
        window.SaveButton().click();
        if (!result) loop.exec();
        return result;
    }

    QtWindow owner{""};
    testsupport::FakeErrorSink errors;
    testsupport::TestFolder folder;
    QtSummaryWindow window{owner, [] { return TwoStages(); }, folder.Path(), errors};
};

TEST_F(SummaryWindow, F2OpensItUnheardByTheLogicAndShowsAndCopiesTheTable) {
    owner.onKey = [](Key) { return ADD_FAILURE() << "F2 reached the logic", true; };
    owner.onSummary = [this] { window.ShowSummary(); };
    owner.show();
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, Qt::Key_F2, {});
        QApplication::sendEvent(&owner, &event);
    }
    EXPECT_TRUE(window.isVisible());
    const QTableWidget& table = window.Table();
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.item(0, 0)->text(), QStringLiteral("正方一辩发言"));
    EXPECT_EQ(table.item(0, 4)->text(), QStringLiteral("5"));
    EXPECT_EQ(table.item(0, 4)->foreground().color(), QColor(Qt::red));
    EXPECT_EQ(table.item(1, 4)->text(), QStringLiteral("0"));
    EXPECT_NE(table.item(1, 4)->foreground().color(), QColor(Qt::red));
    EXPECT_EQ(window.Span().text(), QStringLiteral("开始：2026-12-07 14:00:00    结束：2026-12-07 14:00:50"));
    window.CopyButton().click();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), record::AsTabSeparated(record::Summarise(TwoStages())));
}

TEST_F(SummaryWindow, SaveWritesTheCsvWhereTheTimeKeeperChoseAndTellsAFailure) {
    QString suggested;
    window.askSavePath = [&](QWidget&, const QString& offered) { return suggested = offered, QString(); };
    window.SaveButton().click();  // cancelled
    EXPECT_TRUE(suggested.startsWith(QString::fromStdString(folder.Path() + "/辩论小结 "))) << suggested.toStdString();
    EXPECT_EQ(Save("小结.csv"), true);
    EXPECT_EQ(folder.Read("小结.csv"), record::AsCsv(record::Summarise(TwoStages())));
    EXPECT_TRUE(errors.messages.empty());
    ASSERT_EQ(::mkfifo(folder.File("pipe.csv").c_str(), 0600), 0);
    EXPECT_EQ(Save("pipe.csv"), false);  // would hang here if the pipe were opened
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_NE(errors.messages[0].find("不是普通文件"), std::string::npos) << errors.messages[0];
}

// The program closing while a save runs: the save is waited for and its failure told without an event loop,
// as at the close none runs any more.
TEST_F(SummaryWindow, ASaveUnderWayAtTheCloseEndsAndItsFailureIsTold) {
    window.askSavePath = [&](QWidget&, const QString&) { return QString::fromStdString(folder.File("no/such/x.csv")); };
    window.SaveButton().click();
    window.FinishSave();
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_NE(errors.messages[0].find(folder.File("no/such/x.csv")), std::string::npos) << errors.messages[0];
}

// With Qt's own translations, as the program installs them, the real save dialog speaks Chinese.
TEST_F(SummaryWindow, TheSaveDialogSpeaksChinese) {
    const auto chinese = InstallChineseTranslations();
    ASSERT_NE(chinese, nullptr) << "qtbase_zh_CN (qt6-translations-l10n) is not installed";
    QStringList seen;
    QTimer::singleShot(0, [&seen] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        for (const QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons()) seen << button->text();
        seen << dialog->labelText(QFileDialog::LookIn) << dialog->labelText(QFileDialog::FileType);
        dialog->reject();
    });
    window.SaveButton().click();
    ASSERT_EQ(seen.size(), 4) << "no save dialog";
    for (const QString& text : seen) {
        EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x4E00; }))
            << text.toStdString();
    }
}

}  // namespace
}  // namespace platform
