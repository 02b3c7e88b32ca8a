// Favourite code lists: one plain-text file per user in the shared data folder, named after the
// Base64 form of the user name plus ".fvxml". Line 1 is the password line (FavoritePassword.h),
// every further line one favourite code. Lines end in CR LF. Texts are taken as their UTF-8 bytes.
// Also here: the rule for which codes may be listed, adding and removing codes with an immediate
// all-or-nothing save, creating a user, and the texts that tell the user about each outcome.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/CodeResolver.h"

// Why opening a list did or did not give its codes.
enum class TFavoriteOpen {
    Opened,         // the password fits; FFavoriteCodes holds the list
    WrongPassword,  // the record stays empty, so a later attempt reads the file again
    Unreadable,     // missing or unreadable file, or a record without a file name
    Damaged,        // the file is not a favourite list (FDamage says why); shown as an empty list
};

class TFavoriteKW {
public:
    // A record for an existing file; the codes are read by LoadKWs.
    TFavoriteKW(std::string AUserName, std::string AFileName);
    // A record for a new list in folder AFilePath; holds only the password line (hashed) until
    // codes are added. A name whose Base64 form holds "/" or a line break gets no file name
    // (CanSave false).
    TFavoriteKW(std::string AUserName, std::string_view APlainPassword, std::string_view AFilePath);

    std::string FUserName;
    std::string FFileName;
    std::vector<std::string> FFavoriteCodes;  // [0] the password line, then one code per entry
    // Set when the file was found damaged: why, in words. Such a file is never written over.
    std::string FDamage;

    // Appends one record per "*.fvxml" entry (extension in any case) of folder AFilePath to
    // AFovoriteInfoList, whatever its kind: a folder or FIFO of that name is a list that cannot be
    // read, not a missing one. A missing folder adds nothing; names that are not canonical Base64
    // are skipped.
    static void GetFavoriteList(std::string_view AFilePath,
                                std::vector<std::unique_ptr<TFavoriteKW>>& AFovoriteInfoList);

    // Reads the file unless the list is already in memory and checks the password (either form).
    // A list opened with a password in the older form, or a hash of lower cost, gets a new hash
    // line in memory, written by the next save. A wrong password empties the list. A file larger
    // than MaxFavoriteFileBytes, without a password line, or with a line that is no code text is
    // Damaged (a code line in any form the code resolver reads is kept in its canonical form): the record stays empty
    // and the file untouched.
    TFavoriteOpen Open(std::string_view APlainPassword);
    // Open(...) == Opened.
    bool LoadKWs(std::string_view APlainPassword);
    // Writes the list, password line first, replacing the file as a whole (through the safe-save
    // function) readable by its owner only. False, and the old file untouched, when the file
    // cannot be written, the record holds no password line, the file was found damaged or the
    // user name gives no usable file name.
    bool SaveKWs() const;
    // False when the record has no file name (see the second constructor).
    bool CanSave() const;
    // The codes of an opened list (FFavoriteCodes without the password line).
    std::vector<std::string> Codes() const;
};

using TFavoriteList = std::vector<std::unique_ptr<TFavoriteKW>>;

inline constexpr std::size_t MaxFavoriteFileBytes = 1024 * 1024;

// Base64 (RFC 4648 alphabet, "=" padding) of the bytes of a text, with CR LF after every 76
// output characters.
std::string EncodeBase64(std::string_view text);
// The reverse; null when the text is not valid Base64 (CR and LF are ignored).
std::optional<std::string> DecodeBase64(std::string_view text);
// File name (without folder) for a user: Base64 of the name + ".fvxml".
std::string FavoriteFileName(std::string_view AUserName);

// ---- Which codes a list may hold -----------------------------------------------------------

// A typed or selected code as a list keeps it: trimmed, in capitals, the full stop after the
// third character added when missing ("s52521a" -> "S52.521A"), as the code resolver writes codes;
// a text that is not shaped like a code is only trimmed and capitalised.
std::string CanonicalFavoriteCode(std::string_view AText);
// True when ACode (canonical) is a category or a reportable code of the edition AResolver answers for.
bool MayAddFavoriteCode(const TCodeResolver& AResolver, std::string_view ACode);

// ---- Changing a list -----------------------------------------------------------------------

enum class TFavoriteEdit {
    Done,           // changed and saved
    AlreadyListed,  // add: every code was listed already; nothing saved
    NotListed,      // remove: FCode is not in the list; nothing changed
    NotAllowed,     // add: FCode is neither a category nor a reportable code; nothing changed
    SaveFailed,     // the file could not be written; the list in memory is as it was
    NotOpen,        // the list is not opened or its file was found damaged; nothing changed
};
struct TFavoriteEditResult {
    TFavoriteEdit FOutcome = TFavoriteEdit::NotOpen;
    std::string FCode;  // the code(s) the outcome is about, canonical, separated by ", "
};

// Adds the codes not listed yet at the end, in the given order, and saves at once. When one of
// them may not be listed nothing is added.
TFavoriteEditResult AddFavoriteCodes(const TCodeResolver& AResolver, TFavoriteKW& AFavorite,
                                     const std::vector<std::string>& ACodes);
// Removes the codes and saves at once. When one of them is not listed nothing is removed.
TFavoriteEditResult RemoveFavoriteCodes(TFavoriteKW& AFavorite, const std::vector<std::string>& ACodes);

// Puts a removed code back at APosition among the codes (0 the first; past the end: last) and saves
// at once; AlreadyListed when it is listed again already.
TFavoriteEditResult RestoreFavoriteCode(const TCodeResolver& AResolver, TFavoriteKW& AFavorite,
                                        const std::string& ACode, std::size_t APosition);

enum class TFavoriteCreate { Created, EmptyName, NameTaken, NameUnusable, SaveFailed };
// Creates a new user's list (name trimmed of blanks) in AFolder, saves it at once and appends it to
// AList; ACreated points at the new record. A name that is listed already or whose file exists
// is taken; a name whose Base64 form cannot stand in a file name is unusable.
TFavoriteCreate CreateFavoriteUser(std::string_view AUserName, std::string_view APlainPassword,
                                   std::string_view AFolder, TFavoriteList& AList, TFavoriteKW*& ACreated);

// ---- What the user is told -------------------------------------------------------------------

inline constexpr const char* MsgFavoriteWrongPassword = "Wrong password, please try again.";
inline constexpr const char* MsgFavoritePasswordsDiffer = "The two passwords are not the same.";
inline constexpr const char* MsgNoFavoriteUnlocked =
    "No favorite code list is unlocked: open yours with \"Favorite Codes\" in the main window first.";
// The message for an opening that did not give a usable list (empty for Opened and WrongPassword).
std::string FavoriteOpenMessage(TFavoriteOpen AOpen, const TFavoriteKW& AFavorite);
// What the launcher says at start about lists that exist but cannot be opened (not a regular file,
// too large, not readable though the user owns it); empty when there is none. Lists of other
// accounts in a shared folder, unreadable by design, are not mentioned.
std::string FavoriteFilesNotice(const TFavoriteList& AList);
// The message for a change ("Added to the favorite codes of ann: A00.0." for Done).
std::string FavoriteEditMessage(const TFavoriteEditResult& AResult, const TFavoriteKW& AFavorite, bool AAdding);
// The message for creating a user (empty for Created).
std::string FavoriteCreateMessage(TFavoriteCreate ACreate, std::string_view AUserName);
