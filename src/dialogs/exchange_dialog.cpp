// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/exchange_dialog.h"

#include <algorithm>
#include <atomic>

#include "dialogs/desktop_prompts.h"

#include <QButtonGroup>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QNetworkInterface>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "dialogs/core/exchange_setup.h"
#include "common/gbk.h"
#include "common/paths.h"
#include "ui/background_work.h"
#include "ui/qt_text.h"

namespace melnix {
namespace {

QString controlName(int id) { return QString("control%1").arg(id); }

// An age has at most three digits; a QQ or ICQ number at most a dozen.
constexpr int kAgeDigits = 3;
constexpr int kQqDigits = 12;

}  // namespace

bool networkInterfaceActive() {
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& i : interfaces) {
        const auto flags = i.flags();
        if (flags.testFlag(QNetworkInterface::IsUp) && flags.testFlag(QNetworkInterface::IsRunning) &&
            !flags.testFlag(QNetworkInterface::IsLoopBack))
            return true;
    }
    return false;
}

ExchangeDialog::ExchangeDialog(AppState& state, const LyricSheet& sheet, int32_t songLength, QWidget* parent,
                               Prompts* prompts)
    : QDialog(parent), state_(state), prompts_(prompts) {
    if (!prompts_) {
        ownPrompts_ = std::make_unique<DesktopPrompts>();
        prompts_ = ownPrompts_.get();
    }
    setObjectName("ExchangeDialog");
    setWindowTitle(tr("同步歌词交换对话框"));
    const SongEntry& song = state_.list.current;
    songName_ = exchangeSongName(song);
    file_ = chooseExchangeFile(song, sheet, songLength, dataFolder());

    auto note = [this](int id, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(controlName(id));
        l->setWordWrap(true);
        return l;
    };
    auto caption = [this](int id, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString("label%1").arg(id));
        return l;
    };
    auto line = [this](int id, const QString& text = {}) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(controlName(id));
        return e;
    };
    auto digits = [](QLineEdit* e, int count) {
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QString("[0-9]{0,%1}").arg(count)), e));
    };
    auto box = [this](int id) {
        auto* e = new QPlainTextEdit(this);
        e->setObjectName(controlName(id));
        e->setMaximumHeight(e->fontMetrics().lineSpacing() * 4 + 12);
        return e;
    };

    auto* all = new QVBoxLayout(this);
    all->addWidget(note(idAbout, tr("同步歌词交换：把你亲手同步好的歌词文件连同你的简单资料发送到歌词交换信箱，"
                                    "喜欢同一首歌的网友就能找到你，彼此直接交换同步歌词。")));
    all->addWidget(note(idPublicNote, tr("注意：下面填写的个人资料（网名、性别、年龄、地域、QQ号码、主页、EMail和给网友的留言）"
                                         "将会公开，供其他网友与你联系。")));
    all->addWidget(note(idListsNote, tr("本软件作者只负责整理和转发交流者的联系名单，不替任何人交换或保管歌词。")));
    all->addWidget(note(idSongFileNote, tr("请不要发送较大的.MP3等歌曲文件，只需在下面写明可以下载它的网址。")));

    auto* grid = new QGridLayout;
    int row = 0;
    auto* fileField = line(idFile, displayPath(file_));
    fileField->setReadOnly(true);
    grid->addWidget(caption(idFile, tr("你要发送的歌词文件是:")), row, 0);
    grid->addWidget(fileField, row++, 1, 1, 3);
    auto* nameField = line(idSongName, fromGbk(songName_));
    nameField->setReadOnly(true);
    grid->addWidget(caption(idSongName, tr("其歌曲名称是:")), row, 0);
    grid->addWidget(nameField, row++, 1, 1, 3);
    download_ = line(idDownload, QStringLiteral("http://"));
    grid->addWidget(caption(idDownload, tr("原文件(如.MP3)可在网站")), row, 0);
    grid->addWidget(download_, row, 1, 1, 2);
    auto* after = new QLabel(tr("里下载。"), this);
    after->setObjectName(QString("label%1After").arg(idDownload));
    grid->addWidget(after, row++, 3);

    name_ = line(idName);
    grid->addWidget(caption(idName, tr("网(姓)名:")), row, 0);
    grid->addWidget(name_, row, 1);
    male_ = new QRadioButton(tr("男"), this);
    male_->setObjectName(controlName(idMale));
    female_ = new QRadioButton(tr("女"), this);
    female_->setObjectName(controlName(idFemale));
    auto* sex = new QButtonGroup(this);
    sex->addButton(male_);
    sex->addButton(female_);
    grid->addWidget(male_, row, 2);
    grid->addWidget(female_, row++, 3);
    age_ = line(idAge);
    digits(age_, kAgeDigits);
    grid->addWidget(caption(idAge, tr("年龄:")), row, 0);
    grid->addWidget(age_, row, 1);
    area_ = line(idArea);
    grid->addWidget(caption(idArea, tr("地域:")), row, 2);
    grid->addWidget(area_, row++, 3);
    qq_ = line(idQq);
    digits(qq_, kQqDigits);
    grid->addWidget(caption(idQq, tr("QQ号码:")), row, 0);
    grid->addWidget(qq_, row, 1);
    homePage_ = line(idHomePage);
    grid->addWidget(caption(idHomePage, tr("主页:")), row, 2);
    grid->addWidget(homePage_, row++, 3);
    email_ = line(idEmail);
    grid->addWidget(caption(idEmail, tr("EMail:")), row, 0);
    grid->addWidget(email_, row, 1, 1, 2);
    auto* required = new QLabel(tr("(此项必须填写正确)"), this);
    required->setObjectName(QString("label%1After").arg(idEmail));
    grid->addWidget(required, row++, 3);
    toAuthor_ = box(idMessageToAuthor);
    auto* toAuthorLabel = note(idMessageToAuthorLabel, tr("给软件作者的留言:"));
    grid->addWidget(toAuthorLabel, row, 0);
    grid->addWidget(toAuthor_, row++, 1, 1, 3);
    toFriends_ = box(idMessageToFriends);
    grid->addWidget(caption(idMessageToFriends, tr("给网友的留言:")), row, 0);
    grid->addWidget(toFriends_, row++, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    all->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    auto* sendButton = new QPushButton(tr("发送"), this);
    sendButton->setObjectName(controlName(idSend));
    auto* cancelButton = new QPushButton(tr("取消"), this);
    cancelButton->setObjectName(controlName(idCancel));
    sendButton->setAutoDefault(false);
    cancelButton->setAutoDefault(false);
    // Each caption reads as one sentence with its button, on one line.
    auto* sendCaption = new QLabel(tr("我已熟知上述条款，我要"), this);
    sendCaption->setObjectName(controlName(idSendCaption));
    auto* cancelCaption = new QLabel(tr("我不想发送，我要"), this);
    cancelCaption->setObjectName(controlName(idCancelCaption));
    buttons->addWidget(sendCaption);
    buttons->addWidget(sendButton);
    buttons->addStretch(1);
    buttons->addWidget(cancelCaption);
    buttons->addWidget(cancelButton);
    all->addLayout(buttons);
    connect(sendButton, &QPushButton::clicked, this, &ExchangeDialog::send);
    connect(cancelButton, &QPushButton::clicked, this, &ExchangeDialog::reject);

    showProfile(senderProfileOf(state_));
    // Wide enough for the notes to read well, never narrower than a caption.
    setMinimumWidth(std::max(560, all->minimumSize().width()));
}

