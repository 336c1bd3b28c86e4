#pragma once
// The shifts at this till: the start of a user's shift at login, the handover "交班" with the
// cash counted, printed on the receipt printer, and the super administrator's close of the day
// "日结" with the past shifts.

#include <QDialog>
#include <QList>
#include <QStringList>
#include <functional>

#include "ledger/shift.h"
#include "platform/list_style.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class RecordGrid;

// At login: the logged-in user goes on with the shift open at this till, or starts one now with
// the cash put in the drawer for change, which the user is asked for. A shift that cannot be
// started is told; the login goes on.
void BeginShift(QWidget* parent);

// The lines of a shift's report, to show and to print: every line at most 32 columns, a hanzi
// two. counted: whether the cash counted and the difference are known.
QStringList ShiftReportLines(const ledger::Shift& shift, bool counted);

class ShiftWindow final : public QDialog {
    Q_OBJECT

  public:
    explicit ShiftWindow(QWidget* owner);
    bool HandedOver() const { return handedOver_; }

    QPlainTextEdit* 交班报表;
    QLineEdit* 实点现金框;
    QLabel* 差额标签;
    QPushButton* 交班按钮;
    QPushButton* 打印按钮;
    QPushButton* 关闭按钮;

    void OnHandOver();
    void OnPrint();

  private:
    void ShowShift();
    void ShowDifference();

    ledger::Shift shift_;
    bool handedOver_ = false;
};

// Opens the window modal for the logged-in user at this till; afterHandover runs once it closes
// after a handover, for the next user to log in.
void OpenShiftWindow(QWidget* owner, const std::function<void()>& afterHandover);

class DayCloseWindow final : public QDialog {
    Q_OBJECT

  public:
    explicit DayCloseWindow(QWidget* owner);

    QDateEdit* 日期框;
    QPushButton* 查询按钮;
    QLabel* 日结合计;
    QPushButton* 导出按钮;
    QPushButton* 打印按钮;
    QPushButton* 关闭按钮;
    RecordGrid* 日结表;
    QDateEdit* 起始日期框;
    QDateEdit* 截止日期框;
    QComboBox* 收银台框;
    QComboBox* 操作员框;
    QPushButton* 记录查询按钮;
    RecordGrid* 交班表;

    void ShowDay();
    void ShowShifts();
    void OnPrint();

  private:
    QList<ledger::ShiftFigures> figures_;
    QList<ledger::Shift> handovers_;
    PageList shifts_;
};

// Opens the window for the super administrator; anyone else is told it is not theirs.
void OpenDayCloseWindow(QWidget* owner);
