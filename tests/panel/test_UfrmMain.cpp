#include "UfrmMain.h"

#include "Fakes.h"
#include "PanelRun.h"
#include "TestApplication.h"
#include "UFileUtil.h"
#include "UNoteFiles.h"
#include "URandom.h"
#include "UScreenFunctions.h"
#include "UVornApp.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(PanelLayout, WindowTabsAndButtons) {
    Panel run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    EXPECT_EQ(main.size(), QSize(402, 297));

    const char* tabs[][2] = {{"tabOptions", "常规选项"},
                             {"tabNetwork", "网络"},
                             {"tabNotes", "Vorn-Notes"},
                             {"tabAppearance", "外观"},
                             {"tabLog", "日志"}};
    ASSERT_EQ(main.pcMain->count(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(tabs[i][0]);
        EXPECT_EQ(main.pcMain->widget(i)->objectName(), QString::fromLatin1(tabs[i][0]));
        EXPECT_EQ(main.pcMain->tabText(i), QString::fromUtf8(tabs[i][1]));
    }
    EXPECT_EQ(main.pcMain->currentIndex(), 0);

    EXPECT_EQ(main.btnExit->text(), QStringLiteral("退出应用程序(&X)"));
    EXPECT_TRUE(main.btnExit->font().bold());
    EXPECT_EQ(main.btnExit->palette().color(QPalette::ButtonText), QColor(0x80, 0, 0));
    EXPECT_TRUE(main.btnExit->toolTip().isEmpty());
    EXPECT_EQ(main.btnHide->text(), QStringLiteral("隐藏控制面板(&H)"));
    EXPECT_TRUE(main.btnHide->font().bold());
    EXPECT_EQ(main.btnHide->palette().color(QPalette::ButtonText), QColor(Qt::black));
    EXPECT_EQ(main.btnHide->toolTip(), QStringLiteral("隐藏此控制面板并继续运行程序"));
    // the exit button at the left of the bottom bar, the hide button at its right
    EXPECT_LT(main.btnExit->geometry().right(), main.btnHide->geometry().left());
    EXPECT_EQ(main.btnHide->parentWidget()->height(), 33);
    EXPECT_GT(main.btnHide->mapTo(&main, QPoint(0, 0)).y(), main.pcMain->geometry().bottom());

    EXPECT_TRUE(main.memLog->isReadOnly());
    EXPECT_EQ(main.memLog->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(main.memLog->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(main.tabLog->isAncestorOf(main.memLog));
}

TEST(PanelLayout, ControlCaptionsAndPlaces) {
    Panel run;
    ASSERT_TRUE(run.started);
    const struct {
        const char* name;
        const char* caption;
        const char* group; // the group box holding it
        bool hidden;
    } rows[] = {
        {"chkStartup", "在Windows启动时启动应用程序", "gbApplication", false},
        {"chkConfirmDeletes", "删除 Notes 前确认", "gbApplication", false},
        {"chkRandomColor", "每个新的 Note 显示随机的颜色", "gbGraphics", false},
        {"chkWinXPShadow", "Notes 显示阴影（只有XP，需要重新启动）", "gbGraphics", false},
        {"chkShowReadOnly", "只读/指示器", "gbGraphics", false},
        {"chkShowOnTop", "保持最前面的指示器", "gbGraphics", false},
        {"btnFont", "更改默认字体", "gbGraphics", false},
        {"chkSnapGrid", "屏幕网格线对齐", "gbSnap", false},
        {"chkSnapEdges", "屏幕上的边缘对齐", "gbSnap", false},
        {"chkSnapNotes", "对齐到其他 Notes", "gbSnap", false},
        {"btnListen", "监听(&L)", "gbIdentity", false},
        {"btnStop", "停止(&S)", "gbIdentity", false},
        {"chkPlayWav1", "当一个 Vorn-Note 收到时播放这个WAV文件：", "gbNotice", false},
        {"btnWav1", "...", "gbNotice", false},
        {"chkPlayWav2", "当接到 Vorn-Note 聊天时播放这个 WAV 文件:-", "gbNotice", true},
        {"btnWav2", "...", "gbNotice", true},
        {"chkBringToFront", "将从网络收到的 Note 置于最前显示", "gbNotice", false},
        {"chkRemoveStayOnTop", "当属性窗口被激活时删除“StayOnTop”", "gbNotice", true},
        {"btnDesktopWallpaper", "桌面的壁纸最接近的颜色", "gpTop", false},
        {"btnDarker", "变暗", "gpTop", false},
        {"btnBrighter", "高亮", "gpTop", false},
        {"btnApplyGradient", "适用于所有 Notes 的渐变颜色", "gpGradients", false},
        {"btnRandomizeColors", "随机渐变", "gpGradients", false},
        {"btnGradientFromNotes", "从 Notes 渐变", "gpGradients", false},
        {"btnUpdate", "更新文本", "pnlNoteDetails", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto* button = run.Find<QAbstractButton>(row.name);
        auto* group = run.Find<QWidget>(row.group);
        ASSERT_TRUE(button && group);
        EXPECT_EQ(button->text(), QString::fromUtf8(row.caption));
        EXPECT_TRUE(group->isAncestorOf(button));
        EXPECT_EQ(button->isHidden(), row.hidden);
    }
    const char* groups[][3] = {{"gbApplication", " 应用程序设置 ", "tabOptions"},
                               {"gbGraphics", " 图形设置 ", "tabOptions"},
                               {"gbSnap", " 网格对齐 ", "tabOptions"},
                               {"gbGrid", " 网格设置 ", "tabOptions"},
                               {"gbIdentity", " 监听端口标识 ", "tabNetwork"},
                               {"gbNotice", " 通知 ", "tabNetwork"},
                               {"gpTop", " 颜色 ", "tabAppearance"},
                               {"gpGradients", " 渐变 ", "tabAppearance"}};
    for (const auto& row : groups) {
        SCOPED_TRACE(row[0]);
        auto* group = run.Find<QGroupBox>(row[0]);
        auto* page = run.Find<QWidget>(row[2]);
        ASSERT_TRUE(group && page);
        EXPECT_EQ(group->title(), QString::fromUtf8(row[1]));
        EXPECT_TRUE(page->isAncestorOf(group));
    }
    TfrmMain& main = run.Main();
    EXPECT_FALSE(main.btnStop->isEnabled());
    EXPECT_EQ(main.btnWav1->toolTip(), QStringLiteral("检查声音"));
    EXPECT_TRUE(main.edtWAV2->isHidden());
    EXPECT_TRUE(run.Find<QGroupBox>("gbGrid")->isAncestorOf(main.spnGridX));
    EXPECT_TRUE(run.Find<QGroupBox>("gbGrid")->isAncestorOf(main.spnGridY));
    EXPECT_TRUE(run.Find<QGroupBox>("gbApplication")->isAncestorOf(main.edtNotesTitle));
    EXPECT_TRUE(run.Find<QGroupBox>("gbIdentity")->isAncestorOf(main.edtIdentity));
    EXPECT_TRUE(run.Find<QGroupBox>("gbIdentity")->isAncestorOf(main.edtPort));
    EXPECT_EQ(main.pbGradient->size(), QSize(375, 35));
    EXPECT_TRUE(run.Find<QGroupBox>("gpGradients")->isAncestorOf(main.pbGradient));
    // the notes list, the splitter and the details pane on the notes tab
    EXPECT_TRUE(main.tabNotes->isAncestorOf(main.splNotes));
    EXPECT_EQ(main.splNotes->widget(0), main.lbNotes);
    EXPECT_EQ(main.splNotes->widget(1), main.pnlNoteDetails);
    main.pcMain->setCurrentWidget(main.tabNotes);
    EXPECT_EQ(main.lbNotes->width(), 91);
    for (QWidget* detail :
         std::initializer_list<QWidget*>{main.lblPos, main.lblSize, main.memContents})
        EXPECT_TRUE(main.pnlNoteDetails->isAncestorOf(detail));
    EXPECT_TRUE(main.lblPos->font().bold());
    EXPECT_EQ(main.memContents->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    std::set<QString> labels;
    for (const QLabel* label : main.findChildren<QLabel*>())
        labels.insert(label->text());
    for (const char* text : {"Notes标题:", "使用 $id$ 插入Note编号", "当最小化显示时:", "水平",
                             "垂直", "用户名:", "(无空格) ！", "监听端口:", "位置:", "尺寸:",
                             "在渐变单击选择使用颜色，渐变，然后单击应用按钮来绘制的所有 notes。"})
        EXPECT_EQ(labels.count(QString::fromUtf8(text)), 1u) << text;
}

TEST(PanelMenus, ItemsInOrder) {
    Panel run;
    ASSERT_TRUE(run.started);
    const auto names = [](const QMenu* menu) {
        std::vector<std::string> list;
        for (const QAction* action : menu->actions()) {
            if (action->isSeparator())
                list.push_back("-");
            else if (action->menu() != nullptr)
                list.push_back(action->menu()->objectName().toStdString());
            else
                list.push_back(action->objectName().toStdString());
        }
        return list;
    };
    using Names = std::vector<std::string>;
    const std::pair<const char*, Names> menus[] = {
        {"mmFile",
         {"cmHideControlPanel", "-", "cmCreateVornNote", "cmCreateVornChat", "-",
          "mmUndeleteVornNote", "mmOpenNotesFolderinWindowsExplorer", "-", "mmExit"}},
        {"mmSearch", {"cmFind", "cmReplace"}},
        {"mmArrange",
         {"cmMinimizeAll", "cmMaximizeAll", "-", "cmBringAllNotestoFront", "mmMinimizeAndGroup",
          "-", "cmShowLostNotes"}},
        {"mmMinimizeAndGroup",
         {"cmArrangeInaCluster", "cmArrangeHorizontally", "cmArrangeVertically"}},
        {"mmSettings", {"cmChooseTrayIcon"}},
        {"mmHelp", {"cmQuickHelp", "cmMakerHomepage", "-", "cmCheckforUpdates", "-", "cmAbout"}},
        {"pmTray",
         {"pmAppLabel", "-", "pmShowControlPanel", "pmChooseTrayIcon", "-", "pmCreateVornNote",
          "pmCreateVornChat", "pmSaveAllNotesnow", "-", "cmExit2"}},
    };
    for (const auto& [name, expected] : menus) {
        SCOPED_TRACE(name);
        const QMenu* menu = run.Find<QMenu>(name);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(names(menu), expected);
    }
    Names bar;
    for (const QAction* action : run.Main().mmMain->actions())
        bar.push_back(action->menu()->objectName().toStdString());
    EXPECT_EQ(bar, (Names{"mmFile", "mmSearch", "mmArrange", "mmSettings", "mmHelp"}));
    EXPECT_EQ(run.Main().TrayIcon->contextMenu(), run.Main().pmTray);
}

TEST(PanelMenus, CaptionsShortcutsAndHiddenItems) {
    Panel run;
    ASSERT_TRUE(run.started);
    const struct {
        const char* name;
        const char* caption;
        const char* shortcut;
        bool visible;
        bool enabled; // Qt reports every hidden action as disabled
    } rows[] = {
        {"cmHideControlPanel", "隐藏控制面板(&H)", "", true, true},
        {"cmCreateVornNote", "创建 Vorn-Note(&N)", "F4", true, true},
        {"cmCreateVornChat", "&创建 Vorn-Chat", "F6", false, false},
        {"mmUndeleteVornNote", "取消删除 VornNote", "", true, true},
        {"mmOpenNotesFolderinWindowsExplorer", "在 Windows 资源管理器中打开Notes文件夹", "", true,
         true},
        {"mmExit", "退出应用程序(&X)", "", true, true},
        {"cmFind", "查找(&F)...", "", true, true},
        {"cmReplace", "替换(&R)...", "", false, false},
        {"cmMinimizeAll", "最小化所有(&N)", "", true, true},
        {"cmMaximizeAll", "最大化所有(&X)", "", true, true},
        {"cmBringAllNotestoFront", "使所有 Notes 置顶(&B)", "", true, true},
        {"cmArrangeInaCluster", "在群集中(&C)", "", true, true},
        {"cmArrangeHorizontally", "水平(&H)", "", true, true},
        {"cmArrangeVertically", "垂直(&V)", "", true, true},
        {"cmShowLostNotes", "显示丢失的 Notes (&S)", "", true, true},
        {"cmChooseTrayIcon", "选择托盘图标(&C)", "", true, true},
        {"cmQuickHelp", "快速帮助（HTML）(&Q)", "", false, false},
        {"cmMakerHomepage", "Qwerl软件首页(&C)...", "", true, true},
        {"cmCheckforUpdates", "检查更新(&U)...", "", true, true},
        {"pmAppLabel", "Vorn v2.04b", "", true, false},
        {"pmShowControlPanel", "&显示控制面板", "F2", true, true},
        {"pmChooseTrayIcon", "选择任务栏图标(&I)...", "", true, true},
        {"pmCreateVornNote", "创建 Vorn-Note(&N)-", "", true, true},
        {"pmCreateVornChat", "&创建 Vorn-Chat", "", false, false},
        {"pmSaveAllNotesnow", "现在保存配置!(&S)", "", true, true},
        {"cmExit2", "退出应用程序(&X)", "", true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QAction* action = run.Find<QAction>(row.name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), QString::fromUtf8(row.caption));
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(row.shortcut)));
        EXPECT_EQ(action->isVisible(), row.visible);
        EXPECT_EQ(action->isEnabled(), row.enabled);
    }
    const QString about = run.Find<QAction>("cmAbout")->text();
    EXPECT_TRUE(about.contains(QStringLiteral("Vorn")));
    EXPECT_TRUE(about.contains(QStringLiteral("(&A)")));
    const auto titles = [&run](std::initializer_list<const char*> names) {
        std::vector<QString> list;
        for (const char* name : names)
            list.push_back(run.Find<QMenu>(name)->title());
        return list;
    };
    EXPECT_EQ(
        titles({"mmFile", "mmSearch", "mmArrange", "mmMinimizeAndGroup", "mmSettings", "mmHelp"}),
        (std::vector<QString>{QStringLiteral("文件(&F)"), QStringLiteral("搜索(&S)"),
                              QStringLiteral("排列(&A)"), QStringLiteral("最小化和组的所有 Notes"),
                              QStringLiteral("设置(&E)"), QStringLiteral("帮助(&H)")}));
}

TEST(PanelCommands, CarriedOutByTheProgram) {
    Panel run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();

    run.Find<QAction>("cmCreateVornNote")->trigger();
    run.Find<QAction>("pmCreateVornNote")->trigger();
    Q_EMIT main.TrayIcon->activated(QSystemTrayIcon::DoubleClick);
    ASSERT_EQ(main.Notes().size(), 3u);
    EXPECT_EQ(ReadFixture(NoteFileName(run.Folder.Path(), 3)), "");

    // the save command writes the index, not the settings
    const std::string before = ReadFixture(run.IndexPath());
    run.Find<QAction>("pmSaveAllNotesnow")->trigger();
    EXPECT_NE(ReadFixture(run.IndexPath()), before);
    EXPECT_NE(ReadFixture(run.IndexPath()).find("id=\"3\""), std::string::npos);
    EXPECT_EQ(ReadFixture(run.IniPath()), "[Strings]\r\nsIdentity=tester\r\n");

    run.Find<QAction>("cmReplace")->trigger();
    EXPECT_EQ(run.Prompt.Messages, std::vector<std::string>{"Feature not implemented yet!"});

    int exits = 0;
    // the program's own exit is disconnected so the test run goes on
    QObject::disconnect(&main, &TfrmMain::ExitRequested, nullptr, nullptr);
    QObject::connect(&main, &TfrmMain::ExitRequested, [&exits] { ++exits; });
    main.btnExit->click();
    run.Find<QAction>("mmExit")->trigger();
    run.Find<QAction>("cmExit2")->trigger();
    EXPECT_EQ(exits, 3);
    EXPECT_TRUE(run.Prompt.Errors.empty());
}

TEST(PanelCommands, ExitSavesEverything) {
    Panel run;
    ASSERT_TRUE(run.started);
    run.Main().chkRandomColor->setChecked(true);
    run.Main().btnExit->click();
    EXPECT_TRUE(run.Main().ClosingForReal);
    EXPECT_NE(ReadFixture(run.IniPath()).find("bRandomColor=1"), std::string::npos);
}

TEST(PanelPlace, HideRemembersAndShowReturns) {
    Panel run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    ASSERT_TRUE(main.isVisible()); // no tray on the test platform: shown at start
    main.MovePanel(200, 150);
    main.HideControlPanel();
    EXPECT_EQ(main.LastPanelX, 200);
    EXPECT_EQ(main.LastPanelY, 150);
    EXPECT_EQ(main.PanelPlace(), QPoint(8 * 1024, 150));
    EXPECT_FALSE(main.isVisible());

    main.ShowControlPanel();
    EXPECT_EQ(main.PanelPlace(), QPoint(200, 150));
    EXPECT_TRUE(main.isVisible());

    // from the tray menu as well
    main.HideControlPanel();
    run.Find<QAction>("pmShowControlPanel")->trigger();
    EXPECT_EQ(main.PanelPlace(), QPoint(200, 150));
}

TEST(PanelPlace, OffScreenPointGivesARandomPlaceOnThePrimaryScreen) {
    const struct {
        const char* what;
        bool hideTwice;     // hidden while already off screen
        bool removeMonitor; // the panel was on a second monitor that is gone
    } rows[] = {{"hidden twice", true, false}, {"monitor removed", false, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Panel run;
        ASSERT_TRUE(run.started);
        TfrmMain& main = run.Main();
        run.Screens.List.push_back({{1024, 0, 2048, 768}, {1024, 0, 2048, 768}});
        std::set<std::pair<int, int>> places;
        for (uint32_t seed = 1; seed <= 12; ++seed) {
            RandomSeed(seed);
            main.MovePanel(row.removeMonitor ? 1500 : 200, 150);
            main.HideControlPanel();
            if (row.hideTwice)
                main.HideControlPanel();
            if (row.removeMonitor)
                run.Screens.List.resize(1);
            main.ShowControlPanel();
            if (row.removeMonitor)
                run.Screens.List.push_back({{1024, 0, 2048, 768}, {1024, 0, 2048, 768}});
            EXPECT_GE(main.x(), 0);
            EXPECT_LE(main.x(), 1024 - 402 - 1);
            EXPECT_GE(main.y(), 0);
            EXPECT_LE(main.y(), 768 - 297 - 1);
            EXPECT_EQ(main.PanelPlace(), QPoint(main.LastPanelX, main.LastPanelY));
            places.insert({main.x(), main.y()});
        }
        EXPECT_GT(places.size(), 6u);
    }
}

TEST(PanelPlace, CloseRequestHidesAndSavesSettingsOnly) {
    Panel run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    TfrmNote* note = run.AddNote(50, 60);
    ASSERT_NE(note, nullptr);
    note->SetText("changed");
    note->SetModified(true);
    const std::string index = ReadFixture(run.IndexPath());
    main.MovePanel(220, 140);
    main.chkSnapNotes->setChecked(true);

    EXPECT_FALSE(main.close());
    EXPECT_FALSE(main.ClosingForReal);
    EXPECT_EQ(main.PanelPlace(), QPoint(8 * 1024, 140));
    const std::string ini = ReadFixture(run.IniPath());
    EXPECT_NE(ini.find("iLastX=220"), std::string::npos);
    EXPECT_NE(ini.find("iLastY=140"), std::string::npos);
    EXPECT_NE(ini.find("bSnapNotes=1"), std::string::npos);
    EXPECT_EQ(ReadFixture(run.IndexPath()), index);
    EXPECT_EQ(ReadFixture(NoteFileName(run.Folder.Path(), note->NoteId())), "text");
    EXPECT_TRUE(note->IsModified());

    // the hide command does the same
    main.ShowControlPanel();
    main.MovePanel(230, 130);
    run.Find<QAction>("cmHideControlPanel")->trigger();
    EXPECT_EQ(main.PanelPlace(), QPoint(8 * 1024, 130));
    EXPECT_NE(ReadFixture(run.IniPath()).find("iLastX=230"), std::string::npos);
    main.ShowControlPanel();
    main.MovePanel(240, 120);
    main.btnHide->click();
    EXPECT_NE(ReadFixture(run.IniPath()).find("iLastX=240"), std::string::npos);
    EXPECT_EQ(ReadFixture(run.IndexPath()), index);
}

TEST(PanelOptions, SnapBoxesExcludeGridSnapping) {
    Panel run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    QCheckBox* grid = main.chkSnapGrid;
    QCheckBox* edges = main.chkSnapEdges;
    QCheckBox* notes = main.chkSnapNotes;
    const struct {
        const char* what;
        std::vector<std::pair<QCheckBox*, bool>> steps;
        bool grid, edges, notes;
    } rows[] = {
        {"grid after both others",
         {{edges, true}, {notes, true}, {grid, true}},
         true,
         false,
         false},
        {"edges after grid",
         {{edges, true}, {notes, true}, {grid, true}, {edges, true}},
         false,
         true,
         false},
        {"notes after grid", {{grid, true}, {notes, true}}, false, false, true},
        {"edges and notes together", {{notes, true}, {edges, true}}, false, true, true},
        {"unchecking grid leaves the others", {{grid, true}, {grid, false}}, false, false, false},
        {"unchecking edges leaves notes",
         {{edges, true}, {notes, true}, {edges, false}},
         false,
         false,
         true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        for (QCheckBox* box : {grid, edges, notes})
            box->setChecked(false);
        for (const auto& [box, on] : row.steps)
            box->setChecked(on);
        EXPECT_EQ(grid->isChecked(), row.grid);
        EXPECT_EQ(edges->isChecked(), row.edges);
        EXPECT_EQ(notes->isChecked(), row.notes);
    }
}

TEST(PanelArrange, MinimizeRestoreAndLostNotes) {
    Panel run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    // with no notes nothing happens
    run.Find<QAction>("cmMinimizeAll")->trigger();
    run.Find<QAction>("cmShowLostNotes")->trigger();
    EXPECT_TRUE(main.Notes().empty());

    TfrmNote* a = run.AddNote(10, 10);
    TfrmNote* b = run.AddNote(300, 200);
    TfrmNote* c = run.AddNote(600, 400);
    ASSERT_TRUE(a && b && c);
    b->Minimize();
    run.Find<QAction>("cmMinimizeAll")->trigger();
    for (TfrmNote* note : {a, b, c}) {
        EXPECT_TRUE(note->IsMinimized());
        EXPECT_EQ(note->height(), TfrmNote::MinimizedSize);
    }
    a->Restore();
    run.Find<QAction>("cmMaximizeAll")->trigger();
    for (TfrmNote* note : {a, b, c}) {
        EXPECT_FALSE(note->IsMinimized());
        EXPECT_EQ(note->size(), QSize(128, 128));
    }

    const std::vector<TMonitor> monitors = run.Screens.Monitors();
    a->move(3000, 100);
    c->move(-500, -500);
    const QPoint stays = b->pos();
    const TPoint aPlace = MoveOntoScreen(monitors, {3000, 100, 3128, 228});
    run.Find<QAction>("cmShowLostNotes")->trigger();
    EXPECT_EQ(a->pos(), QPoint(aPlace.X, aPlace.Y));
    EXPECT_EQ(b->pos(), stays);
    for (TfrmNote* note : {a, b, c})
        EXPECT_TRUE(RectOnScreen(monitors, note->x(), note->y(), note->width(), note->height()));
}

// Two monitors side by side; then the right one is unplugged, or the left one shrinks. The
// screen signals only say that something changed; the monitors come from the fake.
TEST(PanelScreens, NotesAndPanelFollowTheMonitors) {
    const TMonitor left{{0, 0, 1024, 768}, {0, 0, 1024, 738}};
    const TMonitor right{{1024, 0, 2048, 768}, {1024, 0, 2048, 738}};
    const TMonitor smaller{{0, 0, 800, 600}, {0, 0, 800, 570}};
    struct Row {
        const char* what;
        std::vector<TMonitor> after;
        std::function<void()> signal;
        bool panelShown;
    };
    EnsureApplication();
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const std::vector<Row> rows{
        {"unplugged, panel shown",
         {left},
         [screen] { Q_EMIT qGuiApp->screenRemoved(screen); },
         true},
        {"unplugged, panel hidden",
         {left},
         [screen] { Q_EMIT screen->geometryChanged(screen->geometry()); },
         false},
        {"work area shrinks",
         {smaller},
         [screen] { Q_EMIT screen->availableGeometryChanged(screen->availableGeometry()); },
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Panel run;
        ASSERT_TRUE(run.started);
        TfrmMain& main = run.Main();
        run.Screens.List = {left, right};
        TfrmNote* stays = run.AddNote(100, 100);
        TfrmNote* onRight = run.AddNote(1500, 200);
        TfrmNote* corner = run.AddNote(700, 500); // off the smaller monitor only
        ASSERT_TRUE(stays && onRight && corner);
        main.MovePanel(1300, 300);
        main.show();
        if (!row.panelShown)
            main.HideControlPanel();

        run.Screens.List = row.after;
        row.signal();
        row.signal(); // one unplugging sends several signals
        QCoreApplication::processEvents();

        for (TfrmNote* note : {stays, onRight, corner})
            EXPECT_TRUE(
                RectOnScreen(row.after, note->x(), note->y(), note->width(), note->height()))
                << note->x() << "," << note->y();
        EXPECT_EQ(stays->pos(), QPoint(100, 100));
        const TMonitor& area = row.after.front();
        if (row.after.front().Bounds.Right == 1024) {
            EXPECT_EQ(onRight->pos(), QPoint(1024 - 128, 200)); // the nearest work area
            EXPECT_EQ(corner->pos(), QPoint(700, 500));
        } else {
            EXPECT_EQ(corner->pos(), QPoint(800 - 128, 570 - 128));
        }
        EXPECT_EQ(main.isVisible(), row.panelShown);
        if (row.panelShown) {
            // wholly on the work area, frame and all, against its right edge, and remembered
            const QRect frame = main.frameGeometry();
            EXPECT_TRUE(
                RectOnScreen(row.after, frame.x(), frame.y(), frame.width(), frame.height()));
            EXPECT_EQ(frame.x() + frame.width(), area.WorkArea.Right);
            EXPECT_EQ(QPoint(main.LastPanelX, main.LastPanelY), main.PanelPlace());
        } else {
            const QPoint centre((area.Bounds.Right - main.width()) / 2,
                                (area.Bounds.Bottom - main.height()) / 2);
            EXPECT_EQ(QPoint(main.LastPanelX, main.LastPanelY), centre);
        }
    }
}

TEST(PanelTray, HintMenuAndIcon) {
    Panel run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    EXPECT_EQ(main.TrayIcon->toolTip(), QStringLiteral("Vorn v2.04b"));
    EXPECT_FALSE(main.pmAppLabel->isEnabled());

    const auto pixel = [&main](int x, int y) {
        return main.TrayIcon->icon().pixmap(16, 16).toImage().pixelColor(x, y);
    };
    const QColor builtInBody = pixel(8, 10);
    EXPECT_GT(builtInBody.red(), 200); // yellow
    EXPECT_GT(builtInBody.green(), 200);
    EXPECT_LT(builtInBody.blue(), 150);
    EXPECT_LT(pixel(8, 2).value(), builtInBody.value()); // the darker title strip

    const std::string file = run.Folder.File("tray.png");
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(QColor(255, 0, 0));
    ASSERT_TRUE(red.save(QString::fromStdString(file)));
    main.TrayIconFile = file;
    main.ApplyTrayIcon();
    EXPECT_EQ(pixel(8, 10), QColor(255, 0, 0));

    main.TrayIconFile = run.Folder.File("missing.png");
    main.ApplyTrayIcon();
    EXPECT_EQ(pixel(8, 10), builtInBody);
}

// Counts the paint events of each note's title bar.
class TitlePaints : public QObject {
public:
    explicit TitlePaints(const std::vector<TfrmNote*>& notes) {
        for (TfrmNote* note : notes) {
            QWidget* title = note->findChild<QWidget*>(QStringLiteral("pb"));
            title->installEventFilter(this);
            Titles_.push_back(title);
        }
    }
    std::vector<bool> Painted() const {
        std::vector<bool> painted;
        for (QWidget* title : Titles_)
            painted.push_back(Painted_.count(title) > 0);
        return painted;
    }
    void Clear() { Painted_.clear(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            Painted_.insert(watched);
        return false;
    }

private:
    std::vector<QWidget*> Titles_;
    std::set<QObject*> Painted_;
};

TEST(PanelOptions, TitleEditRepaintsEveryNoteAndIndicatorBoxesTheRolledUpOnes) {
    Panel run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    TfrmNote* open = run.AddNote(10, 10);
    TfrmNote* rolled = run.AddNote(300, 10);
    ASSERT_TRUE(open && rolled);
    rolled->Minimize();
    QCoreApplication::processEvents(); // the windows are exposed
    TitlePaints paints({open, rolled});
    const struct {
        const char* what;
        std::function<void()> change;
        std::vector<bool> painted;
    } rows[] = {
        {"title template",
         [&] { main.edtNotesTitle->setText(QStringLiteral("Note $id$")); },
         {true, true}},
        {"read-only marks", [&] { main.chkShowReadOnly->toggle(); }, {false, true}},
        {"stay-on-top marks", [&] { main.chkShowOnTop->toggle(); }, {false, true}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        paints.Clear();
        row.change();
        EXPECT_EQ(paints.Painted(), row.painted);
    }
    EXPECT_EQ(open->TitleText(), QStringLiteral("Note %1").arg(open->NoteId()));
}

TEST(PanelOptions, StartupBoxWritesAndRemovesTheAutostartEntry) {
    const std::string ini = "[Strings]\r\nsIdentity=tester\r\n[Booleans]\r\nbStartup=1\r\n";
    Panel run(ini);
    ASSERT_TRUE(run.started);
    const std::string entry = run.Autostart.File("vorn.desktop");
    // written at the start because the setting is on
    const std::string text = ReadFixture(entry);
    EXPECT_NE(text.find("Exec=" + QCoreApplication::applicationFilePath().toStdString()),
              std::string::npos);
    EXPECT_NE(text.find("Comment=Vorn - Qwerl Software"), std::string::npos);

    run.Main().chkStartup->setChecked(false);
    EXPECT_FALSE(FileExists(entry));
    run.Main().chkStartup->setChecked(true);
    EXPECT_TRUE(FileExists(entry));
    ASSERT_TRUE(QFile::remove(QString::fromStdString(entry)));
    run.Main().chkStartup->setChecked(false); // nothing to remove
    EXPECT_FALSE(FileExists(entry));
    EXPECT_TRUE(run.Prompt.Errors.empty());
}

TEST(PanelCommands, FolderHelpAndWebPages) {
    Panel run;
    ASSERT_TRUE(run.started);
    const std::string notes = run.Folder.Path() + "vornnotes";
    run.Find<QAction>("mmOpenNotesFolderinWindowsExplorer")->trigger();
    run.Find<QAction>("cmQuickHelp")->trigger();
    run.Find<QAction>("cmMakerHomepage")->trigger();
    run.Find<QAction>("cmCheckforUpdates")->trigger();
    ASSERT_EQ(run.Desktop.Opened.size(), 4u);
    EXPECT_EQ(run.Desktop.Opened[0], notes);
    EXPECT_EQ(run.Desktop.Opened[1], run.Folder.Path() + "help/index.html");
    EXPECT_EQ(run.Desktop.Opened[3], run.Desktop.Opened[2] + "utils_2.asp?version=v2.04b");
    EXPECT_TRUE(run.Prompt.Messages.empty());

    // only the folder's failure is reported
    run.Desktop.Succeeds = false;
    for (const char* item :
         {"mmOpenNotesFolderinWindowsExplorer", "cmMakerHomepage", "cmCheckforUpdates"})
        run.Find<QAction>(item)->trigger();
    EXPECT_EQ(run.Prompt.Messages,
              std::vector<std::string>{"Cannot open Folder \"" + notes + "\""});
}

TEST(PanelTray, ChosenIconIsShownAndStoredUnlessItCannotBeLoaded) {
    Panel run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    const auto pixel = [&main] {
        return main.TrayIcon->icon().pixmap(16, 16).toImage().pixelColor(8, 10);
    };
    const QColor builtIn = pixel();
    EXPECT_EQ(main.IconFolder, run.Folder.Path() + "tray_icons");

    // cancelled
    run.Find<QAction>("cmChooseTrayIcon")->trigger();
    ASSERT_EQ(run.Dialogs.Opened.size(), 1u);
    EXPECT_EQ(run.Dialogs.Opened[0].InitialDir, run.Folder.Path() + "tray_icons");
    EXPECT_EQ(run.Dialogs.Opened[0].Filter, "图标文件 (*.ico)|*.ico|所有文件 (*.*)|*.*");
    EXPECT_EQ(run.Dialogs.Opened[0].DefaultExt, "ico");
    EXPECT_EQ(pixel(), builtIn);

    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(run.Folder.File("icons"))));
    const std::string bad = run.Folder.File("icons/broken.ico");
    WriteFixture(bad, "not an image");
    run.Dialogs.Files = {bad};
    run.Find<QAction>("pmChooseTrayIcon")->trigger();
    EXPECT_EQ(run.Prompt.Errors.size(), 1u);
    EXPECT_EQ(pixel(), builtIn);
    EXPECT_TRUE(main.TrayIconFile.empty());
    EXPECT_EQ(ReadFixture(run.IniPath()), "[Strings]\r\nsIdentity=tester\r\n");

    const std::string good = run.Folder.File("icons/green.png");
    QImage green(16, 16, QImage::Format_ARGB32);
    green.fill(QColor(0, 255, 0));
    ASSERT_TRUE(green.save(QString::fromStdString(good)));
    run.Dialogs.Files = {good};
    run.Find<QAction>("pmChooseTrayIcon")->trigger();
    EXPECT_EQ(pixel(), QColor(0, 255, 0));
    EXPECT_EQ(main.TrayIconFile, good);
    EXPECT_EQ(main.IconFolder, run.Folder.File("icons/"));
    const std::string saved = ReadFixture(run.IniPath());
    EXPECT_NE(saved.find("sTrayIcon=" + good), std::string::npos);
    EXPECT_NE(saved.find("sICODir=" + run.Folder.File("icons/")), std::string::npos);
}

TEST(PanelOptions, DefaultFontFromTheFontDialog) {
    Panel run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    EXPECT_EQ(main.lblFont->text(), QStringLiteral("MS Sans Serif 8pt"));
    main.btnFont->click(); // cancelled
    ASSERT_EQ(run.Dialogs.FontsShown.size(), 1u);
    EXPECT_EQ(run.Dialogs.FontsShown[0].Name, "MS Sans Serif");
    EXPECT_EQ(run.Dialogs.FontsShown[0].Size, 8);
    EXPECT_EQ(ReadFixture(run.IniPath()), "[Strings]\r\nsIdentity=tester\r\n");

    run.Dialogs.Fonts = {{"DejaVu Serif", 12, 0x0000FF}};
    main.btnFont->click();
    EXPECT_EQ(main.lblFont->text(), QStringLiteral("DejaVu Serif 12pt"));
    EXPECT_EQ(main.lblFont->font().pointSize(), 12);
    EXPECT_EQ(main.lblFont->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    const std::string saved = ReadFixture(run.IniPath());
    for (const char* line :
         {"sDefaultFontName=DejaVu Serif", "iDefaultFontSize=12", "iDefaultFontColor=255"})
        EXPECT_NE(saved.find(line), std::string::npos) << line;
    // notes made from now on use it
    TfrmNote* note = run.App->Factory().CreateNewNote("");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->BodyFont().pointSize(), 12);
    EXPECT_EQ(note->FontColor(), 0x0000FF);
}

} // namespace
