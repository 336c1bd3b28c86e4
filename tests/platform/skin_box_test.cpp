#include <gtest/gtest.h>

#include <QPushButton>

#include "platform/skin_fixture.h"
#include "platform/skin_images.h"
#include "platform/skin_message_box.h"

namespace {

TEST(SkinBoxLayout, HeightGrowsBeyondThreeLines) {
    EXPECT_EQ(LayOutSkinBox(QStringLiteral("一行")).height, 140);
    EXPECT_EQ(LayOutSkinBox(QStringLiteral("a\r\nb\r\nc")).height, 140);
    const SkinBoxLayout four = LayOutSkinBox(QStringLiteral("a\r\nb\r\n\r\nd"));
    EXPECT_EQ(four.lines, QStringList({"a", "b", "", "d"}));
    EXPECT_EQ(four.height, 154);
    EXPECT_EQ(four.width, 300);
    // Only CR LF breaks a line.
    EXPECT_EQ(LayOutSkinBox(QStringLiteral("a\nb\rc")).lines.size(), 1);
    EXPECT_EQ(LayOutSkinBox(QString()).lines, QStringList({""}));
}

TEST(SkinBoxLayout, LongLinesAreCutAt32GbkBytes) {
    const QString ascii(40, u'x');
    EXPECT_EQ(LayOutSkinBox(ascii).lines, QStringList({QString(32, u'x'), QString(8, u'x')}));

    const QString chinese = QString(20, u'库');
    EXPECT_EQ(LayOutSkinBox(chinese).lines, QStringList({QString(16, u'库'), QString(4, u'库')}));

    // 1 + 2 x 15 = 31 bytes; the next character would make 33.
    const SkinBoxLayout mixed = LayOutSkinBox(u'a' + QString(20, u'销'));
    EXPECT_EQ(mixed.lines, QStringList({u'a' + QString(15, u'销'), QString(5, u'销')}));

    const SkinBoxLayout seven = LayOutSkinBox(QString(33, u'y') + "\r\n" + QString(100, u'z'));
    EXPECT_EQ(seven.lines.size(), 6);
    EXPECT_EQ(seven.height, 140 + 3 * 14);
}

TEST(SkinBoxLayout, CharactersGbkCannotHoldAreKept) {
    const QString smile = QString::fromUcs4(U"\U0001F600");
    QString line;
    for (int i = 0; i < 33; ++i) line += smile;
    const SkinBoxLayout layout = LayOutSkinBox(line);
    ASSERT_EQ(layout.lines.size(), 2);
    EXPECT_EQ(layout.lines[0].toUcs4().size(), 32);
    EXPECT_EQ(layout.lines[1], smile);
}

// A seam that asks for a second box while the first one is showing.
class NestingDialogs final : public DialogSeam {
  public:
    BoxAnswer SystemMessage(QWidget*, const QString&, const QString&, BoxIcon,
                            BoxButtons) override {
        return BoxAnswer::Ok;
    }
    std::optional<QString> InputText(QWidget*, const QString&, const QString&, const QString&,
                                     bool) override {
        return std::nullopt;
    }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString FolderName(QWidget*, const QString&, const QString&) override { return {}; }
    int RunModal(QDialog*) override { return 0; }
    int SkinMessage(const SkinBoxRequest& request, const std::function<int()>&) override {
        ++boxes;
        openDuring = Skin::Instance().IsMessageBoxOpen();
        nested = Skin::Instance().SkinMessageBox(QStringLiteral("第二个"), 1, 0, 1, QString());
        ShowMessage(QStringLiteral("第三个"), 0);
        return request.type == 2 ? 0 : 1;
    }

