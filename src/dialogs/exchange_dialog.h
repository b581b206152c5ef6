// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "同步歌词交换对话框": mails the current song's lyric file and the sender's
// profile to the lyric exchange. The profile is kept in the state file, so
// that it is filled in again next time, whether the user sends or not.

#include <QDialog>
#include <QString>
#include <string>

#include "lyrics/lyric_sheet.h"
#include "mail/lyric_exchange.h"
#include "songlist/state_file.h"

class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

#include <memory>

#include "ui/prompts.h"

namespace melnix {

// True when a network interface other than loopback is up and running.
bool networkInterfaceActive();


class ExchangeDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int idSend = 1;
    static constexpr int idCancel = 2;
    static constexpr int idEmail = 1036;
    static constexpr int idDownload = 1038;
    static constexpr int idMessageToAuthorLabel = 1082;
    static constexpr int idMale = 1084;
    static constexpr int idFemale = 1085;
    static constexpr int idMessageToFriends = 1087;
    static constexpr int idMessageToAuthor = 1088;
    static constexpr int idName = 1089;
    static constexpr int idQq = 1090;
    static constexpr int idArea = 1091;
    static constexpr int idAge = 1092;
    static constexpr int idHomePage = 1094;
    static constexpr int idAbout = 1095;
    static constexpr int idPublicNote = 1096;
    static constexpr int idListsNote = 1097;
    static constexpr int idSongFileNote = 1098;
    static constexpr int idSendCaption = 1110;
    static constexpr int idCancelCaption = 1111;
    static constexpr int idSongName = 1112;
    static constexpr int idFile = 1113;

    // Works on the current song of state; a large song's lyric is written
    // from sheet into the data folder as the dialog opens.
    ExchangeDialog(AppState& state, const LyricSheet& sheet, int32_t songLength, QWidget* parent = nullptr,
                   Prompts* prompts = nullptr);
    ~ExchangeDialog() override;

    QWidget* control(int id) const;
    // The file that will be mailed; empty when none could be made.
    const std::string& fileToSend() const { return file_; }

    // The buttons' work, also for tests.
    void send();
    // Cancel keeps what was typed in the profile.
    void reject() override;

private:
    SenderProfile profileFromFields() const;
    void showProfile(const SenderProfile& profile);

    AppState& state_;
    Prompts* prompts_;
    std::unique_ptr<Prompts> ownPrompts_;
    std::string songName_;  // GBK
    std::string file_;
    QLineEdit* download_ = nullptr;
    QLineEdit* name_ = nullptr;
    QRadioButton* male_ = nullptr;
    QRadioButton* female_ = nullptr;
    QLineEdit* age_ = nullptr;
    QLineEdit* area_ = nullptr;
    QLineEdit* qq_ = nullptr;
    QLineEdit* homePage_ = nullptr;
    QLineEdit* email_ = nullptr;
    QPlainTextEdit* toAuthor_ = nullptr;
    QPlainTextEdit* toFriends_ = nullptr;
};

}  // namespace melnix
