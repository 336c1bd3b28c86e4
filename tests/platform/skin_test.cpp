#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFile>
#include <QScreen>

#include "common/ini.h"
#include "common/settings.h"
#include "platform/skin_fixture.h"
#include "platform/skin_geometry.h"
#include "platform/skin_images.h"
#include "platform/skin_panel.h"

namespace {

QString SkinKey(const char* key) {
    return IniRead(ConfigPath(), kSkinSection, QString::fromLatin1(key));
}

QImage Icon() {
    QImage icon(64, 64, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    return icon;
}

using SkinTest = SkinFixture;

TEST_F(SkinTest, DoesNothingBeforeAttach) {
    Skin& skin = Skin::Instance();
    EXPECT_FALSE(skin.IsAttached());
    EXPECT_FALSE(skin.SetStatusText(QStringLiteral("状态")));
    EXPECT_FALSE(skin.AddNavButton(Icon(), QStringLiteral("商品库存")));
    EXPECT_EQ(skin.NavButtonCount(), 0);
    EXPECT_EQ(skin.CaptionButtonRect(1), QRect());
    EXPECT_EQ(skin.SkinMessageBox(QStringLiteral("文字"), 0, 0, 1, QStringLiteral("标题")), -1);
    ShowMessage(QStringLiteral("文字"), 0);
    EXPECT_TRUE(dialogs_.Shown().isEmpty());
}

TEST_F(SkinTest, AttachMakesAFramelessWindowAndWritesDefaultsWhenThereIsNoConfig) {
    ASSERT_FALSE(QFile::exists(ConfigPath()));
    Skin& skin = AttachShown();
    EXPECT_TRUE(window_->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window_->isVisible());
    EXPECT_FALSE(skin.StatusText().isEmpty());  // the engine's own line until the window's
    EXPECT_EQ(SkinKey("style"), "1");
    EXPECT_EQ(SkinKey("color"), "14591565");
    EXPECT_EQ(SkinKey("picid"), "1");
    EXPECT_EQ(skin.Style(), 1);
    EXPECT_EQ(skin.Color(), 14591565);
    EXPECT_EQ(skin.PictureId(), 1);
}

TEST_F(SkinTest, SettingsFallBackToDefaults) {
    Skin& skin = AttachShown();
    const QString path = ConfigPath();
    struct Case {
        const char* style;
        const char* color;
        const char* picid;
        int wantStyle;
        qint64 wantColor;
        int wantPicture;
    };
    const Case cases[] = {
        {"1", "255", "12", 1, 255, 1},       {"2", "0", "9", 2, 14591565, 9},
        {"7", "", "0", 2, 14591565, 1},      {"1", "abc", "2.5", 1, 14591565, 1},
        {"1", "1e30", "-3", 1, 14591565, 1}, {"", "13998394", "6", 2, 13998394, 6},
    };
    for (const Case& c : cases) {
        IniWrite(path, kSkinSection, "style", c.style);
        IniWrite(path, kSkinSection, "color", c.color);
        IniWrite(path, kSkinSection, "picid", c.picid);
        skin.LoadSkinSettings();
        SCOPED_TRACE(QStringLiteral("%1 %2 %3").arg(c.style, c.color, c.picid).toStdString());
        EXPECT_EQ(skin.Style(), c.wantStyle);
        EXPECT_EQ(skin.Color(), c.wantColor);
        EXPECT_EQ(skin.PictureId(), c.wantPicture);
    }
}

TEST_F(SkinTest, AnExistingConfigWithoutSkinIsLeftAlone) {
    IniWrite(ConfigPath(), "setup", "beep", "2");
    AttachShown();
    EXPECT_EQ(Skin::Instance().Color(), 14591565);
    EXPECT_EQ(SkinKey("style"), "");
}

TEST_F(SkinTest, CaptionButtonsAndRegionFollowTheSize) {
    Skin& skin = AttachShown();
    window_->resize(1028, 681);
    EXPECT_EQ(skin.CaptionButtonRect(1), QRect(979, 1, 39, 19));
    EXPECT_EQ(skin.CaptionButtonRect(2), QRect(952, 1, 27, 19));
    EXPECT_EQ(skin.CaptionButtonRect(3), QRect(925, 1, 27, 19));
    EXPECT_EQ(skin.CaptionButtonRect(4), QRect(898, 1, 28, 19));
    EXPECT_EQ(skin.CaptionButtonRect(5), QRect(870, 1, 27, 19));
    EXPECT_EQ(skin.SkinButtonRect(), QRect(998, 70, 28, 22));
    EXPECT_EQ(Skin::ContentRect(window_->size()), QRect(2, 105, 1022, 551));

    window_->resize(900, 500);
    EXPECT_EQ(skin.CaptionButtonRect(1), QRect(851, 1, 39, 19));
    EXPECT_EQ(skin.CaptionButtonRect(5), QRect(742, 1, 27, 19));
    EXPECT_EQ(skin.SkinButtonRect(), QRect(870, 70, 28, 22));
    // The keyboard's stand-ins stay over the buttons they press.
    for (int number = 1; number <= 5; ++number)
        EXPECT_EQ(skin.CaptionKeyButton(number)->geometry(), skin.CaptionButtonRect(number));
    EXPECT_EQ(skin.SkinKeyButton()->geometry(), skin.SkinButtonRect());
    const QRegion mask = window_->mask();
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_FALSE(mask.contains(QPoint(899, 499)));
    EXPECT_FALSE(mask.contains(QPoint(899, 1)));
    EXPECT_TRUE(mask.contains(QPoint(2, 0)));
    EXPECT_TRUE(mask.contains(QPoint(897, 499)));
    EXPECT_TRUE(mask.contains(QPoint(450, 250)));
    EXPECT_FALSE(mask.contains(QPoint(900, 250)));
}

TEST_F(SkinTest, NavButtonsLineUpAndPressingOneAlwaysCallsTheHandler) {
    Skin& skin = AttachShown();
    QList<int> calls;
    skin.SetNavButtonHandler([&calls](int index) { calls << index; });
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(skin.AddNavButton(Icon(), QString::number(i)));
    EXPECT_EQ(skin.NavButtonCount(), 10);
    EXPECT_EQ(skin.SelectedNavButton(), 0);
    EXPECT_EQ(skin.NavButtonRect(0), QRect(8, 30, 76, 71));
    EXPECT_EQ(skin.NavButtonRect(9), QRect(710, 30, 76, 71));
    EXPECT_EQ(skin.NavButtonRect(10), QRect());

    QTest::mouseMove(window_.get(), skin.NavButtonRect(5).center());
    EXPECT_EQ(skin.SelectedNavButton(), 0);  // hovering selects nothing
    Click(skin.NavButtonRect(3).center());
    EXPECT_EQ(skin.SelectedNavButton(), 3);
    Click(skin.NavButtonRect(3).topLeft());
    EXPECT_EQ(skin.SelectedNavButton(), 3);
    Click(skin.NavButtonRect(0).bottomRight());
    EXPECT_EQ(skin.SelectedNavButton(), 0);
    EXPECT_EQ(calls, QList<int>({3, 3, 0}));
}

TEST_F(SkinTest, CaptionButtonsActOnReleaseOverTheButtonPressed) {
    Skin& skin = AttachShown();
    QList<int> menus;
    skin.SetMenuButtonHandler([&menus](int which) { menus << which; });
    Click(skin.CaptionButtonRect(4).center());
    Click(skin.CaptionButtonRect(5).center());
    // Pressed on one, released on another: nothing.
    QTest::mousePress(window_.get(), Qt::LeftButton, {}, skin.CaptionButtonRect(4).center());
    QTest::mouseRelease(window_.get(), Qt::LeftButton, {}, skin.CaptionButtonRect(5).center());
    EXPECT_EQ(menus, QList<int>({0, 1}));

    Click(skin.CaptionButtonRect(3).center());
    EXPECT_TRUE(window_->isMinimized());
    window_->showNormal();
    Click(skin.CaptionButtonRect(1).center());
    EXPECT_FALSE(window_->isVisible());
    EXPECT_TRUE(skin.IsAttached());
}

TEST_F(SkinTest, DoubleClickInTheTitleBandTogglesMaximised) {
    Skin& skin = AttachShown();
    const QRect normal = window_->geometry();
    const QRect work = window_->screen()->availableGeometry();
    ASSERT_NE(normal, work);

    // Right of W - 149 the band does not react.
    QTest::mouseDClick(window_.get(), Qt::LeftButton, {}, QPoint(window_->width() - 140, 25));
    EXPECT_FALSE(window_->isMaximized());

    QTest::mouseDClick(window_.get(), Qt::LeftButton, {}, QPoint(window_->width() - 150, 25));
    QCoreApplication::processEvents();  // the new geometry arrives from the window system
    EXPECT_TRUE(window_->isMaximized());
    EXPECT_EQ(window_->geometry(), work);
    EXPECT_EQ(skin.CaptionButtonRect(1).left(), work.width() - 49);
    EXPECT_FALSE(window_->mask().contains(QPoint(work.width() - 1, work.height() - 1)));
    EXPECT_TRUE(window_->mask().contains(QPoint(work.width() - 3, work.height() - 1)));

    QTest::mouseDClick(window_.get(), Qt::LeftButton, {}, QPoint(40, 5));
    QCoreApplication::processEvents();
    EXPECT_FALSE(window_->isMaximized());
    EXPECT_EQ(window_->geometry(), normal);

    // Below the band a double-click is no maximise either.
    QTest::mouseDClick(window_.get(), Qt::LeftButton, {}, QPoint(300, 30));
    EXPECT_FALSE(window_->isMaximized());

    Click(skin.CaptionButtonRect(2).center());
    QCoreApplication::processEvents();
    EXPECT_TRUE(window_->isMaximized());
    Click(skin.CaptionButtonRect(2).center());
    QCoreApplication::processEvents();
    EXPECT_EQ(window_->geometry(), normal);
}

TEST(SkinGeometry, ResizeZonesSpareTheLeftEdge) {
    const QSize size(700, 500);
    EXPECT_EQ(ResizeEdgesAt({695, 250}, size), Qt::RightEdge);
    EXPECT_EQ(ResizeEdgesAt({690, 5}, size), Qt::RightEdge | Qt::TopEdge);
    EXPECT_EQ(ResizeEdgesAt({699, 495}, size), Qt::RightEdge | Qt::BottomEdge);
    EXPECT_EQ(ResizeEdgesAt({300, 9}, size), Qt::TopEdge);
    EXPECT_EQ(ResizeEdgesAt({300, 490}, size), Qt::BottomEdge);
    EXPECT_EQ(ResizeEdgesAt({2, 250}, size), Qt::Edges());
    EXPECT_EQ(ResizeEdgesAt({2, 3}, size), Qt::TopEdge);
    EXPECT_EQ(ResizeEdgesAt({689, 10}, size), Qt::Edges());
}

TEST(SkinGeometry, TextIsWhiteOnlyOnDarkColours) {
    EXPECT_FALSE(IsDarkColor(ColorFromWindows(14591565)));  // 77, 166, 222
    EXPECT_TRUE(IsDarkColor(QColor(124, 200, 124)));
    EXPECT_FALSE(IsDarkColor(QColor(125, 125, 0)));
    EXPECT_TRUE(IsDarkColor(QColor(255, 0, 0)));
    EXPECT_EQ(WindowsFromColor(QColor(58, 153, 213)), 13998394);
}

TEST_F(SkinTest, PaintsBackgroundPanelAndPicture) {
    Skin& skin = AttachShown();
    window_->resize(1028, 681);
    const QString path = ConfigPath();
    IniWrite(path, kSkinSection, "style", "2");
    IniWrite(path, kSkinSection, "color", "2105376");  // RGB 32, 32, 32
    skin.LoadSkinSettings();
    QImage shot = window_->grab().toImage();
    EXPECT_EQ(shot.pixelColor(400, 60), QColor(32, 32, 32));
    EXPECT_EQ(shot.pixelColor(400, 300), QColor(Qt::white));  // content panel

    for (int number : {4, 8}) {
        IniWrite(path, kSkinSection, "style", "1");
        IniWrite(path, kSkinSection, "picid", QString::number(number));
        skin.LoadSkinSettings();
        const QImage picture = SkinPicture(number);
        shot = window_->grab().toImage();
        SCOPED_TRACE(number);
        // Drawn from (0, 5) against the right edge, widened from the left, the picture's
        // colour at (1, 204) below it.
        EXPECT_EQ(shot.pixelColor(1028 - 840 + 300, 60), picture.pixelColor(300, 65));
        EXPECT_EQ(shot.pixelColor(30, 60), picture.pixelColor(number >= 7 ? 30 : 0, 65));
        EXPECT_EQ(shot.pixelColor(1024, 400), picture.pixelColor(1, 204));
    }
}

class SkinPanelTest : public SkinFixture {
  protected:
    SkinPanel* OpenPanel() {
        Click(Skin::Instance().SkinButtonRect().center());
        return window_->findChild<SkinPanel*>(QStringLiteral("皮肤面板"));
    }
    void Choose(SkinPanel* panel, const QString& name) {
        auto* button = panel->findChild<QAbstractButton*>(name);
        ASSERT_NE(button, nullptr) << name.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }
};

TEST_F(SkinPanelTest, OpensBelowTheSkinButtonOnTheCurrentStylesTab) {
    Skin& skin = AttachShown();
    SkinPanel* panel = OpenPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->size(), QSize(222, 178));
    const QRect button = skin.SkinButtonRect();
    EXPECT_EQ(panel->pos().y(), window_->mapToGlobal(button.bottomLeft()).y() + 1);
    EXPECT_TRUE(panel->findChild<QWidget*>(QStringLiteral("图片页"))->isVisible());
    EXPECT_FALSE(panel->findChild<QWidget*>(QStringLiteral("颜色页"))->isVisible());

    auto placed = [panel](const QString& name) {
        auto* child = panel->findChild<QWidget*>(name);
        return QRect(child->mapTo(panel, QPoint(0, 0)), child->size());
    };
    EXPECT_EQ(placed(QStringLiteral("图片页签")), QRect(0, 0, 40, 30));
    EXPECT_EQ(placed(QStringLiteral("颜色页签")), QRect(40, 0, 40, 30));
    EXPECT_EQ(placed(QStringLiteral("皮肤图片1")), QRect(6, 36, 68, 43));
    EXPECT_EQ(placed(QStringLiteral("皮肤图片6")), QRect(144, 80, 68, 43));
    EXPECT_EQ(placed(QStringLiteral("皮肤图片9")), QRect(144, 124, 68, 43));
    EXPECT_EQ(placed(QStringLiteral("皮肤颜色1")), QRect(8, 37, 15, 16));
    EXPECT_EQ(placed(QStringLiteral("皮肤颜色7")), QRect(8, 145, 15, 16));
    EXPECT_EQ(placed(QStringLiteral("皮肤颜色8")), QRect(25, 37, 15, 16));
    EXPECT_EQ(placed(QStringLiteral("皮肤颜色84")), QRect(195, 145, 15, 16));

    // The skin button shows pressed while its panel is open.
    const QPoint buttonBackground(button.left() - 5, button.top() + 6);
    const QColor background = ColorFromWindows(skin.Color());
    EXPECT_NE(window_->grab().toImage().pixelColor(buttonBackground), background);
    panel->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_->grab().toImage().pixelColor(buttonBackground), background);
    IniWrite(ConfigPath(), kSkinSection, "style", "2");
    skin.LoadSkinSettings();
    panel = OpenPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->findChild<QWidget*>(QStringLiteral("颜色页"))->isVisible());
}

