#pragma once
// A shown, skinned window holding the frames of the 其他收支 and 存款管理 pages as the main
// window lays them out, in a fresh program directory with its database.

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <memory>

#include "finance/bank_page.h"
#include "finance/other_page.h"
#include "platform/list_refresh.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "store/shared_db.h"
#include "support/program_fixture.h"

class FinanceFixture : public ProgramFixture {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        Provision();
        window_ = std::make_unique<QWidget>();
        window_->setGeometry(20, 20, 1008, 608);
        auto frame = [this](const char* name, int x, int y, int w, int h) {
            auto* f = new QFrame(window_.get());
            f->setObjectName(QString::fromUtf8(name));
            f->setGeometry(x, y, w, h);
            return f;
        };
        其他收支框架 = frame("其他收支框架", 0, 0, 797, 530);
        其他图片框 = frame("其他图片框", 3, 532, 792, 70);
        其他图片库右一 = frame("其他图片库右一", 797, 0, 210, 300);
        其他图片库右二 = frame("其他图片库右二", 797, 300, 210, 300);
        // The bank page shares the window; its frames sit below the other page's here.
        存款框架 = frame("存款框架", 0, 0, 1008, 562);
        存款图片框 = frame("存款图片框", 3, 564, 1002, 40);
        BuildOtherPage(其他收支框架, 其他图片框, 其他图片库右一, 其他图片库右二);
        BuildBankPage(存款框架, 存款图片框);
        Skin::Instance().Attach(window_.get());
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override {
        ForgetOtherPage();
        ForgetBankPage();
        for (ListId list : {ListId::Stock, ListId::Sales, ListId::Summary})
            UnregisterListFill(list);
        Skin::Instance().Detach();
        window_.reset();
        ProgramFixture::TearDown();
    }

    template <typename T>
    T* Find(const QString& name) const {
        T* found = window_->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << qPrintable(name);
        return found;
    }
    void Click(const QString& button) { QTest::mouseClick(Find<QWidget>(button), Qt::LeftButton); }

    // Typing as an input method commits it, so that Chinese text arrives too.
    static void Type(QLineEdit* box, const QString& text) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(box, &commit);
    }

    static QPoint Centre(RecordGrid* grid, int row, int col) {
        return grid->CellRect(row, col).center() - grid->viewport()->pos();
    }
    static void RightClick(RecordGrid* grid, int row, int col) {
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, Centre(grid, row, col));
    }
    static void DoubleClick(RecordGrid* grid, int row, int col) {
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, Centre(grid, row, col));
    }
    // The item of an open menu; hides the menu, as choosing an item does.
    static QAction* Item(QMenu* menu, const char* text) {
        QAction* found = nullptr;
        for (QAction* action : menu->actions())
            if (action->text() == QString::fromUtf8(text)) found = action;
        menu->hide();
        return found;
    }
    static int DataRows(RecordGrid* grid) { return grid->Rows() - 2; }  // header, last row

    static int Count(const QString& sql, const QVariantList& values = {}) {
        EXPECT_TRUE(OpenSharedQuery(sql, values));
        const int count = SharedRecordSet().GetRecordCount();
        SharedRecordSet().Close();
        return count;
    }

    std::unique_ptr<QWidget> window_;
    QFrame* 其他收支框架 = nullptr;
    QFrame* 其他图片框 = nullptr;
    QFrame* 其他图片库右一 = nullptr;
    QFrame* 其他图片库右二 = nullptr;
    QFrame* 存款框架 = nullptr;
    QFrame* 存款图片框 = nullptr;
};
