#include "platform/up_down_arrows.h"

#include <QEvent>
#include <QToolButton>

UpDownArrows::UpDownArrows(QWidget* buddy, QWidget* parent)
    : QWidget(parent), buddy_(buddy), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    for (QToolButton* button : {up_, down_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);  // held down, the number keeps stepping
    }
    up_->setArrowType(Qt::UpArrow);
    up_->setObjectName(QStringLiteral("up"));
    down_->setArrowType(Qt::DownArrow);
    down_->setObjectName(QStringLiteral("down"));
    connect(up_, &QToolButton::clicked, this, &UpDownArrows::up);
    connect(down_, &QToolButton::clicked, this, &UpDownArrows::down);
    buddy_->installEventFilter(this);
    FollowBuddy();
}

bool UpDownArrows::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_) {
        switch (event->type()) {
            case QEvent::EnabledChange:
            case QEvent::Move:
            case QEvent::Resize:
                FollowBuddy();
                break;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDownArrows::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

void UpDownArrows::FollowBuddy() {
    const QRect box = buddy_->geometry();
    setGeometry(box.right() + 1, box.top(), kWidth, box.height());
    setEnabled(buddy_->isEnabled());
}
