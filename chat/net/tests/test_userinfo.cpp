// A user's key in the desktop windows: the roster's mark, the check in the
// user information window (safety number, QR code, Mark as checked, a
// changed key), and the compose window that sends nothing to a changed key.
#include "QrCode.h"
#include "TestSupport.h"
#include "UiTestApp.h"
#include "UserListModel.h"
#include "frmCom.h"
#include "frmUserInfo.h"

#include <QLabel>
#include <QRegularExpression>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::ui;
using namespace lanyx::test;

namespace {

// bob knows ann; ann2 is another copy under ann's name with a key of its own.
class KeyCheck : public ::testing::Test {
protected:
    KeyCheck() {
        app();
        bob.joinAs("bob");
        ann.joinAs("ann");
        seg.runFor(1000);
    }
    void annReinstalled() {
        ann.node.CloseNetwork();
        seg.runFor(100);
        ann2.joinAs("ann");
        seg.runFor(1000);
    }
    QString tip(UserListModel& model, const std::string& name) {
        const int row = model.modelRow(*bob.node.users().findExact(name) + 1);
        return model.data(model.index(row, 1), Qt::ToolTipRole).toString();
    }
    MemorySegment seg;
    Peer bob{seg, "bob"};
    Peer ann{seg, "ann"};
    Peer ann2{seg, "ann"};
};

QString digitsOf(QString s) {
    return s.remove(QRegularExpression(QStringLiteral("[^0-9]")));
}

}  // namespace

