#include "ui/FavoriteUser.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "services/DataSets.h"
#include "services/Messages.h"
#include "ui/SelectCode.h"
#include "ui/UiStyle.h"
#include "userdata/Favorites.h"

namespace {

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
std::string S(const QString& text) {
    return text.toUtf8().toStdString();
}

// Sky blue dialog with the shared caption, a title line and the buttons in one row at the bottom.
QVBoxLayout* SetUpDialog(QDialog* dialog, QLabel*& title, const QString& titleText) {
    dialog->setWindowTitle(QString::fromUtf8(WindowTitle));
    dialog->setFont(TahomaFont(13));
    QPalette sky = dialog->palette();
    sky.setColor(QPalette::Window, SkyBlue);
    dialog->setPalette(sky);
    dialog->setAutoFillBackground(true);
    title = new QLabel(titleText, dialog);
    title->setFont(TahomaFont(22));
    QPalette navy = title->palette();
    navy.setColor(QPalette::WindowText, Navy);
    title->setPalette(navy);
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->setSpacing(10);
    layout->addWidget(title);
    return layout;
}

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* button : buttons) {
        button->setMinimumWidth(96);
        row->addWidget(button);
    }
    return row;
}

QLineEdit* PasswordBox(QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setEchoMode(QLineEdit::Password);
    box->setMinimumWidth(260);
    return box;
}

// Makes AFavorite the session's list; the list unlocked before is locked again.
void MakeUnlocked(TFavoriteKW* AFavorite) {
    if (UnlockedFavorite != nullptr && UnlockedFavorite != AFavorite) UnlockedFavorite->FFavoriteCodes.clear();
    UnlockedFavorite = AFavorite;
}

}  // namespace

bool ChooseFavoriteUser(QWidget* AParent) {
    TfrmFavoriteUser dialog(AParent);
    return RunModalDialog(dialog) == QDialog::Accepted && UnlockedFavorite != nullptr;
}

// ---- User choice -------------------------------------------------------------------------

TfrmFavoriteUser::TfrmFavoriteUser(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFavoriteUser"));
    QVBoxLayout* layout = SetUpDialog(this, lbTitle, QStringLiteral("Favorite Codes"));
    lbHint = new QLabel(QStringLiteral("Choose your name:"), this);
    lvUsers = new QListWidget(this);
    lvUsers->setFont(TahomaFont(16));
    lvUsers->setMinimumSize(360, 220);
    btnOpen = new QPushButton(QStringLiteral("Open"), this);
    btnNewUser = new QPushButton(QStringLiteral("New User..."), this);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    layout->addWidget(lbHint);
    layout->addWidget(lvUsers, 1);
    layout->addLayout(ButtonRow({btnOpen, btnNewUser, btnCancel}));
    connect(btnOpen, &QPushButton::clicked, this, &TfrmFavoriteUser::OpenSelected);
    connect(btnNewUser, &QPushButton::clicked, this, &TfrmFavoriteUser::NewUser);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    // Enter reaches the default button (Open); a double-click opens too.
    connect(lvUsers, &QListWidget::itemDoubleClicked, this, [this] { OpenSelected(); });
    btnOpen->setDefault(true);
    FillUsers();
}

void TfrmFavoriteUser::FillUsers() {
    std::vector<TFavoriteKW*> users;
    for (const auto& favorite : FavoriteList) users.push_back(favorite.get());
    std::stable_sort(users.begin(), users.end(), [](const TFavoriteKW* a, const TFavoriteKW* b) {
        return Q(a->FUserName).compare(Q(b->FUserName), Qt::CaseInsensitive) < 0;
    });
    lvUsers->clear();
    for (TFavoriteKW* favorite : users) {
        auto* item = new QListWidgetItem(Q(favorite->FUserName), lvUsers);
        item->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(favorite)));
        if (favorite == UnlockedFavorite || lvUsers->currentItem() == nullptr) lvUsers->setCurrentItem(item);
    }
    const bool any = lvUsers->count() > 0;
    btnOpen->setEnabled(any);
    lbHint->setText(any ? QStringLiteral("Choose your name:")
                        : QStringLiteral("No favorite code list yet: create yours with \"New User...\"."));
    if (any)
        lvUsers->setFocus();
    else
        btnNewUser->setFocus();
}

TFavoriteKW* TfrmFavoriteUser::SelectedUser() const {
    QListWidgetItem* item = lvUsers->currentItem();
    return item == nullptr ? nullptr : reinterpret_cast<TFavoriteKW*>(item->data(Qt::UserRole).value<quintptr>());
}

