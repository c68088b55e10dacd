#include "UfrmMain.h"

#include "UAutostart.h"
#include "UColorSchemes.h"
#include "UConvert.h"
#include "UDateText.h"
#include "UFileUtil.h"
#include "UNetworkUtil.h"
#include "UNoteMessage.h"
#include "UNotesList.h"
#include "UNotesListModel.h"
#include "UProduct.h"
#include "UQtColors.h"
#include "UQtText.h"
#include "URandom.h"
#include "UScreenFunctions.h"
#include "USmtpClient.h"
#include "USystem.h"
#include "Udm.h"
#include "UfrmAbout.h"
#include "UfrmFind.h"
#include "UfrmSend.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString ToQ(const std::string& text) {
    return DecodeText(text);
}
std::string FromQ(const QString& text) {
    return EncodeText(text);
}

} // namespace

TfrmMain::TfrmMain(const TServices& services)
    : Services_(services), Ini_(services.Prompt, services.AppFolder),
      NotesModel_(new TNotesListModel(this)) {
    setObjectName(QStringLiteral("frmMain"));
    dlgOpen = {"导入文本文件", "Text Files (*.txt)|*.txt|All Files (*.*)|*.*", "txt", ""};
    dlgSave = {"导出文本文件", dlgOpen.Filter, "txt", ""};
    dlgOpenIcon = {"选择工具箱任务栏图标", "图标文件 (*.ico)|*.ico|所有文件 (*.*)|*.*", "ico", ""};
    setFixedSize(ClientWidth, ClientHeight);
    // A fixed window: no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    DeclareApplicationSettings(Ini_);

    const auto check = [this](const char* name) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    const auto edit = [this](const char* name) {
        auto* line = new QLineEdit(this);
        line->setObjectName(QString::fromLatin1(name));
        return line;
    };
    const auto spin = [this](const char* name) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(1, 1000); // the grid formulas divide by the spacing
        return box;
    };
    chkRandomColor = check("chkRandomColor");
    chkSnapGrid = check("chkSnapGrid");
    chkSnapEdges = check("chkSnapEdges");
    chkSnapNotes = check("chkSnapNotes");
    chkStartup = check("chkStartup");
    chkBringToFront = check("chkBringToFront");
    chkRemoveStayOnTop = check("chkRemoveStayOnTop");
    chkWinXPShadow = check("chkWinXPShadow");
    chkPlayWav1 = check("chkPlayWav1");
    chkPlayWav2 = check("chkPlayWav2");
    chkConfirmDeletes = check("chkConfirmDeletes");
    chkShowReadOnly = check("chkShowReadOnly");
    chkShowOnTop = check("chkShowOnTop");
    spnGridX = spin("spnGridX");
    spnGridY = spin("spnGridY");
    edtIdentity = edit("edtIdentity");
    edtWAV1 = edit("edtWAV1");
    edtWAV2 = edit("edtWAV2");
    edtNotesTitle = edit("edtNotesTitle");
    edtPort = edit("edtPort");
    edtPort->setText(QStringLiteral("56784"));
    lblFont = new QLabel(this);
    lblFont->setObjectName(QStringLiteral("lblFont"));
    btnListen = new QPushButton(this);
    btnListen->setObjectName(QStringLiteral("btnListen"));
    chkShowReadOnly->setChecked(true);
    chkShowOnTop->setChecked(true);
    const auto button = [this](const char* name, const QString& caption) {
        auto* push = new QPushButton(caption, this);
        push->setObjectName(QString::fromLatin1(name));
        return push;
    };
    btnListen->setText(QStringLiteral("监听(&L)"));
    btnStop = button("btnStop", QStringLiteral("停止(&S)"));
    btnStop->setEnabled(false);
    btnWav1 = button("btnWav1", QStringLiteral("..."));
    btnWav1->setToolTip(QStringLiteral("检查声音"));
    btnWav2 = button("btnWav2", QStringLiteral("..."));
    btnFont = button("btnFont", QStringLiteral("更改默认字体"));
    btnExit = button("btnExit", QStringLiteral("退出应用程序(&X)"));
    btnHide = button("btnHide", QStringLiteral("隐藏控制面板(&H)"));
    btnHide->setToolTip(QStringLiteral("隐藏此控制面板并继续运行程序"));

    QFont panelFont(QStringLiteral("WenQuanYi Micro Hei"));
    panelFont.setPointSize(8);
    setFont(panelFont);
    QFont bold = panelFont;
    bold.setBold(true);
    for (QPushButton* push : {btnExit, btnHide}) {
        push->setFont(bold);
        QPalette palette = push->palette();
        palette.setColor(QPalette::ButtonText, push == btnExit ? QColor(0x80, 0, 0) : Qt::black);
        push->setPalette(palette);
    }

    pcMain = new QTabWidget(this);
    pcMain->setObjectName(QStringLiteral("pcMain"));
    const auto tab = [this](const char* name, const QString& caption) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(name));
        pcMain->addTab(page, caption);
        return page;
    };
    tabOptions = tab("tabOptions", QStringLiteral("常规选项"));
    tabNetwork = tab("tabNetwork", QStringLiteral("网络"));
    tabNotes = tab("tabNotes", QStringLiteral("Vorn-Notes"));
    tabAppearance = tab("tabAppearance", QStringLiteral("外观"));
    tabLog = tab("tabLog", QStringLiteral("日志"));
    pcMain->setCurrentIndex(0);

    BuildOptionsTab();
    BuildNetworkTab();
    BuildNotesTab();
    BuildAppearanceTab();
    memLog = new QPlainTextEdit(tabLog);
    memLog->setObjectName(QStringLiteral("memLog"));
    memLog->setReadOnly(true);
    memLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    memLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* logLayout = new QVBoxLayout(tabLog);
    logLayout->setContentsMargins(2, 2, 2, 2);
    logLayout->addWidget(memLog);

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("pnlBottom"));
    bottom->setFixedHeight(33);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(4, 4, 4, 4);
    bottomLayout->addWidget(btnExit);
    bottomLayout->addStretch(1);
    bottomLayout->addWidget(btnHide);

    BuildMenus();
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->setMenuBar(mmMain);
    root->addWidget(pcMain, 1);
    root->addWidget(bottom);
    BuildTray();
    WatchScreens();

    Dm_ = std::make_unique<Tdm>(services.AppFolder);
    RunSendDialog = [](TfrmSend& dialog) { return dialog.exec() == QDialog::Accepted; };
    GrabDesktop = [this](const std::vector<QRect>& areas) {
        return GrabDesktopBehindWindows(areas);
    };
    timQueue = new QTimer(this);
    timQueue->setObjectName(QStringLiteral("timQueue"));
    timQueue->setInterval(2000);
    connect(timQueue, &QTimer::timeout, this, [this] { timQueueTimer(); });
    connect(btnListen, &QPushButton::clicked, this, [this] { btnListenClick(); });
    connect(btnStop, &QPushButton::clicked, this, [this] { btnStopClick(); });
    connect(btnWav1, &QPushButton::clicked, this, [this] { btnWav1Click(); });
    connect(btnExit, &QPushButton::clicked, this, [this] { Q_EMIT ExitRequested(); });
    connect(btnFont, &QPushButton::clicked, this, [this] { btnFontClick(); });
    connect(chkStartup, &QCheckBox::toggled, this, [this] { chkStartupClick(); });
    connect(btnHide, &QPushButton::clicked, this, [this] { HideCommand(); });
    connect(edtNotesTitle, &QLineEdit::textChanged, this, [this] { RepaintNotes(false); });
    connect(chkShowReadOnly, &QCheckBox::toggled, this, [this] { RepaintNotes(true); });
    connect(chkShowOnTop, &QCheckBox::toggled, this, [this] { RepaintNotes(true); });

    // Grid snapping excludes the other two kinds.
    connect(chkSnapGrid, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            chkSnapEdges->setChecked(false);
            chkSnapNotes->setChecked(false);
        }
    });
    for (QCheckBox* other : {chkSnapEdges, chkSnapNotes}) {
        connect(other, &QCheckBox::toggled, this, [this](bool on) {
            if (on)
                chkSnapGrid->setChecked(false);
        });
    }
}

TfrmMain::~TfrmMain() = default;

std::string NoteLimitMessage() {
    return "Cannot create more than " + std::to_string(MaxNoteWindows) + " windows.";
}

