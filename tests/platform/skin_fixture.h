#pragma once
// A real window with the skin attached, in a fresh program directory.

#include <QTest>
#include <QWidget>
#include <memory>

#include "platform/skin.h"
#include "support/program_fixture.h"

class SkinFixture : public ProgramFixture {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        window_ = std::make_unique<QWidget>();
        window_->setGeometry(20, 20, 700, 500);
    }

    void TearDown() override {
        Skin::Instance().Detach();
        window_.reset();
        ProgramFixture::TearDown();
    }

    // Attaches the skin and shows the window.
    Skin& AttachShown() {
        Skin& skin = Skin::Instance();
        EXPECT_TRUE(skin.Attach(window_.get()));
        window_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        return skin;
    }

    void Click(const QPoint& pos) { QTest::mouseClick(window_.get(), Qt::LeftButton, {}, pos); }

    std::unique_ptr<QWidget> window_;
};
