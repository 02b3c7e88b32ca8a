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
#include <utility>
#include <vector>

#include "services/DataSets.h"
#include "services/Messages.h"
#include "startup/EditionInUse.h"
#include "startup/LoadedData.h"
#include "ui/SelectCode.h"
#include "ui/UiStyle.h"
#include "userdata/Favorites.h"

namespace {

// Sky blue dialog with the shared caption, a title line and the buttons in one row at the bottom.
QVBoxLayout* SetUpDialog(QDialog* dialog, QLabel*& title, const QString& titleText) {
    dialog->setWindowTitle(QString::fromStdString(EditionFacts().WindowTitle));
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

void NameWidgets(std::initializer_list<std::pair<QWidget*, const char*>> AWidgets) {
    for (const auto& [widget, name] : AWidgets) widget->setObjectName(QString::fromLatin1(name));
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
    if (UserData().Unlocked != nullptr && UserData().Unlocked != AFavorite) UserData().Unlocked->FFavoriteCodes.clear();
    UserData().Unlocked = AFavorite;
}

}  // namespace

bool ChooseFavoriteUser(QWidget* AParent) {
    TfrmFavoriteUser dialog(AParent);
    return RunModalDialog(dialog) == QDialog::Accepted && UserData().Unlocked != nullptr;
}

// ---- User choice -------------------------------------------------------------------------

TfrmFavoriteUser::TfrmFavoriteUser(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFavoriteUser"));
    QVBoxLayout* layout = SetUpDialog(this, titleLabel, QStringLiteral("Favorite Codes"));
    hintLabel = new QLabel(QStringLiteral("Choose your name:"), this);
    userList = new QListWidget(this);
    userList->setFont(TahomaFont(16));
    userList->setMinimumSize(360, 220);
    userList->setAccessibleName(QStringLiteral("Favorite code lists"));
    openButton = new QPushButton(QStringLiteral("Open"), this);
    newUserButton = new QPushButton(QStringLiteral("New User..."), this);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    layout->addWidget(hintLabel);
    layout->addWidget(userList, 1);
    layout->addLayout(ButtonRow({openButton, newUserButton, cancelButton}));
    NameWidgets({{titleLabel, "titleLabel"},
                 {hintLabel, "hintLabel"},
                 {userList, "userList"},
                 {openButton, "openButton"},
                 {newUserButton, "newUserButton"},
                 {cancelButton, "cancelButton"}});
    connect(openButton, &QPushButton::clicked, this, &TfrmFavoriteUser::OpenSelected);
    connect(newUserButton, &QPushButton::clicked, this, &TfrmFavoriteUser::NewUser);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // Enter reaches the default button (Open); a double-click opens too.
    connect(userList, &QListWidget::itemDoubleClicked, this, [this] { OpenSelected(); });
    openButton->setDefault(true);
    FillUsers();
}

void TfrmFavoriteUser::FillUsers() {
    // Each row carries the place of its list in UserData().Favorites, which does not change while the dialog is open.
    std::vector<std::size_t> users(UserData().Favorites.size());
    for (std::size_t index = 0; index < users.size(); ++index) users[index] = index;
    std::stable_sort(users.begin(), users.end(), [](std::size_t a, std::size_t b) {
        return QString::fromStdString(UserData().Favorites[a]->FUserName)
                   .compare(QString::fromStdString(UserData().Favorites[b]->FUserName), Qt::CaseInsensitive) < 0;
    });
    userList->clear();
    for (std::size_t index : users) {
        const TFavoriteKW* favorite = UserData().Favorites[index].get();
        auto* item = new QListWidgetItem(QString::fromStdString(favorite->FUserName), userList);
        item->setData(Qt::UserRole, QVariant::fromValue(index));
        if (favorite == UserData().Unlocked || userList->currentItem() == nullptr) userList->setCurrentItem(item);
    }
    const bool any = userList->count() > 0;
    openButton->setEnabled(any);
    hintLabel->setText(any ? QStringLiteral("Choose your name:")
                           : QStringLiteral("No favorite code list yet: create yours with \"New User...\"."));
    if (any)
        userList->setFocus();
    else
        newUserButton->setFocus();
}

TFavoriteKW* TfrmFavoriteUser::SelectedUser() const {
    const QListWidgetItem* item = userList->currentItem();
    if (item == nullptr) return nullptr;
    const auto index = item->data(Qt::UserRole).value<std::size_t>();
    return index < UserData().Favorites.size() ? UserData().Favorites[index].get() : nullptr;
}

void TfrmFavoriteUser::OpenSelected() {
    TFavoriteKW* favorite = SelectedUser();
    if (favorite == nullptr) return;
    // The list unlocked this session opens without asking again.
    const bool unlocked =
        favorite == UserData().Unlocked && (!favorite->FFavoriteCodes.empty() || !favorite->FDamage.empty());
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
    QVBoxLayout* layout = SetUpDialog(this, titleLabel, QStringLiteral("Unlock Favorite Codes"));
    userLabel = new QLabel(QString::fromStdString(AFavorite.FUserName), this);
    userLabel->setFont(TahomaFont(16));
    passwordEdit = PasswordBox(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("User:"), userLabel);
    form->addRow(QStringLiteral("Password:"), passwordEdit);
    layout->addLayout(form);
    unlockButton = new QPushButton(QStringLiteral("Unlock"), this);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    layout->addLayout(ButtonRow({unlockButton, cancelButton}));
    NameWidgets({{titleLabel, "titleLabel"},
                 {userLabel, "userLabel"},
                 {passwordEdit, "passwordEdit"},
                 {unlockButton, "unlockButton"},
                 {cancelButton, "cancelButton"}});
    unlockButton->setDefault(true);
    connect(unlockButton, &QPushButton::clicked, this, &TfrmFavoriteUnlock::Unlock);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    passwordEdit->setFocus();
}

void TfrmFavoriteUnlock::Unlock() {
    TFavoriteOpen opened = TFavoriteOpen::Unreadable;
    {
        const TBusyCursor busy;
        opened = FFavorite.Open(passwordEdit->text().toStdString());
    }
    passwordEdit->clear();
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
    passwordEdit->setFocus();
}

// ---- New user ----------------------------------------------------------------------------

TfrmFavoriteNewUser::TfrmFavoriteNewUser(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFavoriteNewUser"));
    QVBoxLayout* layout = SetUpDialog(this, titleLabel, QStringLiteral("New Favorite Code List"));
    userNameEdit = new QLineEdit(this);
    userNameEdit->setMinimumWidth(260);
    passwordEdit = PasswordBox(this);
    passwordAgainEdit = PasswordBox(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("User name:"), userNameEdit);
    form->addRow(QStringLiteral("Password:"), passwordEdit);
    form->addRow(QStringLiteral("Password again:"), passwordAgainEdit);
    layout->addLayout(form);
    createButton = new QPushButton(QStringLiteral("Create"), this);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    layout->addLayout(ButtonRow({createButton, cancelButton}));
    NameWidgets({{titleLabel, "titleLabel"},
                 {userNameEdit, "userNameEdit"},
                 {passwordEdit, "passwordEdit"},
                 {passwordAgainEdit, "passwordAgainEdit"},
                 {createButton, "createButton"},
                 {cancelButton, "cancelButton"}});
    createButton->setDefault(true);
    connect(createButton, &QPushButton::clicked, this, &TfrmFavoriteNewUser::Create);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    userNameEdit->setFocus();
}

void TfrmFavoriteNewUser::Create() {
    if (passwordEdit->text() != passwordAgainEdit->text()) {
        Messages().ShowMessage(MsgFavoritePasswordsDiffer);
        passwordEdit->clear();
        passwordAgainEdit->clear();
        passwordEdit->setFocus();
        return;
    }
    TFavoriteCreate created = TFavoriteCreate::SaveFailed;
    {
        const TBusyCursor busy;
        created = CreateFavoriteUser(userNameEdit->text().toStdString(), passwordEdit->text().toStdString(),
                                     UserData().Folders.SharedData, UserData().Favorites, FCreated);
    }
    if (created == TFavoriteCreate::Created) {
        passwordEdit->clear();
        passwordAgainEdit->clear();
        accept();
        return;
    }
    Messages().ShowMessage(FavoriteCreateMessage(created, userNameEdit->text().trimmed().toStdString()));
    userNameEdit->setFocus();
    userNameEdit->selectAll();
}
