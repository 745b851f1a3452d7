// A user's key in the desktop windows: the roster's mark and the user
// information window that accepts a changed key.
#include "TestSupport.h"
#include "UiTestApp.h"
#include "UserListModel.h"
#include "frmUserInfo.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::ui;
using namespace lanyx::test;

TEST(UserInfo, AChangedKeyIsMarkedShownWithBothFingerprintsAndAcceptedByTheUser) {
    app();
    MemorySegment seg;
    Peer bob(seg, "bob");
    bob.joinAs("bob");
    {
        Peer ann(seg, "ann");
        ann.joinAs("ann");
        seg.runFor(1000);
        ann.node.CloseNetwork();
        seg.runFor(100);
    }
    Peer ann2(seg, "ann");  // a fresh data folder: another key under the name
    ann2.joinAs("ann");
    seg.runFor(1000);

    UserListModel model(bob.node.users());
    const int row = model.modelRow(*bob.node.users().findExact("ann") + 1);
    EXPECT_EQ(model.data(model.index(row, 1), Qt::ToolTipRole).toString(), "key changed");
    EXPECT_FALSE(model.data(model.index(row, 1), Qt::DecorationRole).value<QIcon>().isNull());
    // Its status, signed by the other key, was not taken.
    EXPECT_TRUE(model.data(model.index(row, 1), Qt::DisplayRole).toString().isEmpty());

    frmUserInfo info(bob.node, "ann");
    EXPECT_EQ(info.stateText(), "key changed");
    EXPECT_EQ(info.ownFingerprint().toStdString(), bob.node.secure()->ownFingerprint());
    EXPECT_EQ(info.ownFingerprint().size(), 24);
    EXPECT_NE(info.theirFingerprint().toStdString(), ann2.node.secure()->ownFingerprint());
    ASSERT_TRUE(info.acceptButton()->isEnabled());
    QTest::mouseClick(info.acceptButton(), Qt::LeftButton);
    EXPECT_EQ(info.stateText(), "verified");
    EXPECT_EQ(info.theirFingerprint().toStdString(), ann2.node.secure()->ownFingerprint());
    EXPECT_FALSE(info.acceptButton()->isEnabled());
    EXPECT_EQ(model.data(model.index(row, 1), Qt::ToolTipRole).toString(), "verified");
}