    int boxes = 0;
    bool openDuring = false;
    int nested = 99;
};

using SkinBoxTest = SkinFixture;

TEST_F(SkinBoxTest, GoesThroughTheSeam) {
    Skin& skin = AttachShown();
    dialogs_.AnswerSkin(0);
    EXPECT_EQ(skin.SkinMessageBox(QStringLiteral("确认退出"), 0, 4, 2, QStringLiteral("标题")), 0);
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    const ShownBox& box = dialogs_.Shown()[0];
    EXPECT_EQ(box.kind, ShownBox::Kind::Skin);
    EXPECT_EQ(box.text, QStringLiteral("确认退出"));
    EXPECT_EQ(box.caption, QStringLiteral("标题"));
    EXPECT_EQ(box.skinType, 0);
    EXPECT_EQ(box.skinIcon, 4);
    EXPECT_FALSE(skin.IsMessageBoxOpen());
}

TEST_F(SkinBoxTest, ASecondBoxIsRefusedWhileOneIsOpen) {
    Skin& skin = AttachShown();
    NestingDialogs nesting;
    SetDialogs(&nesting);
    EXPECT_EQ(skin.SkinMessageBox(QStringLiteral("第一个"), 0, 0, 1, QString()), 1);
    EXPECT_EQ(nesting.boxes, 1);  // neither the nested box nor ShowMessage got through
    EXPECT_TRUE(nesting.openDuring);
    EXPECT_EQ(nesting.nested, -1);
    EXPECT_FALSE(skin.IsMessageBoxOpen());
    EXPECT_EQ(skin.SkinMessageBox(QStringLiteral("之后"), 2, 0, 1, QString()), 0);
    EXPECT_EQ(nesting.boxes, 2);
}

TEST_F(SkinBoxTest, ShowMessagePicksTheIconByKind) {
    AttachShown();
    for (int kind : {0, 1, 2, 3, 7, -1}) ShowMessage(QStringLiteral("消息%1").arg(kind), kind);
    ASSERT_EQ(dialogs_.Shown().size(), 4);
    const int icons[] = {0, 2, 3, 2};
    for (int kind = 0; kind < 4; ++kind) {
        const ShownBox& box = dialogs_.Shown()[kind];
        EXPECT_EQ(box.text, QStringLiteral("消息%1").arg(kind));
        EXPECT_EQ(box.caption, QStringLiteral("岚库通进销存管理系统"));
        EXPECT_EQ(box.skinType, 1);
        EXPECT_EQ(box.skinIcon, icons[kind]);
    }
}

struct BoxButtonPair {
    QPushButton* ok;
    QPushButton* cancel;
};

BoxButtonPair ButtonsOf(const SkinBoxWindow& box) {
    return {box.findChild<QPushButton*>(QStringLiteral("确定按钮")),
            box.findChild<QPushButton*>(QStringLiteral("取消按钮"))};
}

TEST_F(SkinBoxTest, ButtonsByTypeAndDefault) {
    AttachShown();
    const QString fourLines = QStringLiteral("一\r\n二\r\n三\r\n四");
    {
        SkinBoxWindow box(window_.get(), {fourLines, "标题", 0, 0, 2}, Qt::white);
        EXPECT_EQ(box.size(), QSize(300, 154));
        const auto [ok, cancel] = ButtonsOf(box);
        ASSERT_TRUE(ok && cancel);
        EXPECT_EQ(ok->geometry(), QRect(140, 124, 69, 21));
        EXPECT_EQ(cancel->geometry(), QRect(218, 124, 69, 21));
        EXPECT_TRUE(cancel->isDefault());
        EXPECT_FALSE(ok->isDefault());
        EXPECT_LE((box.geometry().center() - window_->geometry().center()).manhattanLength(), 2);
    }
    {
        SkinBoxWindow box(window_.get(), {"x", "", 9, 0, 1}, Qt::white);  // unknown type: both
        const auto [ok, cancel] = ButtonsOf(box);
        ASSERT_TRUE(ok && cancel);
        EXPECT_TRUE(ok->isDefault());
    }
    {
        SkinBoxWindow box(window_.get(), {"x", "", 1, 0, 2}, Qt::white);
        const auto [ok, cancel] = ButtonsOf(box);
        ASSERT_TRUE(ok);
        EXPECT_EQ(cancel, nullptr);
        EXPECT_EQ(ok->geometry(), QRect(218, 110, 69, 21));
        EXPECT_TRUE(ok->isDefault());
    }
    {
        SkinBoxWindow box(window_.get(), {"x", "", 2, 0, 1}, Qt::white);
        const auto [ok, cancel] = ButtonsOf(box);
        EXPECT_EQ(ok, nullptr);
        ASSERT_TRUE(cancel);
        EXPECT_EQ(cancel->geometry(), QRect(218, 110, 69, 21));
    }
}

TEST_F(SkinBoxTest, AnswersOneZeroOrMinusOne) {
    AttachShown();
    auto answer = [this](const char* name, bool escape = false) {
        SkinBoxWindow box(window_.get(), {"x", "", 0, 0, 1}, Qt::white);
        box.show();
        if (escape) {
            QTest::keyClick(&box, Qt::Key_Escape);
        } else {
            QTest::mouseClick(box.findChild<QAbstractButton*>(QString::fromUtf8(name)),
                              Qt::LeftButton);
        }
        EXPECT_FALSE(box.isVisible());
        return box.result();
    };
    EXPECT_EQ(answer("确定按钮"), 1);
    EXPECT_EQ(answer("取消按钮"), 0);
    EXPECT_EQ(answer("关闭区"), -1);
    EXPECT_EQ(answer(nullptr, true), -1);
}

TEST(SkinImages, UnknownIconNumbersShowInformation) {
    EXPECT_EQ(MessageIcon(7), MessageIcon(0));
    EXPECT_EQ(MessageIcon(-1), MessageIcon(0));
    EXPECT_NE(MessageIcon(1), MessageIcon(0));
    EXPECT_EQ(MessageIcon(3).size(), QSize(40, 40));
    EXPECT_EQ(SkinPicture(12), SkinPicture(1));
}

}  // namespace
