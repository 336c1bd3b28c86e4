#include "app/main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include "admin/maintenance_window.h"
#include "admin/settings_window.h"
#include "admin/user_window.h"
#include "app/app_images.h"
#include "app/help.h"
#include "app/login_window.h"
#include "app/program_exit.h"
#include "app/provision.h"
#include "common/date_text.h"
#include "common/session.h"
#include "common/settings.h"
#include "finance/bank_page.h"
#include "finance/other_page.h"
#include "ledger/result.h"
#include "platform/list_refresh.h"
#include "platform/list_watch.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "platform/till_keeper.h"
#include "sales/sales_page.h"
#include "sales/scan_batch.h"
#include "sales/scan_sale_window.h"
#include "sales/sell_window.h"
#include "sales/shift_window.h"
#include "stats/chart_page.h"
#include "stats/summary_page.h"
#include "stock/catalogue_window.h"
#include "stock/goods_row.h"
#include "stock/stock_page.h"

namespace {

QPointer<MainWindow>& Instance() {
    static QPointer<MainWindow> window;
    return window;
}

const char16_t* const kNavCaptions[] = {u"商品库存", u"销售明细", u"销售图表", u"其他收支",
                                        u"存款管理", u"汇总统计", u"系统设置", u"用户管理",
                                        u"数据管理", u"关于我们"};

const char16_t* const kPageCaptions[] = {u"库管",     u"销售明细", u"销售统计", u"其他收支",
                                         u"存款管理", u"汇总统计", u"技术支持"};

// The keys of the ten navigation buttons, in their order.
const char* const kNavKeys[] = {"Ctrl+1", "Ctrl+2", "Ctrl+3", "Ctrl+4", "Ctrl+5",
                                "Ctrl+6", "Ctrl+7", "Ctrl+8", "Ctrl+9", "Ctrl+0"};

QString WithKey(const QString& action, const QString& keys) {
    return action + QStringLiteral("（") + keys + QStringLiteral("）");
}

// Fixed caption at the start of the status text.
const QString kStatusCaption = QStringLiteral("当前操作员：");

QFrame* Frame(QWidget* parent, const char16_t* name, int x, int y, int w, int h) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromUtf16(name));
    frame->setGeometry(x, y, w, h);
    return frame;
}

// Maintenance works on the books' own file: on the till's copy it would lose the sales that
// wait there for the server.
void OpenMaintenanceUnlessOffline() {
    if (TillSellsOffline()) return ShowMessage(ServerNeededText(), 2);
    OpenMaintenanceWindow();
}

}  // namespace

MainWindow::MainWindow() {
    setObjectName(QStringLiteral("主窗口"));
    setWindowIcon(ProgramIcon());
    setGeometry(50, 50, 1028, 681);
    BuildPages();
    BuildMenus();
    BuildShortcuts();
    时钟1 = new QTimer(this);
    时钟1->setObjectName(QStringLiteral("时钟1"));
    时钟1->setInterval(1000);
    connect(时钟1, &QTimer::timeout, this, [this] { On时钟1Tick(); });
    listWatch_ = new ListWatch(this);
    tillKeeper_ = new TillKeeper(this);
    离线提示 = new QLabel(this);
    离线提示->setObjectName(QStringLiteral("离线提示"));
    离线提示->setAccessibleName(QStringLiteral("离线销售提示"));
    离线提示->setAlignment(Qt::AlignCenter);
    离线提示->setStyleSheet(QStringLiteral(
        "QLabel { background: rgb(200, 30, 30); color: white; font-weight: bold; }"));
    离线提示->hide();
    SetOfflineHook([this] { ShowOfflineState(); });
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    SetOfflineHook({});
    ForgetStockPage();
    ForgetSummaryPage();
    ForgetChartPage();
    ForgetSalesPage();
    ForgetOtherPage();
    ForgetBankPage();
    RemoveTrayIcon();
    if (Skin::Instance().Window() == this) Skin::Instance().Detach();
}