void TfrmMain::BuildOptionsTab() {
    const auto group = [this](const char* name, const QString& caption) {
        auto* box = new QGroupBox(caption, tabOptions);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    const auto add = [](QLayout* layout, QWidget* widget, const QString& caption) {
        if (auto* box = qobject_cast<QCheckBox*>(widget))
            box->setText(caption);
        layout->addWidget(widget);
    };

    const auto tight = [](QLayout* layout) {
        layout->setContentsMargins(6, 2, 6, 3);
        layout->setSpacing(0);
    };

    QGroupBox* gbApplication = group("gbApplication", QStringLiteral(" 应用程序设置 "));
    auto* application = new QVBoxLayout(gbApplication);
    tight(application);
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(new QLabel(QStringLiteral("Notes标题:"), gbApplication));
    titleRow->addWidget(edtNotesTitle, 1);
    application->addLayout(titleRow);
    auto* hint = new QLabel(QStringLiteral("使用 $id$ 插入Note编号"), gbApplication);
    hint->setObjectName(QStringLiteral("lblTitleHint"));
    QPalette grey = hint->palette();
    grey.setColor(QPalette::WindowText, Qt::gray);
    hint->setPalette(grey);
    application->addWidget(hint);
    add(application, chkStartup, QStringLiteral("在Windows启动时启动应用程序"));
    add(application, chkConfirmDeletes, QStringLiteral("删除 Notes 前确认"));

    QGroupBox* gbGraphics = group("gbGraphics", QStringLiteral(" 图形设置 "));
    auto* graphics = new QGridLayout(gbGraphics);
    tight(graphics);
    graphics->addWidget(chkRandomColor, 0, 0);
    chkRandomColor->setText(QStringLiteral("每个新的 Note 显示随机的颜色"));
    graphics->addWidget(chkWinXPShadow, 1, 0);
    chkWinXPShadow->setText(QStringLiteral("Notes 显示阴影（只有XP，需要重新启动）"));
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(btnFont);
    fontRow->addWidget(lblFont, 1);
    graphics->addLayout(fontRow, 2, 0);
    graphics->addWidget(new QLabel(QStringLiteral("当最小化显示时:"), gbGraphics), 0, 1);
    graphics->addWidget(chkShowReadOnly, 1, 1);
    chkShowReadOnly->setText(QStringLiteral("只读/指示器"));
    graphics->addWidget(chkShowOnTop, 2, 1);
    chkShowOnTop->setText(QStringLiteral("保持最前面的指示器"));
    graphics->setColumnStretch(0, 1);

    QGroupBox* gbSnap = group("gbSnap", QStringLiteral(" 网格对齐 "));
    auto* snap = new QVBoxLayout(gbSnap);
    tight(snap);
    add(snap, chkSnapGrid, QStringLiteral("屏幕网格线对齐"));
    add(snap, chkSnapEdges, QStringLiteral("屏幕上的边缘对齐"));
    add(snap, chkSnapNotes, QStringLiteral("对齐到其他 Notes"));

    QGroupBox* gbGrid = group("gbGrid", QStringLiteral(" 网格设置 "));
    auto* grid = new QHBoxLayout(gbGrid);
    tight(grid);
    grid->addWidget(new QLabel(QStringLiteral("水平"), gbGrid));
    grid->addWidget(spnGridX, 1);
    grid->addWidget(new QLabel(QStringLiteral("垂直"), gbGrid));
    grid->addWidget(spnGridY, 1);

    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    right->addWidget(gbSnap);
    right->addWidget(gbGrid);
    auto* page = new QGridLayout(tabOptions);
    page->setContentsMargins(3, 3, 3, 3);
    page->setSpacing(2);
    page->addWidget(gbApplication, 0, 0);
    page->addLayout(right, 0, 1);
    page->addWidget(gbGraphics, 1, 0, 1, 2);
    page->setColumnStretch(0, 3);
    page->setColumnStretch(1, 2);
}

void TfrmMain::BuildNetworkTab() {
    auto* gbIdentity = new QGroupBox(QStringLiteral(" 监听端口标识 "), tabNetwork);
    gbIdentity->setObjectName(QStringLiteral("gbIdentity"));
    auto* identity = new QGridLayout(gbIdentity);
    identity->addWidget(new QLabel(QStringLiteral("用户名:"), gbIdentity), 0, 0);
    identity->addWidget(edtIdentity, 0, 1, 1, 2);
    identity->addWidget(new QLabel(QStringLiteral("(无空格) ！"), gbIdentity), 0, 3);
    identity->addWidget(new QLabel(QStringLiteral("监听端口:"), gbIdentity), 1, 0);
    edtPort->setFixedWidth(60);
    identity->addWidget(edtPort, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnListen);
    buttons->addWidget(btnStop);
    identity->addLayout(buttons, 1, 2, 1, 2);

    auto* gbNotice = new QGroupBox(QStringLiteral(" 通知 "), tabNetwork);
    gbNotice->setObjectName(QStringLiteral("gbNotice"));
    auto* notice = new QVBoxLayout(gbNotice);
    notice->setSpacing(2);
    const auto soundRow = [notice](QCheckBox* box, const QString& caption, QLineEdit* file,
                                   QPushButton* browse) {
        box->setText(caption);
        notice->addWidget(box);
        auto* row = new QHBoxLayout;
        row->addWidget(file, 1);
        browse->setFixedWidth(24);
        row->addWidget(browse);
        notice->addLayout(row);
    };
    soundRow(chkPlayWav1, QStringLiteral("当一个 Vorn-Note 收到时播放这个WAV文件："), edtWAV1,
             btnWav1);
    soundRow(chkPlayWav2, QStringLiteral("当接到 Vorn-Note 聊天时播放这个 WAV 文件:-"), edtWAV2,
             btnWav2);
    for (QWidget* never : std::initializer_list<QWidget*>{chkPlayWav2, edtWAV2, btnWav2})
        never->hide();
    chkBringToFront->setText(QStringLiteral("将从网络收到的 Note 置于最前显示"));
    notice->addWidget(chkBringToFront);
    chkRemoveStayOnTop->setText(QStringLiteral("当属性窗口被激活时删除“StayOnTop”"));
    auto* indented = new QHBoxLayout;
    indented->addSpacing(16);
    indented->addWidget(chkRemoveStayOnTop);
    notice->addLayout(indented);
    chkRemoveStayOnTop->hide();
    notice->addStretch(1);

    auto* page = new QVBoxLayout(tabNetwork);
    page->setContentsMargins(4, 4, 4, 4);
    page->addWidget(gbIdentity);
    page->addWidget(gbNotice, 1);
}

void TfrmMain::BuildNotesTab() {
    lbNotes = new QListView;
    lbNotes->setObjectName(QStringLiteral("lbNotes"));
    lbNotes->setModel(NotesModel_);
    lbNotes->setItemDelegate(new TNotesListDelegate(*NotesModel_, lbNotes));
    lbNotes->setUniformItemSizes(true);
    lbNotes->setSelectionMode(QAbstractItemView::SingleSelection);
    lbNotes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lbNotes->setContextMenuPolicy(Qt::CustomContextMenu);

    pnlNoteDetails = new QFrame;
    pnlNoteDetails->setObjectName(QStringLiteral("pnlNoteDetails"));
    static_cast<QFrame*>(pnlNoteDetails)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    const auto value = [this](const char* name) {
        auto* label = new QLabel(QStringLiteral("..."), pnlNoteDetails);
        label->setObjectName(QString::fromLatin1(name));
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        return label;
    };
    lblPos = value("lblPos");
    lblSize = value("lblSize");
    btnUpdate = new QPushButton(QStringLiteral("更新文本"), pnlNoteDetails);
    btnUpdate->setObjectName(QStringLiteral("btnUpdate"));
    btnUpdate->setEnabled(false);
    memContents = new QPlainTextEdit(pnlNoteDetails);
    memContents->setObjectName(QStringLiteral("memContents"));
    memContents->setLineWrapMode(QPlainTextEdit::NoWrap);
    memContents->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memContents->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* strip = new QGridLayout;
    strip->setContentsMargins(4, 2, 4, 2);
    strip->setVerticalSpacing(0);
    strip->addWidget(new QLabel(QStringLiteral("位置:"), pnlNoteDetails), 0, 0);
    strip->addWidget(lblPos, 0, 1);
    strip->addWidget(new QLabel(QStringLiteral("尺寸:"), pnlNoteDetails), 1, 0);
    strip->addWidget(lblSize, 1, 1);
    strip->setColumnStretch(1, 1);
    strip->addWidget(btnUpdate, 0, 2, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
    auto* details = new QVBoxLayout(pnlNoteDetails);
    details->setContentsMargins(1, 1, 1, 1);
    details->setSpacing(0);
    details->addLayout(strip);
    details->addWidget(memContents, 1);

    splNotes = new QSplitter(Qt::Horizontal, tabNotes);
    splNotes->setObjectName(QStringLiteral("splNotes"));
    splNotes->setChildrenCollapsible(false);
    splNotes->addWidget(lbNotes);
    splNotes->addWidget(pnlNoteDetails);
    splNotes->setStretchFactor(1, 1);
    splNotes->setSizes({91, ClientWidth - 91});
    auto* page = new QVBoxLayout(tabNotes);
    page->setContentsMargins(2, 2, 2, 2);
    page->addWidget(splNotes);

    ppmNotes = new QMenu(this);
    ppmNotes->setObjectName(QStringLiteral("ppmNotes"));
    const auto item = [this](const char* name, const QString& caption) {
        QAction* action = ppmNotes->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    cmSendNoteOverNetwork =
        item("cmSendNoteOverNetwork", QStringLiteral("通过网络发送这个 Vorn-Note (&S)..."));
    cmSendNoteOverNetwork->setVisible(false);
    cmSendNoteOverNetwork->setEnabled(false);
    ppmNotes->addSeparator()->setVisible(false);
    ppmMinimize = item("ppmMinimize", QStringLiteral("最&小化"));
    ppmMaximize = item("ppmMaximize", QStringLiteral("最&大化"));
    ppmNotes->addSeparator();
    ppmDelete = item("ppmDelete", QStringLiteral("删除这个便笺(&D)"));

    connect(lbNotes->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ShowNoteDetails(); });
    connect(lbNotes, &QWidget::customContextMenuRequested, this, [this](const QPoint& point) {
        lbNotesRightClick(point);
        ppmNotes->popup(lbNotes->viewport()->mapToGlobal(point));
    });
    connect(btnUpdate, &QPushButton::clicked, this, [this] { btnUpdateClick(); });
    // The popup's commands act on the selected note, and on nothing without a selection.
    const auto onSelected = [this](auto command) {
        return [this, command] {
            if (TfrmNote* note = SelectedNote())
                RunReported(Services_.Prompt, [&] { command(*note); });
        };
    };
    connect(ppmMinimize, &QAction::triggered, this, onSelected([this](TfrmNote& note) {
                if (!note.IsMinimized())
                    note.Minimize();
                ShowNoteDetails();
            }));
    connect(ppmMaximize, &QAction::triggered, this, onSelected([this](TfrmNote& note) {
                if (note.IsMinimized())
                    note.Restore();
                ShowNoteDetails();
            }));
    connect(ppmDelete, &QAction::triggered, this,
            onSelected([](TfrmNote& note) { note.pmDeleteClick(); }));
}

void TfrmMain::BuildAppearanceTab() {
    const auto button = [this](QWidget* parent, const char* name, const QString& caption) {
        auto* push = new QPushButton(caption, parent);
        push->setObjectName(QString::fromLatin1(name));
        return push;
    };
    auto* gpTop = new QGroupBox(QStringLiteral(" 颜色 "), tabAppearance);
    gpTop->setObjectName(QStringLiteral("gpTop"));
    btnDesktopWallpaper =
        button(gpTop, "btnDesktopWallpaper", QStringLiteral("桌面的壁纸最接近的颜色"));
    btnDarker = button(gpTop, "btnDarker", QStringLiteral("变暗"));
    btnBrighter = button(gpTop, "btnBrighter", QStringLiteral("高亮"));
    auto* top = new QHBoxLayout(gpTop);
    top->addWidget(btnDesktopWallpaper, 1);
    top->addWidget(btnDarker);
    top->addWidget(btnBrighter);

    auto* gpGradients = new QGroupBox(QStringLiteral(" 渐变 "), tabAppearance);
    gpGradients->setObjectName(QStringLiteral("gpGradients"));
    auto* bevel = new QFrame(gpGradients);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pbGradient = new QWidget(bevel);
    pbGradient->setObjectName(QStringLiteral("pbGradient"));
    pbGradient->setFixedSize(375, 35);
    auto* strip = new QHBoxLayout(bevel);
    strip->setContentsMargins(1, 1, 1, 1);
    strip->addWidget(pbGradient);
    btnApplyGradient =
        button(gpGradients, "btnApplyGradient", QStringLiteral("适用于所有 Notes 的渐变颜色"));
    btnRandomizeColors = button(gpGradients, "btnRandomizeColors", QStringLiteral("随机渐变"));
    btnGradientFromNotes =
        button(gpGradients, "btnGradientFromNotes", QStringLiteral("从 Notes 渐变"));
    auto* hint = new QLabel(
        QStringLiteral("在渐变单击选择使用颜色，渐变，然后单击应用按钮来绘制的所有 notes。"),
        gpGradients);
    hint->setWordWrap(true);
    auto* gradients = new QGridLayout(gpGradients);
    gradients->addWidget(bevel, 0, 0, 1, 2, Qt::AlignHCenter);
    gradients->addWidget(btnApplyGradient, 1, 0, Qt::AlignLeft);
    gradients->addWidget(btnRandomizeColors, 1, 1, Qt::AlignRight);
    gradients->addWidget(hint, 2, 0);
    gradients->addWidget(btnGradientFromNotes, 2, 1, Qt::AlignRight | Qt::AlignTop);
    gradients->setColumnStretch(0, 1);

    auto* page = new QVBoxLayout(tabAppearance);
    page->setContentsMargins(4, 4, 4, 4);
    page->addWidget(gpTop);
    page->addWidget(gpGradients);
    page->addStretch(1);

    // The strip is painted column by column on every paint, without a buffer of its own.
    pbGradient->setAttribute(Qt::WA_OpaquePaintEvent);
    pbGradient->installEventFilter(this);
    connect(pcMain, &QTabWidget::currentChanged, this, [this](int index) {
        if (pcMain->widget(index) == tabAppearance)
            pbGradient->update();
    });
    connect(btnApplyGradient, &QPushButton::clicked, this, [this] { btnApplyGradientClick(); });
    connect(btnRandomizeColors, &QPushButton::clicked, this, [this] { btnRandomizeColorsClick(); });
    connect(btnGradientFromNotes, &QPushButton::clicked, this,
            [this] { btnGradientFromNotesClick(); });
    connect(btnDesktopWallpaper, &QPushButton::clicked, this,
            [this] { btnDesktopWallpaperClick(); });
    connect(btnDarker, &QPushButton::clicked, this, [this] { btnDarkerClick(); });
    connect(btnBrighter, &QPushButton::clicked, this, [this] { btnBrighterClick(); });
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pbGradient) {
        if (event->type() == QEvent::Paint) {
            QPainter painter(pbGradient);
            DrawGradient(painter);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
            // A press on the strip may end anywhere; only a release over it chooses.
            if (pbGradient->rect().contains(point))
                pbGradientMouseUp(point.x());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::DrawGradient(QPainter& painter) const {
    const int height = pbGradient->height();
    const std::vector<TColor> columns =
        GradientPreviewColumns(GradientStart, GradientEnd, pbGradient->width());
    for (size_t i = 0; i < columns.size(); ++i) {
        const int x = static_cast<int>(i);
        painter.setPen(ToQColor(columns[i]));
        painter.drawLine(x, 0, x, height - 1);
    }
}

void TfrmMain::pbGradientMouseUp(int x) {
    TColor& end =
        GradientEndAt(x, pbGradient->width()) == TGradientEnd::Start ? GradientStart : GradientEnd;
    int32_t color = end;
    if (!Services_.Dialogs.ChooseColor(color))
        return;
    end = color;
    pbGradient->update();
}

void TfrmMain::ApplyGradient(TColor c1, TColor c2) {
    const std::vector<TfrmNote*> notes = Notes();
    if (notes.empty())
        return;
    const std::vector<TColor> colors = GradientColors(c1, c2, notes.size());
    for (size_t i = 0; i < notes.size(); ++i) {
        notes[i]->SetNoteColor(colors[i]);
        notes[i]->pbPaint();
        notes[i]->pbSizePaint();
    }
    ShowNoteDetails();
}

void TfrmMain::btnApplyGradientClick() {
    if (!Notes().empty())
        ApplyGradient(GradientStart, GradientEnd);
}

void TfrmMain::btnRandomizeColorsClick() {
    GradientStart = RandomColor();
    GradientEnd = RandomColor();
    pbGradient->update();
}

void TfrmMain::btnGradientFromNotesClick() {
    if (Notes().empty())
        return;
    GradientStart = Notes().front()->NoteColor();
    GradientEnd = Notes().back()->NoteColor();
    pbGradient->update();
}

QRect TfrmMain::DesktopColorArea(const TfrmNote& note) {
    const int height = note.IsMinimized() ? TfrmNote::MinimizedSize : TfrmNote::TitleHeight;
    // Notes have no frame: the window's place is that of its title bar.
    return {note.geometry().topLeft(), QSize(TfrmNote::MinimizedSize, height)};
}

void TfrmMain::TakeColorFrom(TfrmNote& note, const QImage& desktop) {
    if (desktop.isNull())
        return; // nothing to match: the note keeps its colour
    const QImage rgb = desktop.convertToFormat(QImage::Format_RGB888);
    const std::optional<TColor> average =
        AverageColor({rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine()});
    if (average)
        note.SetNoteColor(ShiftColor(*average, +40));
}

void TfrmMain::TakeDesktopColor(TfrmNote& note) {
    const std::vector<QImage> desktop = GrabDesktop({DesktopColorArea(note)});
    TakeColorFrom(note, desktop.empty() ? QImage() : desktop.front());
}

void TfrmMain::btnDesktopWallpaperClick() {
    const std::vector<TfrmNote*> notes = Notes();
    if (notes.empty())
        return;
    std::vector<QRect> areas;
    areas.reserve(notes.size());
    for (const TfrmNote* note : notes)
        areas.push_back(DesktopColorArea(*note));
    // One grab for all notes: they are moved out of the way only once.
    const std::vector<QImage> desktop = GrabDesktop(areas);
    for (size_t i = 0; i < notes.size(); ++i) {
        TakeColorFrom(*notes[i], i < desktop.size() ? desktop[i] : QImage());
        notes[i]->pbPaint();
        notes[i]->pbSizePaint();
    }
}

std::vector<QImage> TfrmMain::GrabDesktopBehindWindows(const std::vector<QRect>& areas) {
    // The screen shows the notes themselves, each over its own spot, and maybe the panel; the
    // desktop is what lies behind them, so they step aside while it is read.
    std::vector<QWidget*> hidden;
    const auto inTheWay = [&areas](const QRect& window) {
        return std::any_of(areas.begin(), areas.end(),
                           [&window](const QRect& area) { return window.intersects(area); });
    };
    for (TfrmNote* note : Notes()) {
        if (note->isVisible() && inTheWay(note->frameGeometry())) {
            hidden.push_back(note);
            note->hide();
        }
    }
    if (isVisible() && inTheWay(frameGeometry())) {
        hidden.push_back(this);
        hide();
    }
    if (!hidden.empty()) {
        // Long enough for the window system to draw what was behind them, and never longer.
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 250)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 25);
    }
    std::vector<QImage> images;
    images.reserve(areas.size());
    for (const QRect& area : areas) {
        QScreen* screen = QGuiApplication::screenAt(area.topLeft());
        if (screen == nullptr) {
            images.emplace_back();
            continue;
        }
        const QRect bounds = screen->geometry();
        const QRect inside = area.intersected(bounds);
        if (inside.isEmpty()) {
            images.emplace_back();
            continue;
        }
        images.push_back(screen
                             ->grabWindow(0, inside.x() - bounds.x(), inside.y() - bounds.y(),
                                          inside.width(), inside.height())
                             .toImage());
    }
    for (QWidget* window : hidden) {
        window->setAttribute(Qt::WA_ShowWithoutActivating, window != this);
        window->show();
    }
    if (std::find(hidden.begin(), hidden.end(), this) != hidden.end()) {
        raise();
        activateWindow();
    }
    return images;
}

void TfrmMain::ShiftNoteColors(int amount) {
    for (TfrmNote* note : Notes()) {
        note->SetNoteColor(ShiftColor(note->NoteColor(), amount));
        note->update();
    }
}

void TfrmMain::btnDarkerClick() {
    ShiftNoteColors(-5);
}

void TfrmMain::btnBrighterClick() {
    ShiftNoteColors(+5);
}

void TfrmMain::ArrangeNotes(TArrangement arrange) {
    // Rolling up saves modified texts; a note that cannot be saved stops the command before
    // anything moves.
    MinimizeAllNotes();
    const std::vector<TfrmNote*> notes = Notes();
    std::vector<TNotePlace> places;
    places.reserve(notes.size());
    for (const TfrmNote* note : notes)
        places.push_back({note->geometry().x(), note->geometry().y()});
    const TSnapSettings snap = SnapSettings();
    arrange(places, snap.Grid, snap.GridX, snap.GridY);
    for (size_t i = 0; i < notes.size(); ++i)
        notes[i]->move(places[i].Left, places[i].Top);
    ShowNoteDetails();
}

void TfrmMain::cmArrangeInaClusterClick() {
    ArrangeNotes(&ArrangeInCluster);
}

void TfrmMain::cmArrangeHorizontallyClick() {
    ArrangeNotes(&ArrangeHorizontally);
}

void TfrmMain::cmArrangeVerticallyClick() {
    ArrangeNotes(&ArrangeVertically);
}

void TfrmMain::BuildMenus() {
    mmMain = new QMenuBar(this);
    mmMain->setObjectName(QStringLiteral("mmMain"));
    const auto menu = [](QWidget* parent, const char* name, const QString& caption) {
        auto* popup = new QMenu(caption, parent);
        popup->setObjectName(QString::fromLatin1(name));
        return popup;
    };
    const auto item = [this](QMenu* popup, const char* name, const QString& caption,
                             const QKeySequence& key = QKeySequence()) {
        QAction* action = popup->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        return action;
    };
    const auto never = [](QAction* action) {
        action->setVisible(false);
        action->setEnabled(false);
    };
    const auto newNote = [this] { CreateNewNoteCommand(); };
    const auto reported = [this](void (TfrmMain::*command)()) {
        return [this, command] { RunReported(Services_.Prompt, [&] { (this->*command)(); }); };
    };
    const auto exit = [this] { Q_EMIT ExitRequested(); };

    QMenu* file = menu(mmMain, "mmFile", QStringLiteral("文件(&F)"));
    connect(item(file, "cmHideControlPanel", QStringLiteral("隐藏控制面板(&H)")),
            &QAction::triggered, this, [this] { HideCommand(); });
    file->addSeparator();
    cmCreateVornNote =
        item(file, "cmCreateVornNote", QStringLiteral("创建 Vorn-Note(&N)"), Qt::Key_F4);
    // F4 makes a note from every window of the program, the notes included; each note holds the
    // action too (RegisterNote), as a shortcut counts only while one of its widgets is visible.
    cmCreateVornNote->setShortcutContext(Qt::ApplicationShortcut);
    connect(cmCreateVornNote, &QAction::triggered, this, newNote);
    never(item(file, "cmCreateVornChat", QStringLiteral("&创建 Vorn-Chat"),
               QKeySequence(Qt::Key_F6)));
    file->addSeparator();
    connect(item(file, "mmUndeleteVornNote", QStringLiteral("取消删除 VornNote")),
            &QAction::triggered, this, reported(&TfrmMain::UndeleteCommand));
    connect(item(file, "mmOpenNotesFolderinWindowsExplorer",
                 QStringLiteral("在 Windows 资源管理器中打开Notes文件夹")),
            &QAction::triggered, this, [this] { OpenNotesFolder(); });
    file->addSeparator();
    connect(item(file, "mmExit", QStringLiteral("退出应用程序(&X)")), &QAction::triggered, this,
            exit);
    mmMain->addMenu(file);

    QMenu* search = menu(mmMain, "mmSearch", QStringLiteral("搜索(&S)"));
    connect(item(search, "cmFind", QStringLiteral("查找(&F)...")), &QAction::triggered, this,
            [this] { ShowFindDialog(); });
    QAction* replace = item(search, "cmReplace", QStringLiteral("替换(&R)..."));
    replace->setVisible(false);
    connect(replace, &QAction::triggered, this,
            [this] { Prompt().ShowMessage("Feature not implemented yet!"); });
    mmMain->addMenu(search);

    QMenu* arrange = menu(mmMain, "mmArrange", QStringLiteral("排列(&A)"));
    connect(item(arrange, "cmMinimizeAll", QStringLiteral("最小化所有(&N)")), &QAction::triggered,
            this, [this] { MinimizeAllNotes(); });
    connect(item(arrange, "cmMaximizeAll", QStringLiteral("最大化所有(&X)")), &QAction::triggered,
            this, [this] { RestoreAllNotes(); });
    arrange->addSeparator();
    connect(item(arrange, "cmBringAllNotestoFront", QStringLiteral("使所有 Notes 置顶(&B)")),
            &QAction::triggered, this, [this] { BringAllNotesToFront(); });
    QMenu* group = menu(arrange, "mmMinimizeAndGroup", QStringLiteral("最小化和组的所有 Notes"));
    connect(item(group, "cmArrangeInaCluster", QStringLiteral("在群集中(&C)")), &QAction::triggered,
            this, reported(&TfrmMain::cmArrangeInaClusterClick));
    connect(item(group, "cmArrangeHorizontally", QStringLiteral("水平(&H)")), &QAction::triggered,
            this, reported(&TfrmMain::cmArrangeHorizontallyClick));
    connect(item(group, "cmArrangeVertically", QStringLiteral("垂直(&V)")), &QAction::triggered,
            this, reported(&TfrmMain::cmArrangeVerticallyClick));
    arrange->addMenu(group);
    arrange->addSeparator();
    connect(item(arrange, "cmShowLostNotes", QStringLiteral("显示丢失的 Notes (&S)")),
            &QAction::triggered, this, [this] { ShowLostNotes(); });
    mmMain->addMenu(arrange);

    QMenu* settings = menu(mmMain, "mmSettings", QStringLiteral("设置(&E)"));
    connect(item(settings, "cmChooseTrayIcon", QStringLiteral("选择托盘图标(&C)")),
            &QAction::triggered, this, reported(&TfrmMain::ChooseTrayIcon));
    mmMain->addMenu(settings);

    QMenu* help = menu(mmMain, "mmHelp", QStringLiteral("帮助(&H)"));
    // Failures to open a page are not worth a message: the user sees no browser come up.
    QAction* quickHelp = item(help, "cmQuickHelp", QStringLiteral("快速帮助（HTML）(&Q)"));
    quickHelp->setVisible(false);
    connect(quickHelp, &QAction::triggered, this,
            [this] { Services_.Desktop.OpenPath(Services_.AppFolder + "help/index.html"); });
    connect(item(help, "cmMakerHomepage", QStringLiteral("Qwerl软件首页(&C)...")),
            &QAction::triggered, this, [this] { Services_.Desktop.OpenUrl(HomePageUrl); });
    help->addSeparator();
    connect(item(help, "cmCheckforUpdates", QStringLiteral("检查更新(&U)...")), &QAction::triggered,
            this, [this] { Services_.Desktop.OpenUrl(UpdatePageUrl()); });
    help->addSeparator();
    connect(item(help, "cmAbout", QStringLiteral("关于 Vorn v2.04b 中文版(&A)...")),
            &QAction::triggered, this, [this] { ShowAbout(); });
    mmMain->addMenu(help);

    pmTray = menu(this, "pmTray", QString());
    pmAppLabel = item(pmTray, "pmAppLabel", QStringLiteral("Vorn v2.04b"));
    pmAppLabel->setEnabled(false);
    pmTray->addSeparator();
    connect(item(pmTray, "pmShowControlPanel", QStringLiteral("&显示控制面板"),
                 QKeySequence(Qt::Key_F2)),
            &QAction::triggered, this, [this] { ShowControlPanel(); });
    connect(item(pmTray, "pmChooseTrayIcon", QStringLiteral("选择任务栏图标(&I)...")),
            &QAction::triggered, this, reported(&TfrmMain::ChooseTrayIcon));
    pmTray->addSeparator();
    connect(item(pmTray, "pmCreateVornNote", QStringLiteral("创建 Vorn-Note(&N)-")),
            &QAction::triggered, this, newNote);
    never(item(pmTray, "pmCreateVornChat", QStringLiteral("&创建 Vorn-Chat")));
    connect(item(pmTray, "pmSaveAllNotesnow", QStringLiteral("现在保存配置!(&S)")),
            &QAction::triggered, this, reported(&TfrmMain::SaveAllNotesNow));
    pmTray->addSeparator();
    connect(item(pmTray, "cmExit2", QStringLiteral("退出应用程序(&X)")), &QAction::triggered, this,
            exit);
}

QIcon TfrmMain::BuiltInTrayIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(1, 1, 14, 14, QColor(0xFF, 0xF0, 0x60));
    painter.fillRect(1, 1, 14, 4, QColor(0xC8, 0xA8, 0x20));
    painter.setPen(QColor(0x80, 0x68, 0x10));
    painter.drawRect(1, 1, 13, 13);
    painter.end();
    return QIcon(pixmap);
}

void TfrmMain::BuildTray() {
    TrayIcon = new QSystemTrayIcon(this);
    TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    TrayIcon->setToolTip(QStringLiteral("Vorn v2.04b"));
    TrayIcon->setIcon(BuiltInTrayIcon());
    // The tray shows pmTray itself on a context click.
    TrayIcon->setContextMenu(pmTray);
    connect(TrayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                switch (reason) {
                case QSystemTrayIcon::Trigger:
                case QSystemTrayIcon::MiddleClick:
                case QSystemTrayIcon::Context: // the tray opens pmTray itself
                    BringAllNotesToFront();
                    raise();
                    activateWindow();
                    break;
                case QSystemTrayIcon::DoubleClick:
                    CreateNewNoteCommand();
                    break;
                default:
                    break;
                }
            });
    // A tray that comes up later (a session still starting) takes the icon then.
    TrayIcon->show();
}