void TfrmFavoriteUser::OpenSelected() {
    TFavoriteKW* favorite = SelectedUser();
    if (favorite == nullptr) return;
    // The list unlocked this session opens without asking again.
    const bool unlocked =
        favorite == UnlockedFavorite && (!favorite->FFavoriteCodes.empty() || !favorite->FDamage.empty());
    if (!unlocked) {
        TfrmFavoriteUnlock unlock(*favorite, this);
        if (RunModalDialog(unlock) != QDialog::Accepted) return;
    }
    MakeUnlocked(favorite);
    accept();
}

void TfrmFavoriteUser::NewUser() {
    TfrmFavoriteNewUser create(this);
    if (RunModalDialog(create) != QDialog::Accepted || create.FCreated == nullptr) return;
    MakeUnlocked(create.FCreated);
    accept();
}

// ---- Unlocking ---------------------------------------------------------------------------

TfrmFavoriteUnlock::TfrmFavoriteUnlock(TFavoriteKW& AFavorite, QWidget* parent)
    : QDialog(parent), FFavorite(AFavorite) {
    setObjectName(QStringLiteral("frmFavoriteUnlock"));
    QVBoxLayout* layout = SetUpDialog(this, lbTitle, QStringLiteral("Unlock Favorite Codes"));
    lbUser = new QLabel(Q(AFavorite.FUserName), this);
    lbUser->setFont(TahomaFont(16));
    edtPassword = PasswordBox(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("User:"), lbUser);
    form->addRow(QStringLiteral("Password:"), edtPassword);
    layout->addLayout(form);
    btnUnlock = new QPushButton(QStringLiteral("Unlock"), this);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    layout->addLayout(ButtonRow({btnUnlock, btnCancel}));
    btnUnlock->setDefault(true);
    connect(btnUnlock, &QPushButton::clicked, this, &TfrmFavoriteUnlock::Unlock);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    edtPassword->setFocus();
}

void TfrmFavoriteUnlock::Unlock() {
    TFavoriteOpen opened = TFavoriteOpen::Unreadable;
    {
        const TBusyCursor busy;
        opened = FFavorite.Open(S(edtPassword->text()));
    }
    edtPassword->clear();
    switch (opened) {
        case TFavoriteOpen::Opened:
            accept();
            return;
        case TFavoriteOpen::Damaged:
            // Shown as an empty list that cannot be changed; the file stays as it is.
            Messages().ShowMessage(FavoriteOpenMessage(opened, FFavorite));
            accept();
            return;
        case TFavoriteOpen::WrongPassword:
            Messages().ShowMessage(MsgFavoriteWrongPassword);
            break;
        case TFavoriteOpen::Unreadable:
            Messages().ShowMessage(FavoriteOpenMessage(opened, FFavorite));
            break;
    }
    edtPassword->setFocus();
}

// ---- New user ----------------------------------------------------------------------------

TfrmFavoriteNewUser::TfrmFavoriteNewUser(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFavoriteNewUser"));
    QVBoxLayout* layout = SetUpDialog(this, lbTitle, QStringLiteral("New Favorite Code List"));
    edtUserName = new QLineEdit(this);
    edtUserName->setMinimumWidth(260);
    edtPassword = PasswordBox(this);
    edtPassword2 = PasswordBox(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("User name:"), edtUserName);
    form->addRow(QStringLiteral("Password:"), edtPassword);
    form->addRow(QStringLiteral("Password again:"), edtPassword2);
    layout->addLayout(form);
    btnCreate = new QPushButton(QStringLiteral("Create"), this);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    layout->addLayout(ButtonRow({btnCreate, btnCancel}));
    btnCreate->setDefault(true);
    connect(btnCreate, &QPushButton::clicked, this, &TfrmFavoriteNewUser::Create);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    edtUserName->setFocus();
}

void TfrmFavoriteNewUser::Create() {
    if (edtPassword->text() != edtPassword2->text()) {
        Messages().ShowMessage(MsgFavoritePasswordsDiffer);
        edtPassword->clear();
        edtPassword2->clear();
        edtPassword->setFocus();
        return;
    }
    TFavoriteCreate created = TFavoriteCreate::SaveFailed;
    {
        const TBusyCursor busy;
        created =
            CreateFavoriteUser(S(edtUserName->text()), S(edtPassword->text()), SharedDataDir, FavoriteList, FCreated);
    }
    if (created == TFavoriteCreate::Created) {
        edtPassword->clear();
        edtPassword2->clear();
        accept();
        return;
    }
    Messages().ShowMessage(FavoriteCreateMessage(created, S(edtUserName->text().trimmed())));
    edtUserName->setFocus();
    edtUserName->selectAll();
}
