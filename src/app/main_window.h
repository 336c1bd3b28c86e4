#pragma once
// The main window: the skinned frame with its navigation buttons, the seven-page container,
// the system and help menus, the tray icon and the layout rules of the pages.

#include <QList>
#include <QWidget>

class QFrame;
class QLabel;
class QMenu;
class QSystemTrayIcon;
class QTabWidget;
class QTimer;

class ListWatch;
class TillKeeper;

class MainWindow : public QWidget {
    Q_OBJECT

  public:
    MainWindow();
    ~MainWindow() override;

    // Pages of 总框架.
    enum Page {
        kStockPage,
        kSalesPage,
        kChartPage,
        kOtherPage,
        kBankPage,
        kSummaryPage,
        kWelcomePage
    };

    void OnCreated();
    void ShowPage(int index);
    void WriteStatusText();
    // After a login: every list, menu and window is laid out for the role now logged in, as
    // at the first login (a change of user may bring another role).
    void ApplyRole();
    QString StatusText() const;
    void On时钟1Tick();
    void OnMenuButton(int which);
    // The system (0) or help (1) menu below its button, as the keyboard opens it.
    void OpenMenuAtButton(int which);
    // F5: the stock or summary list filled again, as their "刷新显示" does.
    void RefreshCurrentList();

    // System menu items.
    void On最小化();
    void On更换用户();
    void On退出程序();
    void OnTrayDoubleClick();

    // Moves and sizes the pages' frames and panels to the window's size.
    void ApplyResizeRules();
    // The offline banner shown or hidden, with the number of sales waiting.
    void ShowOfflineState();

    QTabWidget* 总框架;
    QFrame* 库管框架;
    QFrame* 库管图片框;
    QFrame* 销售框架;
    QFrame* 销售图片框;
    QFrame* 其他收支框架;
    QFrame* 其他图片框;
    QFrame* 其他图片库右一;
    QFrame* 其他图片库右二;
    QFrame* 存款框架;
    QFrame* 存款图片框;
    QFrame* 汇总框架;
    QLabel* 图片框2;
    QLabel* 关于文字;  // the version and the licence, on the page of "关于我们"
    QTimer* 时钟1;
    ListWatch* listWatch_;
    TillKeeper* tillKeeper_;
    // Above the pages while the till sells without its server.
    QLabel* 离线提示;
    QMenu* 系统菜单;
    QMenu* 帮助菜单;
    QSystemTrayIcon* 托盘图标 = nullptr;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    // Alt pressed and released alone opens the system menu.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildPages();
    void BuildMenus();
    void BuildShortcuts();
    void InstallTrayIcon();
    void RemoveTrayIcon();
    int ticks_ = 0;
    bool altAlone_ = false;
};

// The main window of the run, or nullptr before the first login.
MainWindow* TheMainWindow();
// Opens the main window at the first login; later logins only bring it forward (restored
// when minimised, left hidden when hidden by "最小化").
MainWindow* OpenMainWindow();