void MainWindow::BuildPages() {
    总框架 = new QTabWidget(this);
    总框架->setObjectName(QStringLiteral("总框架"));
    总框架->setGeometry(10, 36, 1008, 608);
    // The skin's navigation buttons choose the page; the hidden tab bar would hold the focus.
    总框架->tabBar()->hide();
    总框架->setFocusPolicy(Qt::NoFocus);
    总框架->tabBar()->setFocusPolicy(Qt::NoFocus);
    总框架->setDocumentMode(true);
    QWidget* pages[7];
    for (int i = 0; i < 7; ++i) {
        pages[i] = new QWidget;
        pages[i]->setObjectName(QStringLiteral("页面%1").arg(i));
        总框架->addTab(pages[i], QString::fromUtf16(kPageCaptions[i]));
    }
    库管框架 = Frame(pages[kStockPage], u"库管框架", 0, 0, 1008, 530);
    库管图片框 = Frame(pages[kStockPage], u"库管图片框", 3, 532, 1002, 70);
    销售框架 = Frame(pages[kSalesPage], u"销售框架", 0, 0, 1008, 530);
    销售图片框 = Frame(pages[kSalesPage], u"销售图片框", 3, 532, 1002, 70);
    其他收支框架 = Frame(pages[kOtherPage], u"其他收支框架", 0, 0, 797, 530);
    其他图片框 = Frame(pages[kOtherPage], u"其他图片框", 3, 532, 792, 70);
    其他图片库右一 = Frame(pages[kOtherPage], u"其他图片库右一", 797, 0, 210, 266);
    其他图片库右二 = Frame(pages[kOtherPage], u"其他图片库右二", 797, 266, 210, 266);
    存款框架 = Frame(pages[kBankPage], u"存款框架", 0, 0, 1008, 562);
    存款图片框 = Frame(pages[kBankPage], u"存款图片框", 3, 564, 1002, 40);
    汇总框架 = Frame(pages[kSummaryPage], u"汇总框架", 0, 0, 1008, 608);
    图片框2 = new QLabel(pages[kWelcomePage]);
    图片框2->setObjectName(QStringLiteral("图片框2"));
    图片框2->setGeometry(174, 88, 640, 416);
    图片框2->setPixmap(QPixmap::fromImage(WelcomePicture()));
    // Below the picture when "关于我们" shows the page, not in the first seconds after the login.
    关于文字 = new QLabel(QStringLiteral("岚库通进销存管理系统　%1 版\n许可：专有软件，"
                                         "版权所有 © 2026 岚库通团队，保留所有权利")
                              .arg(QStringLiteral(LK_VERSION)),
                          pages[kWelcomePage]);
    关于文字->setObjectName(QStringLiteral("关于文字"));
    关于文字->setAlignment(Qt::AlignCenter);
    关于文字->setGeometry(图片框2->x(), 图片框2->y() + 图片框2->height() + 8, 图片框2->width(), 44);
    关于文字->hide();

    StockPageHooks hooks;
    hooks.owner = this;
    hooks.showSummary = [this] { ShowPage(5); };
    hooks.showSales = [this] { ShowPage(1); };
    hooks.scanSale = [this] { OpenScanSaleWindow(this); };
    hooks.sell = [this] {
        GoodsRow row;
        if (LoadGoodsRow(CurrentSession().selectedId, &row)) OpenSellWindow(this, &row);
    };
    BuildStockPage(库管框架, 库管图片框, hooks);
    BuildSalesPage(销售框架, 销售图片框, SalesPageHooks{this});
    BuildOtherPage(其他收支框架, 其他图片框, 其他图片库右一, 其他图片库右二);
    BuildBankPage(存款框架, 存款图片框);
    BuildChartPage(pages[kChartPage]);
}

