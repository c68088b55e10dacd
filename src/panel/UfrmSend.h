#pragma once

#include "USmtpClient.h"

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

// The send dialog: the user picks a peer from the address book or types an address.
class TfrmSend : public QDialog {
    Q_OBJECT

public:
    // `addresses` are the address book's entries in order; the box starts with `lastSendAddress`.
    TfrmSend(const std::vector<std::string>& addresses, const std::string& lastSendAddress,
             QWidget* parent = nullptr);

    // The address as typed or picked, unparsed.
    std::string Address() const;

    QLabel* Label1;
    QComboBox* cbAddress;
    QLabel* Label2;
    QPushButton* btnOK;
    QPushButton* btnCancel;
};

// Shown when the typed address does not parse: four lines, each ended by CR LF.
std::string InvalidAddressMessage();

// How long a send may take before its progress dialog shows; quicker sends never show it.
constexpr int SendProgressDelayMs = 400;

// Runs one delivery to its end while the user interface keeps painting: after
// SendProgressDelayMs a modal progress dialog with a cancel button shows, which ends the send
// with the cancelled failure. User input waits until the dialog shows or the send ends.
TSmtpSendResult SendWithProgress(TSmtpClient& client, const TSmtpSendRequest& request,
                                 QWidget* parent);
// The same with a client of its own and the usual time limits.
TSmtpSendResult SendWithProgress(const TSmtpSendRequest& request, QWidget* parent);
