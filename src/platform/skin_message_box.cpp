#include "platform/skin_message_box.h"

#include <QAbstractButton>
#include <QPainter>
#include <QPushButton>

#include "common/gbk.h"
#include "platform/skin_geometry.h"
#include "platform/skin_caption.h"
#include "platform/skin_images.h"

namespace {

constexpr qsizetype kLineBytes = 32;
constexpr int kBoxWidth = 300;
constexpr int kBoxHeight = 140;
constexpr int kLineHeight = 14;
constexpr int kBandHeight = 28;
constexpr QPoint kIconPos{22, 44};
constexpr QPoint kTextPos{74, 44};

// The program title shown as the caption of ShowMessage, kept out of plain sight in the
// binary: its GBK bytes XOR-ed with kTitleKey.
constexpr unsigned char kTitleKey = 0x5A;
constexpr unsigned char kScrambledTitle[] = {0xBB, 0xEA, 0xE5, 0xB8, 0x97, 0xF2, 0xE7,
                                             0xA2, 0x95, 0xA0, 0xEE, 0xBC, 0xE3, 0x86,
                                             0x9A, 0xB7, 0x95, 0xEF, 0x97, 0xE9};


// The close area in the box's caption band.
class BandCloseButton final : public QAbstractButton {
  public:
    BandCloseButton(QWidget* parent, bool onDark) : QAbstractButton(parent), onDark_(onDark) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const int state = isDown() ? 2 : underMouse() ? 1 : 0;
        p.drawImage(0, 0, CaptionButtonImage(CaptionGlyph::Close, state, size(), onDark_));
    }
    void enterEvent(QEnterEvent* event) override {
        update();
        QAbstractButton::enterEvent(event);
    }
    void leaveEvent(QEvent* event) override {
        update();
        QAbstractButton::leaveEvent(event);
    }

  private:
    bool onDark_;
};

// The first count characters (code points) of text.
QString LeadingCharacters(const QString& text, qsizetype count) {
    qsizetype units = 0;
    for (qsizetype i = 0; i < count && units < text.size(); ++i) {
        units += (text.at(units).isHighSurrogate() && units + 1 < text.size()) ? 2 : 1;
    }
    return text.left(units);
}

}  // namespace

SkinBoxLayout LayOutSkinBox(const QString& text) {
    SkinBoxLayout layout;
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        QString rest = line;
        do {
            // GbkCut gives a character GBK cannot hold back as "?", so the piece is taken
            // from the line itself by its number of characters.
            const qsizetype count =
                std::max<qsizetype>(1, GbkCut(rest, kLineBytes).toUcs4().size());
            const QString piece = LeadingCharacters(rest, count);
            layout.lines << piece;
            rest = rest.mid(piece.size());
        } while (!rest.isEmpty());
    }
    layout.width = kBoxWidth;
    layout.height = kBoxHeight + kLineHeight * std::max<int>(0, layout.lines.size() - 3);
    return layout;
}

SkinBoxWindow::SkinBoxWindow(QWidget* owner, const SkinBoxRequest& request, const QColor& bandColor)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint),
      layout_(LayOutSkinBox(request.text)),
      caption_(request.caption),
      icon_(MessageIcon(request.icon)),
      band_(bandColor) {
    setObjectName(QStringLiteral("皮肤消息框"));
    setWindowTitle(request.caption);
    setModal(true);
    setFixedSize(layout_.width, layout_.height);

    const int buttonTop = layout_.height - 30;
    auto makeButton = [&](const QString& name, const QString& text, int left, int result) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setGeometry(left, buttonTop, 69, 21);
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        return button;
    };
    QPushButton* first = nullptr;
    QPushButton* second = nullptr;
    if (request.type == 1) {
        确定按钮 = first = makeButton(QStringLiteral("确定按钮"), QStringLiteral("确定"), 218, 1);
    } else if (request.type == 2) {
        取消按钮 = first = makeButton(QStringLiteral("取消按钮"), QStringLiteral("取消"), 218, 0);
    } else {
        确定按钮 = first = makeButton(QStringLiteral("确定按钮"), QStringLiteral("确定"), 140, 1);
        取消按钮 = second = makeButton(QStringLiteral("取消按钮"), QStringLiteral("取消"), 218, 0);
    }
    QPushButton* defaultButton = (request.defaultButton == 2 && second) ? second : first;
    defaultButton->setDefault(true);
    defaultButton->setFocus();

    关闭区 = new BandCloseButton(this, IsDarkColor(band_));
    关闭区->setObjectName(QStringLiteral("关闭区"));
    关闭区->setGeometry(layout_.width - 31, 4, 27, 19);
    关闭区->setAttribute(Qt::WA_Hover);
    connect(关闭区, &QAbstractButton::clicked, this, [this] { done(-1); });

    if (owner) {
        const QPoint centre = owner->mapToGlobal(owner->rect().center());
        move(centre - QPoint(layout_.width / 2, layout_.height / 2));
    }
}

void SkinBoxWindow::reject() {
    done(-1);
}

void SkinBoxWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);
    p.fillRect(QRect(0, 0, width(), kBandHeight), band_);
    p.setPen(QPen(band_.darker(140), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, width() - 1, height() - 1));

    p.setFont(SkinFont(12, true));
    p.setPen(IsDarkColor(band_) ? Qt::white : Qt::black);
    p.drawText(QRect(10, 7, width() - 50, kBandHeight - 7), Qt::AlignLeft | Qt::AlignTop, caption_);

    p.drawImage(kIconPos, icon_);
    p.setFont(SkinFont(12, false));
    p.setPen(Qt::black);
    for (int i = 0; i < layout_.lines.size(); ++i) {
        p.drawText(QRect(kTextPos.x(), kTextPos.y() + kLineHeight * i, width() - kTextPos.x(),
                         kLineHeight),
                   Qt::AlignLeft | Qt::AlignTop, layout_.lines[i]);
    }
}

QString ProgramCaption() {
    QByteArray bytes;
    for (unsigned char c : kScrambledTitle) bytes.append(static_cast<char>(c ^ kTitleKey));
    return FromGbk(bytes);
}

void ShowMessage(const QString& text, int kind) {
    int icon = 0;
    switch (kind) {
        case 0:
            icon = 0;
            break;
        case 1:
        case 3:
            icon = 2;
            break;
        case 2:
            icon = 3;
            break;
        default:
            return;
    }
    Skin::Instance().SkinMessageBox(text, 1, icon, 1, ProgramCaption());
}