void MainWindow::BuildMenus() {
    系统菜单 = new QMenu(this);
    系统菜单->setObjectName(QStringLiteral("系统菜单"));
    connect(系统菜单->addAction(QStringLiteral("系统设置")), &QAction::triggered, this,
            [] { OpenSettingsWindow(); });
    connect(系统菜单->addAction(QStringLiteral("用户管理")), &QAction::triggered, this,
            [] { OpenUserWindowFromMenu(); });
    connect(系统菜单->addAction(QStringLiteral("数据备份")), &QAction::triggered, this,
            [] { OpenMaintenanceUnlessOffline(); });
    系统菜单->addSeparator();
    connect(系统菜单->addAction(QStringLiteral("最小化")), &QAction::triggered, this,
            [this] { On最小化(); });
    系统菜单->addSeparator();
    connect(系统菜单->addAction(QStringLiteral("官方网站")), &QAction::triggered, this,
            [] { OpenInBrowser(QUrl(ProductAddress())); });
    connect(系统菜单->addAction(QStringLiteral("关于我们")), &QAction::triggered, this,
            [this] { ShowPage(9); });
    系统菜单->addSeparator();
    // A handover ends the shift: the next user logs in and starts the next one.
    connect(系统菜单->addAction(QStringLiteral("交班")), &QAction::triggered, this,
            [this] { OpenShiftWindow(this, [this] { On更换用户(); }); });
    connect(系统菜单->addAction(QStringLiteral("日结")), &QAction::triggered, this,
            [this] { OpenDayCloseWindow(this); });
    connect(系统菜单->addAction(QStringLiteral("更换用户")), &QAction::triggered, this,
            [this] { On更换用户(); });
    connect(系统菜单->addAction(QStringLiteral("退出程序")), &QAction::triggered, this,
            [this] { On退出程序(); });

    帮助菜单 = new QMenu(this);
    帮助菜单->setObjectName(QStringLiteral("帮助菜单"));
    connect(帮助菜单->addAction(QStringLiteral("视频教程")), &QAction::triggered, this,
            [] { StartTutorial(); });
    帮助菜单->addSeparator();
    connect(帮助菜单->addAction(QStringLiteral("最新特性")), &QAction::triggered, this,
            [] { ShowNewFeatures(); });
    帮助菜单->addSeparator();
    connect(帮助菜单->addAction(QStringLiteral("使用帮助")), &QAction::triggered, this,
            [] { ShowUsageHelp(); });
    connect(帮助菜单->addAction(QStringLiteral("在线帮助")), &QAction::triggered, this,
            [] { OpenInBrowser(QUrl(ProductAddress())); });
    帮助菜单->addSeparator();
    connect(帮助菜单->addAction(QStringLiteral("问题反馈")), &QAction::triggered, this,
            [] { OpenFeedbackWindow(); });
    帮助菜单->addSeparator();
    connect(帮助菜单->addAction(QStringLiteral("检查更新")), &QAction::triggered, this,
            [this] { StartUpdateCheck(true, this); });
}

