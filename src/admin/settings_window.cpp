#include "admin/settings_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <cmath>
#include <iterator>
#include <vector>

#include "common/ini.h"
#include "common/number_text.h"
#include "common/session.h"
#include "common/settings.h"
#include "platform/color_box.h"
#include "platform/dialogs.h"
#include "platform/placement.h"
#include "platform/skin.h"

namespace {

QFrame* PlaceGroup(QWidget* parent, const char16_t* name, const char* title, int x, int y, int w,
                   int h) {
    QLabel* caption = PlaceLabel(parent, QString::fromUtf8(title), x, y, w, 20);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    auto* frame = Place<QFrame>(parent, QString::fromUtf16(name), x, y + 22, w, h);
    frame->setFrameShape(QFrame::StyledPanel);
    return frame;
}

// The item a line setting selects: its leading number, truncated; a number that names no
// item selects none.
int LineIndex(const QString& text, int items) {
    const double number = std::trunc(TextToNumber(text));
    return number >= 0 && number < items ? static_cast<int>(number) : -1;
}

}  // namespace

SettingsWindow::SettingsWindow() {
    setObjectName(QStringLiteral("系统设置"));
    setWindowTitle(QStringLiteral("系统设置"));
    setFixedSize(738, 518);
    setModal(true);

    图片框1 = PlaceGroup(this, u"图片框1", "程序显示相关设置", 15, 12, 350, 112);
    选择框1 = Place<QCheckBox>(图片框1, QStringLiteral("选择框1"), 14, 10, 320, 24);
    选择框1->setText(QStringLiteral("开启库存不足商品靠前显示"));
    选择框2 = Place<QCheckBox>(图片框1, QStringLiteral("选择框2"), 14, 42, 320, 24);
    选择框2->setText(QStringLiteral("是否显示零库存商品"));
    PlaceLabel(图片框1, QStringLiteral("报表表格线显示模式"), 14, 76, 130, 24);
    组合框1 = Place<QComboBox>(图片框1, QStringLiteral("组合框1"), 150, 76, 150, 24);
    组合框1->addItems(
        {QStringLiteral("0-全部显示"), QStringLiteral("1-只有横线"), QStringLiteral("2-只有竖线")});

    图片框2 = PlaceGroup(this, u"图片框2", "打印显示相关设置", 15, 148, 350, 250);
    const struct {
        ColorBox** box;
        const char16_t* name;
        const char* label;
    } colors[] = {
        {&库存报警文字颜色, u"库存报警文字颜色", "库存警报文字颜色："},
        {&底部合计行颜色, u"底部合计行颜色", "底部合计行颜色："},
        {&零库存文字颜色, u"零库存文字颜色", "零库存文字颜色："},
        {&欠款文字颜色, u"欠款文字颜色", "欠款文字颜色："},
        {&支出文字颜色, u"支出文字颜色", "支出文字颜色："},
        {&偶数行颜色, u"偶数行颜色", "偶数行："},
        {&奇数行颜色, u"奇数行颜色", "奇数行："},
    };
    for (int i = 0; i < 7; ++i) {
        const int top = 10 + 33 * i;
        PlaceLabel(图片框2, QString::fromUtf8(colors[i].label), 14, top, 140, 26,
                   Qt::AlignRight | Qt::AlignVCenter);
        *colors[i].box =
            Place<ColorBox>(图片框2, QString::fromUtf16(colors[i].name), 160, top, 90, 26);
    }

    PlaceLabel(this, QStringLiteral("窗口皮肤请用主窗口右上角的皮肤按钮更换"), 380, 12, 343, 20,
               Qt::AlignRight | Qt::AlignVCenter);
    图片框3 = PlaceGroup(this, u"图片框3", "打印显示相关设置", 380, 40, 343, 112);
    const struct {
        QLineEdit** box;
        const char16_t* name;
        const char* label;
        QFrame* frame;
        int row;
    } edits[] = {
        {&编辑框1, u"编辑框1", "单位名称：", 图片框3, 0},
        {&编辑框2, u"编辑框2", "单位地址：", 图片框3, 1},
        {&编辑框3, u"编辑框3", "联系方式：", 图片框3, 2},
    };
    for (const auto& e : edits) {
        const int top = 10 + 33 * e.row;
        PlaceLabel(e.frame, QString::fromUtf8(e.label), 12, top, 100, 24,
                   Qt::AlignRight | Qt::AlignVCenter);
        *e.box = Place<QLineEdit>(e.frame, QString::fromUtf16(e.name), 116, top, 212, 24);
    }

    图片框5 = PlaceGroup(this, u"图片框5", "小票打印相关设置", 380, 176, 343, 112);
    const struct {
        QLineEdit** box;
        const char16_t* name;
        const char* label;
    } receipt[] = {
        {&票头, u"票头", "小票打印票头："},
        {&宣传1, u"宣传1", "宣传信息1："},
        {&宣传2, u"宣传2", "宣传信息2："},
    };
    for (int i = 0; i < 3; ++i) {
        const int top = 10 + 33 * i;
        PlaceLabel(图片框5, QString::fromUtf8(receipt[i].label), 12, top, 100, 24,
                   Qt::AlignRight | Qt::AlignVCenter);
        *receipt[i].box =
            Place<QLineEdit>(图片框5, QString::fromUtf16(receipt[i].name), 116, top, 212, 24);
    }

    图片框4 = PlaceGroup(this, u"图片框4", "主名称设置", 380, 312, 343, 64);
    PlaceLabel(图片框4, QStringLiteral("当前名称/修改："), 12, 20, 100, 24,
               Qt::AlignRight | Qt::AlignVCenter);
    编辑框6 = Place<QLineEdit>(图片框4, QStringLiteral("编辑框6"), 116, 20, 212, 24);

    QLabel* note =
        PlaceLabel(this,
                   QStringLiteral("部分设置，可能需要重启软件才能生效。 "
                                  "（因本软件不许太多设置，使用方便，所以系统设置少。）"),
                   15, 418, 708, 40);
    note->setWordWrap(true);
    // Who may book a stocktake is the super administrator's to decide: no one else sees it.
    盘点确认框 = Place<QCheckBox>(this, QStringLiteral("盘点确认框"), 15, 473, 400, 24);
    盘点确认框->setText(QStringLiteral("允许普通用户在本机确认盘点"));
    盘点确认框->setVisible(IsSuperAdmin());
    按钮2 = Place<QPushButton>(this, QStringLiteral("按钮2"), 528, 470, 90, 30);
    按钮2->setText(QStringLiteral("保存"));
    按钮3 = Place<QPushButton>(this, QStringLiteral("按钮3"), 633, 470, 90, 30);
    按钮3->setText(QStringLiteral("取消"));
    connect(按钮2, &QPushButton::clicked, this, &SettingsWindow::SaveSettingsWindow);
    connect(按钮3, &QPushButton::clicked, this, &QDialog::reject);

    LoadSettingsWindow();
}

