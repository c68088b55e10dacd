#include "UVornApp.h"

#include "UConvert.h"
#include "UFileUtil.h"
#include "UNoteFiles.h"
#include "UScreenFunctions.h"
#include "USystem.h"
#include "UfrmNote.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QSystemTrayIcon>

#include <iostream>

std::string WelcomeNoteText() {
    return "Welcome to Vorn v2.04b\r\n"
           "\r\n"
           "[F2] opens Control Panel to configure Vorn\r\n"
           "[F4] creates a new note on your desktop\r\n"
           "Right-Click on the title bar to display a menu of available options.\r\n"
           "Double-Click on the title bar to minimize/restore a note\r\n"
           "\r\n"
           "We hope you will find Vorn one of the most useful applications ever made!\r\n"
           "Enjoy!\r\n"
           "\r\n"
           "Vorn is made by a small team for the Linux desktop.";
}

TVornApp::TVornApp(const TServices& services)
    : Main_(std::make_unique<TfrmMain>(services)), Factory_(*Main_) {
    Main_->SetFactory(Factory_);
    QObject::connect(Main_.get(), &TfrmMain::ExitRequested, Main_.get(), [this] { Exit(); });
}

TVornApp::~TVornApp() {
    while (!Main_->Notes().empty())
        delete Main_->Notes().back(); // leaves the registry on destruction
}

bool TVornApp::FormCreate() {
    TfrmMain& main = *Main_;
    IPrompt& prompt = main.Prompt();
    main.ClosingForReal = false;
    main.setWindowTitle(QStringLiteral("Vorn v2.04b"));
    main.GradientStart = RandomColor();
    main.GradientEnd = RandomColor();

    // A write cut short by a kill or a power cut leaves its temporary file; the file itself is
    // whole, old or new, and the temporary only a copy.
    RemoveStaleTemporaries(main.AppFolder(), [](const std::string& name) {
        return name == "vorn.ini" || name == "vornnotes.xml" || name == "addrbook.txt";
    });
    RemoveStaleTemporaries(NotesFolder(main.AppFolder()),
                           [](const std::string& name) { return NoteIdFromFileName(name) >= 0; });

    // Settings that cannot be read are reported; the program goes on with what was read.
    RunReported(prompt, [&] { main.Ini().Load(); });
    RunReported(prompt, [&] { main.LoadSettingsToControls(); });

    const bool stored = RunReported(prompt, [&] {
        main.SetStore(OpenNoteStore(
            main.AppFolder() + "vornnotes.xml", [&main] { return main.NoteDefaults(); }, prompt,
            main.Services().Clock));
    });
    if (!stored)
        return false;

    OpenNoteFiles();
    ScanDeletedNoteFiles();
    main.MovePanel(main.LastPanelX, main.LastPanelY);
    // Without a tray the panel is the only way in, so it is shown where it is.
    if (QSystemTrayIcon::isSystemTrayAvailable())
        main.HideControlPanel();
    else
        main.show();

    if (main.edtIdentity->text().isEmpty()) {
        std::string name = LoginUserName();
        if (name.empty())
            name = "unknown";
        main.edtIdentity->setText(QString::fromStdString(name));
        RunReported(prompt, [&] { Factory_.CreateCenteredNote(WelcomeNoteText(), 400, 200); });
    }
    // The network side comes after the panel, as the panel's own start never needs it.
    main.LoadDataModule();
    main.FormShow();
    return true;
}

void TVornApp::OpenNoteFiles() {
    TfrmMain& main = *Main_;
    const std::vector<TMonitor> monitors = main.Services().Screens.Monitors();
    for (const std::string& name : ListNoteFiles(main.AppFolder(), false)) {
        const int32_t id = NoteIdFromFileName(name);
        if (id != -1) {
            // A note whose file cannot be read is reported; the others still open.
            RunReported(main.Prompt(),
                        [&] { BringOntoScreen(Factory_.OpenNoteWindow(id), monitors); });
        }
        main.NoteNumbers().Raise(id);
    }
}

void TVornApp::ScanDeletedNoteFiles() {
    for (const std::string& name : ListNoteFiles(Main_->AppFolder(), true))
        Main_->NoteNumbers().Raise(NoteIdFromFileName(name));
}

void TVornApp::Exit() {
    Main_->ClosingForReal = true;
    if (Main_->close())
        QCoreApplication::quit();
}

void TVornApp::EndSession() {
    TfrmMain& main = *Main_;
    main.ClosingForReal = true;
    try {
        main.SaveEverything();
    } catch (const std::exception& error) {
        // Nobody may be there to answer a message box while the session ends.
        std::cerr << "Vorn: saving at the end of the session failed: " << error.what() << "\n";
    }
    QCoreApplication::quit();
}