void MainWindow::BuildShortcuts() {
    auto add = [this](const QKeySequence& keys, std::function<void()> action) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, std::move(action));
    };
    for (int i = 0; i < 10; ++i)
        add(QKeySequence(QString::fromLatin1(kNavKeys[i])),
            [i] { Skin::Instance().PressNavButton(i); });
    add(QKeySequence(Qt::Key_F10), [this] { OpenMenuAtButton(0); });
    add(QKeySequence(Qt::Key_F1), [this] { OpenMenuAtButton(1); });
    add(QKeySequence(Qt::Key_F5), [this] { RefreshCurrentList(); });
    qApp->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // An event may pass the filter once for each widget it propagates to; Alt counts alone
    // when no other key and no mouse button came between its press and its release.
    switch (event->type()) {
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            altAlone_ = key->key() == Qt::Key_Alt &&
                        !(key->modifiers() & ~(Qt::AltModifier | Qt::KeypadModifier));
            break;
        }
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            auto* widget = qobject_cast<QWidget*>(watched);
            if (key->key() != Qt::Key_Alt || !altAlone_ || !widget || widget->window() != this ||
                QApplication::activePopupWidget())
                break;
            altAlone_ = false;
            OpenMenuAtButton(0);
            return true;
        }
        case QEvent::ShortcutOverride:  // a key that a shortcut may take before its press
            if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Alt) altAlone_ = false;
            break;
        case QEvent::MouseButtonPress:
        case QEvent::WindowDeactivate:  // Alt+Tab to another program
            altAlone_ = false;
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::OnCreated() {
    Skin& skin = Skin::Instance();
    skin.Attach(this);
    skin.SetMenuButtonHandler([this](int which) { OnMenuButton(which); });
    skin.SetNavButtonHandler([this](int index) { ShowPage(index); });
    for (int i = 0; i < 10; ++i) {
        const QString caption = QString::fromUtf16(kNavCaptions[i]);
        skin.AddNavButton(NavIcon(i), caption);
        skin.NavKeyButton(i)->setToolTip(WithKey(caption, QString::fromLatin1(kNavKeys[i])));
    }
    skin.CaptionKeyButton(4)->setAccessibleName(QStringLiteral("系统菜单"));
    skin.CaptionKeyButton(4)->setToolTip(
        WithKey(QStringLiteral("系统菜单"), QStringLiteral("F10 或 Alt")));
    skin.CaptionKeyButton(5)->setAccessibleName(QStringLiteral("帮助菜单"));
    skin.CaptionKeyButton(5)->setToolTip(WithKey(QStringLiteral("帮助菜单"), QStringLiteral("F1")));

    // Flat standard controls framed in one soft colour.
    setStyleSheet(
        QStringLiteral("QLineEdit, QComboBox, QDateEdit, QSpinBox, QTextEdit, QPlainTextEdit "
                       "{ border: 1px solid rgb(198, 196, 215); background: white; }"));

    setWindowTitle(CurrentSession().appTitle + QStringLiteral(" V1.2"));
    InstallTrayIcon();
    WriteStatusText();
    总框架->setCurrentIndex(kWelcomePage);
    ticks_ = 0;
    SetScanBatchMode(false);
    时钟1->start();
    listWatch_->Start();
    tillKeeper_->Start();
    ShowOfflineState();
    ApplyResizeRules();
    StartDailyBackup(this);
    if (ReadSetupKey(SetupKey::kUpdateCheck) != QStringLiteral("否")) StartUpdateCheck(false, this);
}

QString MainWindow::StatusText() const {
    const Session& s = CurrentSession();
    const QDate today = CurrentDateTime().date();
    return kStatusCaption + s.userName + QStringLiteral("（") + s.userRole + QStringLiteral("）") +
           QString(20, u' ') + QStringLiteral("今天是：") +
           QStringLiteral("%1-%2-%3").arg(today.year()).arg(today.month()).arg(today.day()) +
           QString(30, u' ') + s.appTitle + QString(30, u' ') + QStringLiteral("岚库通团队制作");
}

void MainWindow::WriteStatusText() {
    Skin::Instance().SetStatusText(StatusText());
}

void MainWindow::On时钟1Tick() {
    if (++ticks_ != 2) return;
    ShowPage(0);
    时钟1->stop();
}