void TfrmMain::ApplyTrayIcon() {
    QIcon icon;
    if (!TrayIconFile.empty() && FileExists(TrayIconFile))
        icon = QIcon(QString::fromStdString(TrayIconFile));
    TrayIcon->setIcon(icon.isNull() ? BuiltInTrayIcon() : icon);
}

void TfrmMain::RepaintNotes(bool minimizedOnly) {
    for (TfrmNote* note : Notes()) {
        if (!minimizedOnly || note->IsMinimized())
            note->pbPaint();
    }
}

// The panel's place is that of its client area. The window manager's frame is unknown while
// the panel is unmapped, and a place read with the frame but set without it would creep.
QPoint TfrmMain::PanelPlace() const {
    return geometry().topLeft();
}

void TfrmMain::MovePanel(int32_t left, int32_t top) {
    setGeometry(left, top, width(), height());
}

void TfrmMain::HideControlPanel() {
    LastPanelX = PanelPlace().x();
    LastPanelY = PanelPlace().y();
    MovePanel(8 * Services_.Screens.PrimaryScreenSize().Width, LastPanelY);
    // Window managers pull a window moved off the screens back onto their edge, so the panel
    // is also unmapped; its widgets, menus and settings live on.
    hide();
}

void TfrmMain::HideCommand() {
    HideControlPanel();
    RunReported(Services_.Prompt, [this] {
        StoreControlsToSettings();
        Ini_.Save();
    });
}