ExchangeDialog::~ExchangeDialog() = default;

QWidget* ExchangeDialog::control(int id) const { return findChild<QWidget*>(controlName(id)); }

void ExchangeDialog::showProfile(const SenderProfile& p) {
    name_->setText(fromGbk(p.name));
    (p.isFemale ? female_ : male_)->setChecked(true);
    age_->setText(QString::number(p.age));
    area_->setText(fromGbk(p.area));
    qq_->setText(fromGbk(p.qqNumber));
    homePage_->setText(fromGbk(p.homePage));
    email_->setText(fromGbk(p.email));
    toAuthor_->setPlainText(fromGbk(p.messageToAuthor));
    toFriends_->setPlainText(fromGbk(p.messageToFriends));
}

SenderProfile ExchangeDialog::profileFromFields() const {
    SenderProfile p;
    p.name = toGbk(name_->text());
    p.isFemale = female_->isChecked();
    p.age = parseSenderAge(age_->text().toStdString());
    p.area = toGbk(area_->text());
    p.qqNumber = toGbk(qq_->text());
    p.homePage = toGbk(homePage_->text());
    p.email = toGbk(email_->text());
    p.messageToAuthor = toGbk(toAuthor_->toPlainText());
    p.messageToFriends = toGbk(toFriends_->toPlainText());
    return p;
}

void ExchangeDialog::send() {
    if (!prompts_->networkConnected() &&
        prompts_->ask(this, tr("本机尚未拨号! 你有局域网可发送邮件吗？\n\n如果你选择‘是’，但又不能发送，可能导致死机."),
                      QStringLiteral("Melnix")) != Answer::Yes)
        return;
    const SenderProfile profile = profileFromFields();
    storeSenderProfile(state_, profile);
    const ExchangeMail mail{profile, toGbk(download_->text()), songName_, file_};
    // The servers answer on a thread of their own: each has its time limit,
    // and the user may give up before that.
    const std::vector<ExchangeDestination> destinations = configuredExchangeDestinations();
    QProgressDialog progress(tr("正在发送..."), tr("取消"), 0, static_cast<int>(destinations.size()), this);
    prepareProgress(progress, windowTitle());
    std::atomic<bool> cancel{false};
    std::atomic<size_t> turn{0};
    int sent = 0;
    runBeside(
        progress, [&] { sent = sendExchangeMail(destinations, mail, &cancel, [&](size_t i) { turn = i; }); },
        [&] {
            if (progress.wasCanceled()) {
                cancel = true;
                progress.setLabelText(tr("正在取消..."));
                return;
            }
            const size_t i = turn.load();
            progress.setValue(static_cast<int>(i));
            if (i < destinations.size())
                progress.setLabelText(tr("正在发送到 %1...").arg(QString::fromStdString(destinations[i].host)));
        });
    // Given up by the user: nothing more to say, and the profile is kept.
    if (cancel.load() && sent == 0) return;
    QString text = sent > 0 ? tr("发送成功！恭喜你。\r\n")
                            : tr("抱歉，发送失败！\r\n\r\n你可能没有拨号，或者没有填写你正确的Email地址。\r\n");
    text += tr("\r\n如果你通过拨号上网，别忘了断线呀！");
    prompts_->info(this, text, windowTitle());
    if (sent > 0) accept();
}

void ExchangeDialog::reject() {
    storeSenderProfile(state_, profileFromFields());
    QDialog::reject();
}

}  // namespace melnix