TEST_F(SkinPanelTest, ChoicesAreWrittenToSkinSettings) {
    Skin& skin = AttachShown();
    SkinPanel* panel = OpenPanel();
    ASSERT_NE(panel, nullptr);

    Choose(panel, QStringLiteral("皮肤图片4"));
    EXPECT_EQ(SkinKey("style"), "1");
    EXPECT_EQ(SkinKey("picid"), "4");
    EXPECT_EQ(SkinKey("color"), "14591565");
    EXPECT_EQ(skin.PictureId(), 4);

    Choose(panel, QStringLiteral("颜色页签"));
    Choose(panel, QStringLiteral("皮肤颜色10"));
    EXPECT_EQ(SkinKey("style"), "2");
    EXPECT_EQ(SkinKey("color"), QString::number(kSkinPalette[9]));
    EXPECT_EQ(SkinKey("picid"), "4");
    EXPECT_EQ(skin.Style(), 2);
    EXPECT_EQ(window_->grab().toImage().pixelColor(400, 60), ColorFromWindows(kSkinPalette[9]));

    Choose(panel, QStringLiteral("图片页签"));
    Choose(panel, QStringLiteral("皮肤图片1"));
    EXPECT_EQ(SkinKey("style"), "1");
    EXPECT_EQ(SkinKey("picid"), "1");
    EXPECT_EQ(SkinKey("color"), "13998394");
    EXPECT_EQ(skin.Color(), 13998394);
}

}  // namespace