void TfrmMain::ShowControlPanel() {
    if (!PointOnScreen(Services_.Screens.Monitors(), LastPanelX, LastPanelY)) {
        const TScreenSize screen = Services_.Screens.PrimaryScreenSize();
        LastPanelX = RandomInt(screen.Width - width());
        LastPanelY = RandomInt(screen.Height - height());
    }
    MovePanel(LastPanelX, LastPanelY);
    if (!isVisible())
        show();
    raise();
    activateWindow();
}

void TfrmMain::BringAllNotesToFront() {
    const std::vector<TfrmNote*> notes = Notes();
    for (TfrmNote* note : notes) {
        note->raise();
        note->activateWindow();
    }
    raise();
    activateWindow();
}

void TfrmMain::MinimizeAllNotes() {
    const std::vector<TfrmNote*> notes = Notes();
    for (TfrmNote* note : notes) {
        if (!note->IsMinimized())
            note->Minimize();
    }
}

void TfrmMain::RestoreAllNotes() {
    const std::vector<TfrmNote*> notes = Notes();
    for (TfrmNote* note : notes) {
        if (note->IsMinimized())
            note->Restore();
    }
}

void TfrmMain::ShowLostNotes() {
    const std::vector<TMonitor> monitors = Services_.Screens.Monitors();
    for (TfrmNote* note : Notes())
        BringOntoScreen(*note, monitors);
}

