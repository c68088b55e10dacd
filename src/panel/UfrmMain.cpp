#include "UfrmMain.h"

#include "UConvert.h"
#include "UFileUtil.h"
#include "UQtColors.h"
#include "UQtText.h"
#include "UScreenFunctions.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

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
    : Services_(services), Ini_(services.Prompt, services.AppFolder) {
    setObjectName(QStringLiteral("frmMain"));
    setFixedSize(ClientWidth, ClientHeight);
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

TNoteDefaults TfrmMain::NoteDefaults() const {
    return ReadNoteDefaults(Ini_, Services_.Screens);
}

void TfrmMain::RegisterNote(TfrmNote& note) {
    Notes_.push_back(&note);
    if (Store_ && !Store_->Contains(note.NoteId()))
        Store_->Add(note.NoteId(), note.CreateConfig());
}

void TfrmMain::UnregisterNote(int32_t id) {
    const auto found = std::find_if(Notes_.begin(), Notes_.end(),
                                    [id](const TfrmNote* note) { return note->NoteId() == id; });
    if (found != Notes_.end())
        Notes_.erase(found);
}

void TfrmMain::UpdateNoteRecord(const TfrmNote& note) {
    if (!Store_)
        return;
    if (TNoteConfig* record = Store_->Get(note.NoteId()))
        note.FillConfig(*record);
}

void TfrmMain::UpdateAllNoteRecords() {
    for (const TfrmNote* note : Notes_)
        UpdateNoteRecord(*note);
}

void TfrmMain::SaveModifiedNotes() {
    std::vector<TfrmNote*> notes;
    std::vector<TFileWrite> writes;
    for (TfrmNote* note : Notes_) {
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
    if (!PointOnScreen(Services_.Screens.Monitors(), LastPanelX, LastPanelY)) {
        const TScreenSize screen = Services_.Screens.PrimaryScreenSize();
        LastPanelX = (screen.Width - width()) / 2;
        LastPanelY = (screen.Height - height()) / 2;
    }
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
}

void TfrmMain::StoreControlsToSettings() {
    if (PointOnScreen(Services_.Screens.Monitors(), x(), y())) {
        LastPanelX = x();
        LastPanelY = y();
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

void TfrmMain::NoteClosed(TfrmNote& note) {
    NoteDestroyed(note);
}

void TfrmMain::NoteDestroyed(TfrmNote& note) {
    // A window that never made it into the registry has no state worth keeping.
    const auto found = std::find(Notes_.begin(), Notes_.end(), &note);
    if (found == Notes_.end())
        return;
    UpdateNoteRecord(note);
    Notes_.erase(found);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (!ClosingForReal) {
        event->ignore(); // only the exit command ends the program
        return;
    }
    if (!RunReported(Services_.Prompt, [this] { SaveEverything(); })) {
        event->ignore(); // the user may try again
        ClosingForReal = false;
        return;
    }
    event->accept();
}