void SettingsWindow::LoadSettingsWindow() {
    组合框1->setCurrentIndex(LineIndex(ReadSetupKey(SetupKey::kLine), 组合框1->count()));
    选择框1->setChecked(SetupFlag(SetupKey::kBeepView));
    选择框2->setChecked(SetupFlag(SetupKey::kZero));
    盘点确认框->setChecked(SetupFlag(SetupKey::kStocktakeBooking));
    库存报警文字颜色->SetColor(SetupColor(SetupKey::kBeepColor));
    底部合计行颜色->SetColor(SetupColor(SetupKey::kLastColor));
    零库存文字颜色->SetColor(SetupColor(SetupKey::kZeroColor));
    欠款文字颜色->SetColor(SetupColor(SetupKey::kRmbColor));
    支出文字颜色->SetColor(SetupColor(SetupKey::kOutColor));
    偶数行颜色->SetColor(SetupColor(SetupKey::kBgTwo));
    奇数行颜色->SetColor(SetupColor(SetupKey::kBgOne));
    编辑框1->setText(ReadSetupKey(SetupKey::kName));
    编辑框2->setText(ReadSetupKey(SetupKey::kAdress));
    编辑框3->setText(ReadSetupKey(SetupKey::kTell));
    编辑框6->setText(ReadSetupKey(SetupKey::kTitle));
    const QString receipt = ReceiptPath();
    宣传1->setText(IniRead(receipt, kReceiptSection, QStringLiteral("宣传1")));
    宣传2->setText(IniRead(receipt, kReceiptSection, QStringLiteral("宣传2")));
    票头->setText(IniRead(receipt, kReceiptSection, QStringLiteral("票头")));
}

void SettingsWindow::SaveSettingsWindow() {
    auto color = [](const ColorBox* box) { return QString::number(box->Color()); };
    const QString config = ConfigPath(), receipt = ReceiptPath();
    const QString setup = QStringLiteral("setup");
    struct Key {
        const QString& file;
        const QString& section;
        QString key;
        QString value;
    };
    const Key keys[] = {
        {config, setup, SetupKey::kLine, QString::number(组合框1->currentIndex())},
        {config, setup, SetupKey::kBeepView, FlagText(选择框1->isChecked())},
        {config, setup, SetupKey::kZero, FlagText(选择框2->isChecked())},
        {config, setup, SetupKey::kName, 编辑框1->text()},
        {config, setup, SetupKey::kAdress, 编辑框2->text()},
        {config, setup, SetupKey::kTell, 编辑框3->text()},
        {config, setup, SetupKey::kBeepColor, color(库存报警文字颜色)},
        {config, setup, SetupKey::kLastColor, color(底部合计行颜色)},
        {config, setup, SetupKey::kZeroColor, color(零库存文字颜色)},
        {config, setup, SetupKey::kRmbColor, color(欠款文字颜色)},
        {config, setup, SetupKey::kOutColor, color(支出文字颜色)},
        {config, setup, SetupKey::kBgTwo, color(偶数行颜色)},
        {config, setup, SetupKey::kBgOne, color(奇数行颜色)},
        {config, setup, SetupKey::kTitle, 编辑框6->text()},
        {receipt, kReceiptSection, QStringLiteral("宣传1"), 宣传1->text()},
        {receipt, kReceiptSection, QStringLiteral("宣传2"), 宣传2->text()},
        {receipt, kReceiptSection, QStringLiteral("票头"), 票头->text()},
    };
    std::vector<Key> all(std::begin(keys), std::end(keys));
    if (IsSuperAdmin())
        all.push_back(
            {config, setup, SetupKey::kStocktakeBooking, FlagText(盘点确认框->isChecked())});
    for (const auto& k : all) {
        if (!IniWrite(k.file, k.section, k.key, k.value)) {
            ShowMessage(
                QStringLiteral("系统设置保存失败：\r\n无法写入 ") + QFileInfo(k.file).fileName(),
                2);
            return;
        }
    }
    accept();
}

void OpenSettingsWindow() {
    // On the heap: the window goes with the end of its modal loop, whatever closed it.
    QPointer<SettingsWindow> window = new SettingsWindow;
    Dialogs().RunModal(window);
    delete window.data();
}