void TfrmMain::KeepPanelPlaceOnScreen() {
    if (PointOnScreen(Services_.Screens.Monitors(), LastPanelX, LastPanelY))
        return;
    const TScreenSize screen = Services_.Screens.PrimaryScreenSize();
    LastPanelX = (screen.Width - width()) / 2;
    LastPanelY = (screen.Height - height()) / 2;
}

void TfrmMain::ScreensChanged() {
    ShowLostNotes();
    // A hidden panel waits off the monitors on purpose; only its remembered place matters. A
    // shown one comes wholly onto the nearest work area, frame and all, as a lost note does.
    if (isVisible()) {
        const std::vector<TMonitor> monitors = Services_.Screens.Monitors();
        const QRect frame = frameGeometry();
        if (!RectOnScreen(monitors, frame.x(), frame.y(), frame.width(), frame.height())) {
            const TPoint place =
                MoveOntoScreen(monitors, {frame.left(), frame.top(), frame.left() + frame.width(),
                                          frame.top() + frame.height()});
            const QPoint client = PanelPlace() + QPoint(place.X, place.Y) - frame.topLeft();
            MovePanel(client.x(), client.y());
        }
        LastPanelX = PanelPlace().x();
        LastPanelY = PanelPlace().y();
    }
    KeepPanelPlaceOnScreen();
}