void MainWindow::ShowPage(int index) {
    switch (index) {
        case 0:
            CreateStockGrid(总框架->width(), 总框架->height() - 库管图片框->height() - 4);
            总框架->setCurrentIndex(kStockPage);
            break;
        case 1:
            CreateSalesGrid(总框架->width(), 总框架->height() - 销售图片框->height() - 4);
            总框架->setCurrentIndex(kSalesPage);
            break;
        case 2:
            总框架->setCurrentIndex(kChartPage);
            ShowChartPage();
            break;
        case 3:
            CreateOtherGrid(总框架->width() - 其他图片库右一->width() - 1,
                            总框架->height() - 其他图片框->height() - 4);
            总框架->setCurrentIndex(kOtherPage);
            break;
        case 4:
            CreateBankGrid(总框架->width(), 总框架->height() - 存款图片框->height() - 4);
            总框架->setCurrentIndex(kBankPage);
            break;
        case 5:
            CreateSummaryGrid(汇总框架, 总框架->width(), 总框架->height());
            总框架->setCurrentIndex(kSummaryPage);
            break;
        case 6:
            OpenSettingsWindow();
            break;
        case 7:
            if (!IsSuperAdmin()) {
                Skin::Instance().SkinMessageBox(
                    QStringLiteral(" 对不起，您不能这么做!\r\n\r\n请使用超级管理员账号登陆"), 1, 2,
                    1, QStringLiteral("出错了"));
                break;
            }
            OpenUserWindow();
            break;
        case 8:
            OpenMaintenanceUnlessOffline();
            break;
        case 9:
            总框架->setCurrentIndex(kWelcomePage);
            关于文字->show();
            break;
        default:
            break;
    }
}

void MainWindow::OnMenuButton(int which) {
    QMenu* menu = which == 0 ? 系统菜单 : which == 1 ? 帮助菜单 : nullptr;
    if (!menu) return;
    // A click opens the menu at the cursor; the button pressed by key, below the button.
    const QRect button = Skin::Instance().CaptionButtonRect(which + 4);
    if (button.contains(mapFromGlobal(QCursor::pos())))
        menu->popup(QCursor::pos());
    else
        OpenMenuAtButton(which);
}

void MainWindow::OpenMenuAtButton(int which) {
    QMenu* menu = which == 0 ? 系统菜单 : which == 1 ? 帮助菜单 : nullptr;
    if (!menu || !isVisible()) return;
    const QRect button = Skin::Instance().CaptionButtonRect(which + 4);
    menu->popup(mapToGlobal(button.isValid() ? button.bottomLeft() : QPoint(0, 0)));
    // The first item is current, so that the arrows and Enter work at once.
    if (!menu->actions().isEmpty()) menu->setActiveAction(menu->actions().first());
}

void MainWindow::RefreshCurrentList() {
    if (总框架->currentIndex() == kStockPage && StockGrid() && TheStockPage().刷新显示)
        TheStockPage().刷新显示->trigger();
    else if (总框架->currentIndex() == kSummaryPage && SummaryGrid())
        FillSummaryGrid();
}

void MainWindow::InstallTrayIcon() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
    if (!托盘图标) {
        托盘图标 = new QSystemTrayIcon(this);
        托盘图标->setObjectName(QStringLiteral("托盘图标"));
        connect(托盘图标, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::DoubleClick) OnTrayDoubleClick();
                    if (reason == QSystemTrayIcon::Context) 系统菜单->popup(QCursor::pos());
                });
    }
    托盘图标->setIcon(ProgramIcon());
    托盘图标->setToolTip((CurrentSession().appTitle + QStringLiteral(" V1.2")).left(127));
    托盘图标->show();
}

void MainWindow::RemoveTrayIcon() {
    if (!托盘图标) return;
    托盘图标->hide();
    delete 托盘图标;
    托盘图标 = nullptr;
}

void MainWindow::OnTrayDoubleClick() {
    show();
    if (isMinimized()) showNormal();
}

void MainWindow::On最小化() {
    // Hidden, the window comes back only through the tray icon; without one it is minimised
    // to the task bar instead.
    if (托盘图标) return setVisible(!isVisible());
    if (isMinimized())
        showNormal();
    else
        showMinimized();
}

void MainWindow::On更换用户() {
    OpenLoginWindow();
}

void MainWindow::ApplyRole() {
    // The lists hold cost figures only for a user who may see them: they are filled again.
    for (ListId list : {ListId::Stock, ListId::Sales, ListId::Summary}) RefillWholeList(list);
    ApplyResizeRules();
    FollowRoleInGoodsWindows();
    ChartPageAfterLogin();
}