TEST_F(KeyCheck, ANewKeyShowsTheSafetyNumberBothSidesSeeAndIsMarkedCheckedByTheUser) {
    UserListModel model(bob.node.users());
    EXPECT_EQ(tip(model, "ann"), "new key, not checked");
    frmUserInfo info(bob.node.secure(), "ann");
    EXPECT_EQ(info.stateText(), "new key, not checked");
    // Twelve groups of five digits in two lines, the same ann's window shows.
    const auto shown = info.safetyNumber();
    EXPECT_EQ(shown.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(digitsOf(shown).size(), 60);
    frmUserInfo atAnn(ann.node.secure(), "bob");
    EXPECT_EQ(atAnn.safetyNumber(), shown);
    if (QrAvailable()) {
        const QImage qr = info.qrImage();
        ASSERT_FALSE(qr.isNull());
        EXPECT_EQ(qr.width(), qr.height());
        // Dark modules inside a white quiet zone, and the same code at ann's.
        EXPECT_EQ(qr.pixelColor(0, 0), QColor(Qt::white));
        bool dark = false;
        for (int y = 0; y < qr.height() && !dark; ++y)
            for (int x = 0; x < qr.width() && !dark; ++x) dark = qr.pixelColor(x, y) == QColor(Qt::black);
        EXPECT_TRUE(dark);
        EXPECT_EQ(qr, atAnn.qrImage());
    }
    EXPECT_FALSE(info.keepKnownButton()->isVisible());
    ASSERT_TRUE(info.markCheckedButton()->isEnabled());
    EXPECT_FALSE(info.markCheckedButton()->accessibleName().isEmpty());
    QTest::mouseClick(info.markCheckedButton(), Qt::LeftButton);
    EXPECT_EQ(info.stateText(), "checked by you");
    EXPECT_FALSE(info.markCheckedButton()->isEnabled());
    EXPECT_EQ(tip(model, "ann"), "checked by you");
    // Only bob checked: ann's mark of bob is her own business.
    atAnn.refresh();
    EXPECT_EQ(atAnn.stateText(), "new key, not checked");
}

TEST_F(KeyCheck, AKeyCheckedBeforeARenameIsCheckedUnderTheNewNameWithOneClick) {
    ASSERT_TRUE(bob.node.secure()->markChecked("ann"));
    ann.node.rejoinUnder("helpdesk");
    seg.runFor(3000);
    frmUserInfo info(bob.node.secure(), "helpdesk");
    // Both names shown, the number to compare is helpdesk's.
    EXPECT_TRUE(info.stateText().contains(QStringLiteral("ann")) &&
                info.stateText().contains(QStringLiteral("helpdesk")))
        << info.stateText().toStdString();
    EXPECT_EQ(info.safetyNumber().toStdString().substr(0, 5), ann.node.secure()->safetyNumber("bob").substr(0, 5));
    ASSERT_TRUE(info.markCheckedButton()->isEnabled());
    QTest::mouseClick(info.markCheckedButton(), Qt::LeftButton);
    EXPECT_TRUE(bob.node.secure()->isChecked("helpdesk"));
    EXPECT_FALSE(info.markCheckedButton()->isEnabled());
}

TEST_F(KeyCheck, AChangedKeyIsAcceptedOnlyThroughTheSameCheck) {
    annReinstalled();
    UserListModel model(bob.node.users());
    EXPECT_TRUE(tip(model, "ann").startsWith("key changed"));
    const int row = model.modelRow(*bob.node.users().findExact("ann") + 1);
    EXPECT_FALSE(model.data(model.index(row, 1), Qt::DecorationRole).value<QIcon>().isNull());
    // Its status, signed by the other key, was not taken.
    EXPECT_TRUE(model.data(model.index(row, 1), Qt::DisplayRole).toString().isEmpty());

    frmUserInfo info(bob.node.secure(), "ann");
    EXPECT_TRUE(info.stateText().startsWith("key changed"));
    EXPECT_EQ(info.ownFingerprint().toStdString(), bob.node.secure()->ownFingerprint());
    EXPECT_EQ(info.theirFingerprint().toStdString(), ann.node.secure()->ownFingerprint());
    EXPECT_EQ(info.announcedFingerprint().toStdString(), ann2.node.secure()->ownFingerprint());
    // The number is the one of the new key: what the reinstalled copy shows.
    frmUserInfo atAnn2(ann2.node.secure(), "bob");
    EXPECT_EQ(info.safetyNumber(), atAnn2.safetyNumber());
    EXPECT_NE(info.safetyNumber(), frmUserInfo(ann.node.secure(), "bob").safetyNumber());
    EXPECT_TRUE(info.keepKnownButton()->isVisibleTo(&info));
    ASSERT_TRUE(info.markCheckedButton()->isEnabled());
    QTest::mouseClick(info.markCheckedButton(), Qt::LeftButton);
    EXPECT_EQ(info.stateText(), "checked by you");
    EXPECT_EQ(info.theirFingerprint().toStdString(), ann2.node.secure()->ownFingerprint());
    EXPECT_FALSE(info.keepKnownButton()->isVisibleTo(&info));
    EXPECT_EQ(tip(model, "ann"), "checked by you");
}

TEST_F(KeyCheck, KeepingTheKnownKeyDropsTheAnnouncedOne) {
    annReinstalled();
    frmUserInfo info(bob.node.secure(), "ann");
    ASSERT_TRUE(info.keepKnownButton()->isVisibleTo(&info));
    QTest::mouseClick(info.keepKnownButton(), Qt::LeftButton);
    EXPECT_FALSE(info.stateText().startsWith("key changed"));
    EXPECT_EQ(info.announcedFingerprint().toStdString(), ann2.node.secure()->ownFingerprint());
    EXPECT_EQ(info.theirFingerprint().toStdString(), ann.node.secure()->ownFingerprint());
    EXPECT_FALSE(info.keepKnownButton()->isVisibleTo(&info));
}

TEST_F(KeyCheck, ACopyWithoutKeysHasNothingToCheck) {
    seg.post("zed|C/0");
    seg.runFor(100);
    frmUserInfo info(bob.node.secure(), "zed");
    EXPECT_FALSE(info.markCheckedButton()->isEnabled());
    EXPECT_TRUE(info.qrImage().isNull());
    EXPECT_TRUE(digitsOf(info.safetyNumber()).isEmpty());
}

TEST_F(KeyCheck, TheComposeWindowSendsNothingToAChangedKeySaysWhyAndOpensTheCheck) {
    annReinstalled();
    std::vector<std::string> opened;
    auto* com = new frmCom(bob.node);
    com->setAttribute(Qt::WA_DeleteOnClose, false);
    com->setOpenCheck([&](const std::string& name) { opened.push_back(name); });
    com->setLingerMs(0);
    com->AddUser("ann");
    // The recipient's key, marked as in the user list.
    EXPECT_TRUE(com->lvUsers()->topLevelItem(0)->toolTip(1).startsWith("key changed"));
    EXPECT_FALSE(com->lvUsers()->topLevelItem(0)->icon(1).isNull());
    com->txtMsg()->setPlainText("the vault code");
    bob.transport.allSent.clear();
    com->Send();
    seg.runFor(100);
    EXPECT_TRUE(bob.transport.allSent.empty());
    EXPECT_EQ(opened, std::vector<std::string>{"ann"});
    ASSERT_EQ(com->lstDelivery()->topLevelItemCount(), 1);
    const QString row = com->lstDelivery()->topLevelItem(0)->text(0);
    EXPECT_NE(row.indexOf("not sent: ann's key changed"), -1) << row.toStdString();
    // Nothing went: the message stays, to send once the key is checked.
    QApplication::processEvents();
    EXPECT_FALSE(com->txtMsg()->isReadOnly());
    EXPECT_TRUE(com->sendButton()->isEnabled());
    bob.node.secure()->markChecked("ann");
    com->RefUserList();
    EXPECT_EQ(com->lvUsers()->topLevelItem(0)->toolTip(1), "checked by you");
    com->Send();
    seg.runFor(200);
    EXPECT_EQ(ann2.rec.items.back().text, "the vault code");
    delete com;
}