void TfrmMain::WatchScreens() {
    // The screen list and work areas settle only after these signals, and one unplugging
    // sends several of them: the notes are looked at once, from the event loop.
    const auto changed = [this] {
        if (ScreensChangePending_)
            return;
        ScreensChangePending_ = true;
        QTimer::singleShot(0, this, [this] {
            ScreensChangePending_ = false;
            ScreensChanged();
        });
    };
    const auto watch = [this, changed](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, changed);
        connect(screen, &QScreen::availableGeometryChanged, this, changed);
    };
    for (QScreen* screen : QGuiApplication::screens())
        watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [watch, changed](QScreen* screen) {
        watch(screen);
        changed();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, changed);
}

TNoteDefaults TfrmMain::NoteDefaults() const {
    return ReadNoteDefaults(Ini_, Services_.Screens);
}

const std::vector<TfrmNote*>& TfrmMain::Notes() const {
    return NotesModel_->Notes();
}

void TfrmMain::RegisterNote(TfrmNote& note) {
    NotesModel_->Append(note);
    note.addAction(cmCreateVornNote); // F4 with the panel hidden behind the tray
    if (Store_ && !Store_->Contains(note.NoteId()))
        Store_->Add(note.NoteId(), note.CreateConfig());
}

void TfrmMain::UnregisterNote(int32_t id) {
    const auto found = std::find_if(Notes().begin(), Notes().end(),
                                    [id](const TfrmNote* note) { return note->NoteId() == id; });
    if (found != Notes().end())
        RemoveEntry(**found);
    ShowNoteDetails();
}

void TfrmMain::RemoveEntry(const TfrmNote& note) {
    // The view would move the selection to a neighbour of the removed entry; the list has no
    // selection then, as the details pane shows.
    const bool selected = SelectedNote() == &note;
    NotesModel_->Remove(note);
    if (selected)
        lbNotes->selectionModel()->clear();
}

void TfrmMain::UpdateNoteRecord(const TfrmNote& note) {
    if (!Store_)
        return;
    if (TNoteConfig* record = Store_->Get(note.NoteId()))
        note.FillConfig(*record);
}

void TfrmMain::UpdateAllNoteRecords() {
    for (const TfrmNote* note : Notes())
        UpdateNoteRecord(*note);
}

void TfrmMain::SaveModifiedNotes() {
    std::vector<TfrmNote*> notes;
    std::vector<TFileWrite> writes;
    for (TfrmNote* note : Notes()) {
        if (note->IsModified()) {
            notes.push_back(note);
            writes.push_back({NoteFileName(Services_.AppFolder, note->NoteId()), note->Text(), {}});
        }
    }
    if (writes.empty())
        return;
    WriteFilesAtomic(writes);
    // Exactly the notes whose files were written lose their mark; the first failure in list
    // order is reported.
    std::string failure;
    for (size_t i = 0; i < writes.size(); ++i) {
        if (writes[i].Error.empty())
            notes[i]->SetModified(false);
        else if (failure.empty())
            failure = writes[i].Error;
    }
    if (!failure.empty())
        throw Exception(failure);
}

void TfrmMain::ShowDefaultFont() {
    const std::string name = Ini_.GetString("sDefaultFontName");
    const int32_t size = Ini_.GetInteger("iDefaultFontSize");
    QFont font(ToQ(name));
    if (size > 0)
        font.setPointSize(size);
    lblFont->setFont(font);
    QPalette palette = lblFont->palette();
    palette.setColor(QPalette::WindowText, ToQColor(Ini_.GetInteger("iDefaultFontColor")));
    lblFont->setPalette(palette);
    lblFont->setText(ToQ(name + " " + std::to_string(size) + "pt"));
}

void TfrmMain::LoadSettingsToControls() {
    QDir().mkdir(QString::fromStdString(NotesFolder(Services_.AppFolder)));

    LastPanelX = Ini_.GetInteger("iLastX");
    LastPanelY = Ini_.GetInteger("iLastY");
    KeepPanelPlaceOnScreen();
    ShowDefaultFont();

    chkRandomColor->setChecked(Ini_.GetBoolean("bRandomColor"));
    chkSnapGrid->setChecked(Ini_.GetBoolean("bSnapGrid"));
    chkSnapEdges->setChecked(Ini_.GetBoolean("bSnapEdges"));
    chkSnapNotes->setChecked(Ini_.GetBoolean("bSnapNotes"));
    chkStartup->setChecked(Ini_.GetBoolean("bStartup"));
    chkBringToFront->setChecked(Ini_.GetBoolean("bBringToFront"));
    chkRemoveStayOnTop->setChecked(Ini_.GetBoolean("bRemoveStayOnTop"));
    chkWinXPShadow->setChecked(Ini_.GetBoolean("bWinXPShadow"));
    spnGridX->setValue(Ini_.GetInteger("iGridX"));
    spnGridY->setValue(Ini_.GetInteger("iGridY"));
    edtIdentity->setText(ToQ(Ini_.GetString("sIdentity")));
    edtWAV1->setText(ToQ(Ini_.GetString("sWAVFilename1")));
    edtWAV2->setText(ToQ(Ini_.GetString("sWAVFilename2")));
    chkPlayWav1->setChecked(Ini_.GetBoolean("bPlayWAV1"));
    chkPlayWav2->setChecked(Ini_.GetBoolean("bPlayWAV2"));
    LastSendAddress = Ini_.GetString("sLastSend");
    edtNotesTitle->setText(ToQ(Ini_.GetString("sNotesTitle")));
    edtPort->setText(ToQ(Ini_.GetString("sPort")));
    chkConfirmDeletes->setChecked(Ini_.GetBoolean("bConfirmDeletes"));
    chkShowReadOnly->setChecked(Ini_.GetBoolean("bShowReadOnly"));
    chkShowOnTop->setChecked(Ini_.GetBoolean("bShowOnTop"));
    IconFolder = Ini_.GetString("sICODir");
    if (IconFolder.empty())
        IconFolder = Services_.AppFolder + "tray_icons";
    TrayIconFile = Ini_.GetString("sTrayIcon");
    if (!TrayIconFile.empty() && !FileExists(TrayIconFile))
        TrayIconFile.clear();
    ApplyTrayIcon();
}

