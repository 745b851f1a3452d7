// The roster's Qt model: users of one batch of datagrams arrive as one
// range of rows, and the model stays consistent throughout.
#include "TestSupport.h"
#include "UiTestApp.h"
#include "UserListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::test;
using lanyx::ui::UserListModel;

namespace {

class RosterModel : public ::testing::Test {
protected:
    RosterModel() : ann(seg, "ann") {
        app();
        ann.joinAs("ann");
        ann.node.users().setGroups({"team|bob|carl|"});
        ann.node.users().RefGroups();
        seg.deliverAll();
        model = std::make_unique<UserListModel>(ann.node.users());
        tester = std::make_unique<QAbstractItemModelTester>(model.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    QString text(int row) { return model->data(model->index(row, 0), Qt::DisplayRole).toString(); }
    MemorySegment seg;
    Peer ann;
    std::unique_ptr<UserListModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

} // namespace

TEST_F(RosterModel, ABatchOfNewcomersIsInsertedAsOneRange) {
    const int before = model->rowCount();  // (All), ann, (team)
    ASSERT_EQ(text(before - 1), "(team)");
    QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted);
    std::vector<std::string> batch;
    for (int i = 0; i < 40; ++i) {
        batch.push_back("u" + std::to_string(i) + "|C/255");
        batch.push_back("u" + std::to_string(i) + "|S/1");
    }
    // A leave in the middle of the batch shows the users before it first.
    batch.push_back("u3|L/");
    batch.push_back("late|C/0");
    ann.transport.receiveBatch(batch);
    ASSERT_EQ(inserted.size(), 2);
    EXPECT_EQ(inserted[0][1].toInt(), 2);
    EXPECT_EQ(inserted[0][2].toInt(), 41);  // u0 ... u39 at once
    EXPECT_EQ(inserted[1][1].toInt(), 41);  // late, at the end of the batch
    EXPECT_EQ(model->rowCount(), before + 40);
    EXPECT_EQ(text(model->rowCount() - 1), "(team)");
    EXPECT_EQ(text(5), "u39");  // the last row took u3's place

    // Outside a batch, rows come one at a time, as before.
    ann.transport.receive("solo|C/0");
    EXPECT_EQ(inserted.size(), 3);
    EXPECT_EQ(text(model->rowCount() - 2), "solo");
}
