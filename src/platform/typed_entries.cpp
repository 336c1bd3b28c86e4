#include "platform/typed_entries.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "platform/dialogs.h"

namespace {

QStringList BoxTexts(const QWidget* window) {
    QStringList texts;
    for (const QLineEdit* box : window->findChildren<QLineEdit*>()) texts << box->text();
    for (const QComboBox* box : window->findChildren<QComboBox*>()) texts << box->currentText();
    return texts;
}

}  // namespace

void TypedEntries::Note(const QWidget* window) {
    noted_ = BoxTexts(window);
}

bool TypedEntries::CloseOnEscape(QWidget* window, const QKeyEvent* event) const {
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier) return false;
    if (BoxTexts(window) != noted_ &&
        Dialogs().SystemMessage(window,
                                QStringLiteral("窗口中录入的内容还没有保存，关闭窗口后将丢失。"
                                               "\n\n确定要关闭吗？"),
                                QStringLiteral("提示"), BoxIcon::Question,
                                BoxButtons::YesNo) != BoxAnswer::Yes)
        return true;
    window->close();
    return true;
}