void TfrmMain::StoreControlsToSettings() {
    const QPoint place = PanelPlace();
    if (PointOnScreen(Services_.Screens.Monitors(), place.x(), place.y())) {
        LastPanelX = place.x();
        LastPanelY = place.y();
    }
    Ini_.SetInteger("iLastX", LastPanelX);
    Ini_.SetInteger("iLastY", LastPanelY);
    Ini_.SetBoolean("bRandomColor", chkRandomColor->isChecked());
    Ini_.SetBoolean("bSnapGrid", chkSnapGrid->isChecked());
    Ini_.SetBoolean("bSnapEdges", chkSnapEdges->isChecked());
    Ini_.SetBoolean("bSnapNotes", chkSnapNotes->isChecked());
    Ini_.SetBoolean("bStartup", chkStartup->isChecked());
    Ini_.SetBoolean("bBringToFront", chkBringToFront->isChecked());
    Ini_.SetBoolean("bRemoveStayOnTop", chkRemoveStayOnTop->isChecked());
    Ini_.SetBoolean("bWinXPShadow", chkWinXPShadow->isChecked());
    Ini_.SetInteger("iGridX", spnGridX->value());
    Ini_.SetInteger("iGridY", spnGridY->value());
    Ini_.SetString("sIdentity", FromQ(edtIdentity->text()));
    Ini_.SetString("sWAVFilename1", FromQ(edtWAV1->text()));
    Ini_.SetString("sWAVFilename2", FromQ(edtWAV2->text()));
    Ini_.SetBoolean("bPlayWAV1", chkPlayWav1->isChecked());
    Ini_.SetBoolean("bPlayWAV2", chkPlayWav2->isChecked());
    Ini_.SetString("sLastSend", LastSendAddress);
    Ini_.SetString("sICODir", IconFolder);
    Ini_.SetString("sTrayIcon", TrayIconFile);
    Ini_.SetString("sNotesTitle", FromQ(edtNotesTitle->text()));
    Ini_.SetString("sPort", FromQ(edtPort->text()));
    Ini_.SetBoolean("bNetworking", !btnListen->isEnabled());
    Ini_.SetBoolean("bConfirmDeletes", chkConfirmDeletes->isChecked());
    Ini_.SetBoolean("bShowReadOnly", chkShowReadOnly->isChecked());
    Ini_.SetBoolean("bShowOnTop", chkShowOnTop->isChecked());
}

void TfrmMain::SaveEverything() {
    SaveModifiedNotes();
    StoreControlsToSettings();
    Ini_.Save();
    UpdateAllNoteRecords();
    if (Store_)
        Store_->Save();
}

void TfrmMain::SaveAllNotesNow() {
    SaveModifiedNotes();
    UpdateAllNoteRecords();
    if (Store_)
        Store_->Save();
}

std::string TfrmMain::NotesTitle() const {
    return FromQ(edtNotesTitle->text());
}

bool TfrmMain::ShowReadOnlyMarks() const {
    return chkShowReadOnly->isChecked();
}

bool TfrmMain::ShowOnTopMarks() const {
    return chkShowOnTop->isChecked();
}

bool TfrmMain::ConfirmDeletes() const {
    return chkConfirmDeletes->isChecked();
}

TSnapSettings TfrmMain::SnapSettings() const {
    return {chkSnapGrid->isChecked(), chkSnapEdges->isChecked(), chkSnapNotes->isChecked(),
            spnGridX->value(), spnGridY->value()};
}

TScreenSnapper& TfrmMain::GetScreenSnapper() {
    if (!ScreenSnapper_) {
        ScreenSnapper_ = std::make_unique<TScreenSnapper>();
        ScreenSnapper_->Refresh(Services_.Screens.Monitors());
    }
    return *ScreenSnapper_;
}

int TfrmMain::GetBoxCount() const {
    return static_cast<int>(Notes().size());
}

TBox TfrmMain::GetBox(int index) const {
    const TfrmNote& note = *Notes()[static_cast<size_t>(index)];
    // Notes have no frame, so their geometry is their place; x() would work out a frame first,
    // which costs more than the snapping itself with a thousand notes.
    const QRect place = note.geometry();
    return {note.NoteId(), place.x(), place.y(), place.width(), place.height(), note.IsMinimized()};
}

void TfrmMain::MoveMinimizedNotes(int32_t dx, int32_t dy, int32_t id) {
    for (TfrmNote* note : Notes())
        if (note->IsMinimized() && note->NoteId() != id)
            note->move(note->x() + dx, note->y() + dy);
}

void TfrmMain::NoteClosed(TfrmNote& note) {
    NoteDestroyed(note);
}

void TfrmMain::NoteDestroyed(TfrmNote& note) {
    // A window that never made it into the registry has no state worth keeping.
    if (std::find(Notes().begin(), Notes().end(), &note) == Notes().end())
        return;
    UpdateNoteRecord(note);
    RemoveEntry(note);
    ShowNoteDetails();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (!ClosingForReal) {
        event->ignore(); // only the exit command ends the program
        HideCommand();
        return;
    }
    if (!RunReported(Services_.Prompt, [this] { SaveEverything(); })) {
        event->ignore(); // the user may try again
        ClosingForReal = false;
        return;
    }
    event->accept();
}

void TfrmMain::CreateNewNoteCommand() {
    if (Factory_ != nullptr)
        RunReported(Services_.Prompt, [this] { Factory_->CreateNewNote(""); });
}

TfrmNote* TfrmMain::SelectedNote() const {
    const QModelIndexList selected = lbNotes->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? nullptr : NotesModel_->Note(selected.front().row());
}

void TfrmMain::ShowNoteDetails() {
    const TfrmNote* note = SelectedNote();
    if (note == nullptr) {
        lblPos->setText(QStringLiteral("..."));
        lblSize->setText(QStringLiteral("..."));
        memContents->clear();
        memContents->setPalette(QPalette());
        btnUpdate->setEnabled(false);
        return;
    }
    lblPos->setText(QStringLiteral("%1, %2").arg(note->x()).arg(note->y()));
    const bool rolledUp = note->IsMinimized();
    lblSize->setText(QStringLiteral("%1 x %2 pixels")
                         .arg(rolledUp ? note->RestoreWidth() : note->width())
                         .arg(rolledUp ? note->RestoreHeight() : note->height()));
    if (!note->IsChat()) {
        QString text = ToQ(note->Text());
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        memContents->setPlainText(text);
        QPalette palette = memContents->palette();
        palette.setColor(QPalette::Base, ToQColor(note->NoteColor()));
        palette.setColor(QPalette::Text, ToQColor(note->FontColor()));
        memContents->setPalette(palette);
        memContents->setFont(note->BodyFont());
        memContents->setReadOnly(note->IsReadOnly());
    }
    btnUpdate->setEnabled(!memContents->isReadOnly());
}

void TfrmMain::lbNotesRightClick(const QPoint& point) {
    const QModelIndex index = lbNotes->indexAt(point);
    TfrmNote* note = NotesModel_->Note(index.row());
    if (!index.isValid() || note == nullptr)
        return;
    lbNotes->setFocus();
    lbNotes->setCurrentIndex(index);
    cmSendNoteOverNetwork->setEnabled(!note->IsChat());
    ppmDelete->setText(note->IsChat() ? QStringLiteral("&Delete this Vorn-Chat")
                                      : QStringLiteral("&Delete this Vorn-Note"));
}

void TfrmMain::btnUpdateClick() {
    TfrmNote* note = SelectedNote();
    if (note == nullptr)
        return;
    note->SetText(FromQ(memContents->toPlainText()));
    note->SetModified(true);
}

void TfrmMain::FindInNotes(const std::string& text, bool matchCase) {
    bool found = false;
    const std::vector<TfrmNote*> notes = Notes();
    for (TfrmNote* note : notes) {
        if (!NoteMatches(note->Text(), text, matchCase))
            continue;
        found = true;
        if (note->IsMinimized())
            note->Restore();
        note->raise();
    }
    if (!found)
        Services_.Prompt.ShowMessage(NoMatchMessage(text, matchCase));
}

void TfrmMain::ShowFindDialog() {
    if (dlgFind == nullptr) {
        dlgFind = new TfrmFind(this);
        connect(dlgFind, &TfrmFind::FindNext, this, [this](const QString& text, bool matchCase) {
            FindInNotes(FromQ(text), matchCase);
        });
    }
    dlgFind->Execute();
}

void TfrmMain::UndeleteCommand() {
    const std::string filter = dlgOpen.Filter;
    dlgOpen.Filter = "Deleted Text Files (*.~txt)|*.~txt";
    dlgOpen.InitialDir = NotesFolder(Services_.AppFolder);
    try {
        const std::string chosen = Services_.Dialogs.OpenFile(dlgOpen);
        if (!chosen.empty())
            UndeleteFile(chosen);
    } catch (...) {
        dlgOpen.Filter = filter;
        throw;
    }
    dlgOpen.Filter = filter;
}

void TfrmMain::UndeleteFile(const std::string& path) {
    if (Factory_ == nullptr)
        return;
    const int32_t id = NoteIdFromFileName(path);
    // A name without a number must not become a note file of number -1.
    if (id == -1) {
        Services_.Prompt.ShowMessage(UndeleteWithoutNumberMessage(path));
        Factory_->CreateNoteFromFile(path);
        return;
    }
    const std::string noteFile = NoteFileName(Services_.AppFolder, id);
    if (FileExists(noteFile)) {
        Factory_->CreateNoteFromFile(path);
        return;
    }
    if (!RenameFile(path, noteFile)) {
        Services_.Prompt.ShowMessage(UndeleteRenameFailedMessage(path, noteFile));
        Factory_->CreateNoteFromFile(path);
        return;
    }
    TfrmNote& note = Factory_->OpenNoteWindow(id);
    if (note.IsMinimized())
        note.Restore();
    BringOntoScreen(note, Services_.Screens.Monitors());
}

