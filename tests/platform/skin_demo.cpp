// A window with the skin attached, for looking at it:
// skin_demo [picture number | c<colour>] [box]   (box: a question box over the window)
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include "common/ini.h"
#include "common/program_dir.h"
#include "common/settings.h"
#include "platform/skin.h"

namespace {

QImage DemoIcon(const QColor& color, const QString& letter) {
    QImage icon(64, 64, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color.darker(140), 2));
    p.setBrush(color);
    p.drawRoundedRect(QRectF(4, 4, 56, 56), 12, 12);
    QFont font(QStringLiteral("WenQuanYi Zen Hei"));
    font.setPixelSize(34);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(icon.rect(), Qt::AlignCenter, letter);
    return icon;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SetProgramDir(dir.path());
    const QString choice = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (!choice.isEmpty()) {
        const bool color = choice.startsWith(u'c');
        IniWrite(ConfigPath(), kSkinSection, QStringLiteral("style"), color ? "2" : "1");
        IniWrite(ConfigPath(), kSkinSection,
                 color ? QStringLiteral("color") : QStringLiteral("picid"),
                 color ? choice.mid(1) : choice);
    }

    QWidget window;
    window.setWindowTitle(QStringLiteral("岚库通进销存管理系统 V1.2"));
    window.setWindowIcon(QIcon(QPixmap::fromImage(DemoIcon(QColor(230, 120, 30), "岚"))));
    window.setGeometry(50, 50, 1028, 681);
    Skin& skin = Skin::Instance();
    skin.Attach(&window);
    const QStringList captions = {"商品库存", "销售明细", "销售图表", "其他收支", "存款管理",
                                  "汇总统计", "系统设置", "用户管理", "数据管理", "关于我们"};
    for (int i = 0; i < captions.size(); ++i) {
        skin.AddNavButton(DemoIcon(QColor::fromHsv(i * 36, 170, 210), captions[i].left(1)),
                          captions[i]);
    }
    skin.SetStatusText(QStringLiteral("欢迎使用：管理员（超级管理员）") + QString(20, u' ') +
                       QStringLiteral("今天是：2012-6-15") + QString(30, u' ') +
                       QStringLiteral("岚库通进销存管理系统"));
    skin.SetMenuButtonHandler([](int) {});
    skin.SetNavButtonHandler([](int) {});
    window.show();
    if (argc > 2 && QByteArray(argv[2]) == "box") {
        QTimer::singleShot(300, &window, [&skin] {
            skin.SkinMessageBox(QStringLiteral("确认退出岚库通进销存管理系统\r\n第二行文字"), 0, 4,
                                1, QStringLiteral("岚库通进销存管理系统"));
        });
    }
    return app.exec();
}
