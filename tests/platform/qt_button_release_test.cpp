// A bar member that is unloaded must take everything Qt keeps for it along:
// the bar is rebuilt at every page change, all through a competition.
#include <QAccessible>
#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include "platform/qt/QtButton.h"

namespace platform {
namespace {

// Qt caches an accessibility interface for a widget whose name is set and
// drops it when the widget is destroyed; cutting all of the widget's
// connections on unload cut that one too, and every rebuild of the bar kept
// its buttons' interfaces for good.
TEST(QtButtonRelease, UnloadedMemberLeavesNoAccessibleInterfaceBehind) {
    QWidget parent;
    QtButtonArray bar(parent, "Command1", {});
    bar.Load(1);
    bar[1].SetCaption("暂停");
    const QAccessible::Id id = QAccessible::uniqueId(QAccessible::queryAccessibleInterface(bar.Member(1).Widget()));
    ASSERT_NE(QAccessible::accessibleInterface(id), nullptr);

    bar.Unload(1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
}

}  // namespace
}  // namespace platform