void TfrmMain::OpenNotesFolder() {
    if (!Services_.Desktop.OpenPath(NotesFolder(Services_.AppFolder)))
        Services_.Prompt.ShowMessage("Cannot open Folder \"" + NotesFolder(Services_.AppFolder) +
                                     "\"");
}

void TfrmMain::ChooseTrayIcon() {
    TFileDialogOptions options = dlgOpenIcon;
    options.InitialDir = IconFolder;
    const std::string chosen = Services_.Dialogs.OpenFile(options);
    if (chosen.empty())
        return;
    const QString path = ToQ(chosen);
    QImageReader reader(path);
    if (!reader.canRead())
        throw Exception("Cannot load the icon \"" + chosen + "\": " + FromQ(reader.errorString()));
    TrayIcon->setIcon(QIcon(path));
    TrayIconFile = chosen;
    IconFolder = FromQ(QFileInfo(path).absolutePath()) + "/";
    StoreControlsToSettings();
    Ini_.Save();
}

void TfrmMain::btnFontClick() {
    TFontChoice font{Ini_.GetString("sDefaultFontName"), Ini_.GetInteger("iDefaultFontSize"),
                     Ini_.GetInteger("iDefaultFontColor")};
    if (!Services_.Dialogs.ChooseFont(font))
        return;
    Ini_.SetString("sDefaultFontName", font.Name);
    Ini_.SetInteger("iDefaultFontSize", font.Size);
    Ini_.SetInteger("iDefaultFontColor", font.Color);
    ShowDefaultFont();
    RunReported(Services_.Prompt, [this] { Ini_.Save(); });
}

void TfrmMain::chkStartupClick() {
    // Failures are not reported: the box still says what the user wants at the next start.
    if (Services_.AutostartFolder.empty())
        return;
    if (chkStartup->isChecked())
        WriteAutostartEntry(Services_.AutostartFolder,
                            FromQ(QCoreApplication::applicationFilePath()),
                            "Vorn - Qwerl Software");
    else
        RemoveAutostartEntry(Services_.AutostartFolder);
}

void TfrmMain::ShowAbout() {
    TfrmAbout about(this);
    about.exec();
}

// ---- the network ------------------------------------------------------------------------------

void TfrmMain::LoadDataModule() {
    RunReported(Services_.Prompt, [this] { Dm_->Load(); });
}

void TfrmMain::FormShow() {
    timQueue->start();
    pcMain->setCurrentIndex(0);
    if (Ini_.GetBoolean("bNetworking"))
        btnListenClick();
}

void TfrmMain::btnListenClick() {
    const std::string user = FromQ(edtIdentity->text());
    if (Trim(user).empty()) {
        Prompt().ShowMessage("Please enter a username");
        return;
    }
    int32_t port = -1;
    if (!TryStrToInt(Trim(FromQ(edtPort->text())), port))
        port = -1;
    if (port < 0 || port > 65535) {
        Prompt().ShowMessage("Invalid Port number!");
        return;
    }
    TSmtpServer& server = Dm_->SMTPServer;
    const std::string name = user + "@" + HostName() + ":";
    bool listening = server.Start(static_cast<uint16_t>(port), name + std::to_string(port));
    // Port 0 lets the system choose; peers must be told the port it chose.
    if (listening && port == 0) {
        port = server.Port();
        listening = server.Start(static_cast<uint16_t>(port), name + std::to_string(port));
    }
    if (!listening) {
        Prompt().ShowMessage("Cannot Listen on Port " + std::to_string(port));
        return;
    }
    btnListen->setEnabled(false);
    edtIdentity->setEnabled(false);
    edtPort->setEnabled(false);
    btnStop->setEnabled(true);
    NetworkIdentity = name + std::to_string(port);
}

void TfrmMain::btnStopClick() {
    NetworkIdentity.clear();
    Dm_->SMTPServer.Stop();
    if (Dm_->SMTPServer.IsActive())
        Prompt().ShowMessage("still active!");
    btnListen->setEnabled(true);
    edtIdentity->setEnabled(true);
    edtPort->setEnabled(true);
    btnStop->setEnabled(false);
}

void TfrmMain::timQueueTimer() {
    TReceiveQueue& queue = Dm_->ReceiveQueue;
    // Only what waits now: a sender that keeps the queue full must not keep this loop, and with
    // it the desktop, busy for ever.
    size_t waiting = queue.QueueCount();
    size_t dropped = 0;
    bool arrived = false;
    std::vector<std::string> lines;
    for (; waiting > 0; --waiting) {
        lines.clear();
        if (!queue.DequeueMessage(lines))
            break;
        if (lines.empty())
            continue;
        if (AtNoteLimit()) {
            ++dropped;
            continue;
        }
        const TReceivedNote received = ReadNoteMessage(lines, TNoteConfig::Create(NoteDefaults()));
        TfrmNote* note = nullptr;
        RunReported(Prompt(), [&] {
            if (Factory_ != nullptr)
                note = Factory_->CreateReceivedNote(received.Text, received.Config);
        });
        if (note == nullptr)
            continue;
        arrived = true;
        if (chkBringToFront->isChecked()) {
            // Above every window, without staying there.
            note->SetStayOnTop(true);
            note->SetStayOnTop(false);
            note->raise();
        }
    }
    if (arrived && chkPlayWav1->isChecked())
        Services_.Desktop.PlaySound(FromQ(edtWAV1->text()));
    // One message for a whole flood, not one per note.
    if (dropped > 0)
        Prompt().ShowMessage(NoteLimitMessage() + " " + std::to_string(dropped) +
                             " received notes were dropped.");
}

void TfrmMain::btnWav1Click() {
    const std::string file = FromQ(edtWAV1->text());
    if (!Services_.Desktop.PlaySound(file))
        Prompt().ShowMessage("Cannot play the sound file \"" + file + "\"");
}

void TfrmMain::AddLogLine(const std::string& text) {
    memLog->appendPlainText(ToQ(text));
}

void TfrmMain::SendNote(TfrmNote& note) {
    if (NetworkIdentity.empty()) {
        Prompt().ShowMessage("To send VornNotes over a TCP Network, you have to enable Networking "
                             "from Vorn Control Panel");
        return;
    }
    // Over the note: the panel itself may be parked off the screen.
    TfrmSend dialog(Dm_->AddressBook.Entries(), LastSendAddress, &note);
    if (!RunSendDialog(dialog))
        return;
    const TNetworkAddress address = ParseAddress(dialog.Address());
    if (address.Normalized.empty()) {
        Prompt().ShowMessage(InvalidAddressMessage());
        return;
    }
    TNoteMessageInput input;
    input.Text = note.Text();
    input.Config = note.CreateConfig();
    input.DestinationUser = address.User;
    input.DestinationHost = address.Host;
    input.NetworkIdentity = NetworkIdentity;
    input.SentOnDateText = CurrentDateText(Services_.Clock);
    input.DateHeader = CurrentMailDate();
    const TNoteMessage message = BuildNoteMessage(input);

    TSmtpSendRequest request;
    request.Host = address.Host;
    request.Port = address.Port;
    request.HeloName = HostName();
    request.EnvelopeFrom = message.EnvelopeFrom;
    request.EnvelopeTo = message.EnvelopeTo;
    request.Lines = message.Lines;
    const TSmtpSendResult result = SendWithProgress(request, &note);
    Dm_->LastServerIdentity = result.LastServerIdentity;
    if (!result.Ok) {
        Prompt().ShowError(result.Error);
        return;
    }
    // The peer as it names itself; a peer that does not is remembered as it was typed.
    const std::string peer = result.LastServerIdentity.empty()
                                 ? address.Normalized
                                 : NormalizeAddress(result.LastServerIdentity);
    Dm_->AddressBook.AddToAddressBook(peer, false);
    LastSendAddress = peer;
    AddLogLine("Successfully sent VornNote [" + std::to_string(note.NoteId()) + "] to " + peer);
    AddLogLine("LCS=" + result.LastServerIdentity);
}
