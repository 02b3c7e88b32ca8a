// The way into the favourite code lists: TfrmFavoriteUser lists the users found at start-up and
// lets the coder pick their name or create a new list (TfrmFavoriteNewUser: name and password
// twice); TfrmFavoriteUnlock asks for the password of the chosen list. The unlocked list becomes
// UserData().Unlocked for the rest of the session.
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

    // The user of the selected row (null when none).
    TFavoriteKW* SelectedUser() const;
    // Unlocks the selected user's list (asking for the password unless it is unlocked already);
    // closes the dialog with Accepted when it is.
    void OpenSelected();
    // Creates a new user and closes with Accepted when the list was made.
    void NewUser();

private:
    void FillUsers();
    QLabel* titleLabel = nullptr;
    QLabel* hintLabel = nullptr;
    QListWidget* userList = nullptr;
    QPushButton* openButton = nullptr;
    QPushButton* newUserButton = nullptr;
    QPushButton* cancelButton = nullptr;
};

class TfrmFavoriteUnlock : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFavoriteUnlock(TFavoriteKW& AFavorite, QWidget* parent = nullptr);

    // Checks the typed password: a wrong one is said and the dialog stays open for another try;
    // a damaged list is said and opens empty.
    void Unlock();

private:
    TFavoriteKW& FFavorite;
    QLabel* titleLabel = nullptr;
    QLabel* userLabel = nullptr;
    QLineEdit* passwordEdit = nullptr;
    QPushButton* unlockButton = nullptr;
    QPushButton* cancelButton = nullptr;
};

class TfrmFavoriteNewUser : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFavoriteNewUser(QWidget* parent = nullptr);

    // The list made (an entry of UserData().Favorites) after an Accepted result.
    TFavoriteKW* FCreated = nullptr;

    // Checks the entries and makes the list; what stands in the way is said and the dialog stays.
    void Create();

private:
    QLabel* titleLabel = nullptr;
    QLineEdit* userNameEdit = nullptr;
    QLineEdit* passwordEdit = nullptr;
    QLineEdit* passwordAgainEdit = nullptr;
    QPushButton* createButton = nullptr;
    QPushButton* cancelButton = nullptr;
};
