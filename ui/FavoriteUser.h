// The way into the favourite code lists: TfrmFavoriteUser lists the users found at start-up and
// lets the coder pick their name or create a new list (TfrmFavoriteNewUser: name and password
// twice); TfrmFavoriteUnlock asks for the password of the chosen list. The unlocked list becomes
// UnlockedFavorite (Favorites.h) for the rest of the session.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TFavoriteKW;

// Runs the user choice modally; true when a list is unlocked at the end.
bool ChooseFavoriteUser(QWidget* AParent);

class TfrmFavoriteUser : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFavoriteUser(QWidget* parent = nullptr);

    QLabel* lbTitle = nullptr;
    QLabel* lbHint = nullptr;
    QListWidget* lvUsers = nullptr;
    QPushButton* btnOpen = nullptr;
    QPushButton* btnNewUser = nullptr;
    QPushButton* btnCancel = nullptr;

    // The user of the selected row (null when none).
    TFavoriteKW* SelectedUser() const;
    // Unlocks the selected user's list (asking for the password unless it is unlocked already);
    // closes the dialog with Accepted when it is.
    void OpenSelected();
    // Creates a new user and closes with Accepted when the list was made.
    void NewUser();

private:
    void FillUsers();
};

class TfrmFavoriteUnlock : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFavoriteUnlock(TFavoriteKW& AFavorite, QWidget* parent = nullptr);

    QLabel* lbTitle = nullptr;
    QLabel* lbUser = nullptr;
    QLineEdit* edtPassword = nullptr;
    QPushButton* btnUnlock = nullptr;
    QPushButton* btnCancel = nullptr;

    // Checks the typed password: a wrong one is said and the dialog stays open for another try;
    // a damaged list is said and opens empty.
    void Unlock();

private:
    TFavoriteKW& FFavorite;
};

class TfrmFavoriteNewUser : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFavoriteNewUser(QWidget* parent = nullptr);

    QLabel* lbTitle = nullptr;
    QLineEdit* edtUserName = nullptr;
    QLineEdit* edtPassword = nullptr;
    QLineEdit* edtPassword2 = nullptr;
    QPushButton* btnCreate = nullptr;
    QPushButton* btnCancel = nullptr;
    // The list made (an entry of FavoriteList) after an Accepted result.
    TFavoriteKW* FCreated = nullptr;

    // Checks the entries and makes the list; what stands in the way is said and the dialog stays.
    void Create();
};