void MainWindow::On退出程序() {
    const int answer = Skin::Instance().SkinMessageBox(
        QStringLiteral("确认退出岚库通进销存管理系统"), 0, 4, 1, CurrentSession().appTitle);
    if (answer != 1) return;
    RemoveTrayIcon();
    EndProgram();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    RemoveTrayIcon();
    event->accept();
    EndProgram();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyResizeRules();
}

void MainWindow::ShowOfflineState() {
    const QString text = OfflineBannerText();
    离线提示->setText(text);
    const bool was = 离线提示->isVisible();
    离线提示->setVisible(!text.isEmpty());
    if (was != 离线提示->isVisible()) ApplyResizeRules();
}

void MainWindow::ApplyResizeRules() {
    const int W = width(), H = height();
    // While the till sells offline the banner takes the top of the pages' place.
    const int banner = 离线提示->isVisible() ? 24 : 0;
    离线提示->setGeometry(3, 106, W - 6, banner);
    总框架->setGeometry(3, 106 + banner, W - 6, H - 131 - banner);
    // The pages take the container's size; the frames follow its outer size as the rules say.
    const int fw = 总框架->width(), fh = 总框架->height();
    auto below = [](QFrame* host, QFrame* panel, int x, int width) {
        panel->setGeometry(x, host->height() + 2, width, panel->height());
    };
    库管框架->setGeometry(0, 0, fw, fh - 库管图片框->height() - 4);
    below(库管框架, 库管图片框, 3, fw - 6);
    销售框架->setGeometry(0, 0, fw, fh - 销售图片框->height() - 4);
    below(销售框架, 销售图片框, 3, fw - 6);
    存款框架->setGeometry(0, 0, fw, fh - 存款图片框->height() - 4);
    below(存款框架, 存款图片框, 3, fw - 6);
    汇总框架->setGeometry(0, 0, fw, fh);
    其他收支框架->setGeometry(0, 0, fw - 其他图片库右一->width() - 1,
                              fh - 其他图片框->height() - 4);
    below(其他收支框架, 其他图片框, 3, fw - 其他图片库右一->width() - 6);
    其他图片库右一->move(其他收支框架->width(), 其他图片库右一->y());
    其他图片库右二->move(其他收支框架->width(), 其他图片库右一->height());
    图片框2->move((fw - 图片框2->width()) / 2, (fh - 图片框2->height()) / 2);
    关于文字->move(图片框2->x(), 图片框2->y() + 图片框2->height() + 8);
    PlaceCatalogueWindow(frameGeometry());
    if (RecordGrid* grid = StockGrid()) {
        grid->setGeometry(0, 0, 库管框架->width(), 库管框架->height());
        LayOutStockColumns();
    }
    if (RecordGrid* grid = SalesGrid()) {
        grid->setGeometry(0, 0, 销售框架->width(), 销售框架->height());
        LayOutSalesColumns();
    }
    if (RecordGrid* grid = OtherGrid()) {
        grid->setGeometry(0, 0, 其他收支框架->width(), 其他收支框架->height());
        LayOutOtherColumns();
    }
    if (RecordGrid* grid = BankGrid()) {
        grid->setGeometry(0, 0, 存款框架->width(), 存款框架->height());
        LayOutBankColumns();
    }
    if (RecordGrid* grid = SummaryGrid()) {
        grid->setGeometry(0, 0, fw, fh);
        LayOutSummaryColumns(20);
    }
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    PlaceCatalogueWindow(frameGeometry());
}

MainWindow* TheMainWindow() {
    return Instance().data();
}

MainWindow* OpenMainWindow() {
    MainWindow* window = Instance().data();
    if (window) {
        if (window->isMinimized()) window->showNormal();
        if (window->isVisible()) {
            window->raise();
            window->activateWindow();
        }
        return window;
    }
    window = new MainWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    Instance() = window;
    window->OnCreated();
    window->show();
    return window;
}
