// Favourite code lists: one plain-text file per user in the shared data folder, named after the
// Base64 form of the user name plus ".fvxml". Line 1 is the password line (the Base64 form of the
// password, reversed), every further line one favourite code. Lines end in CR LF. Texts are
// taken as their UTF-8 bytes.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TFavoriteKW {
public:
    // A record for an existing file; the codes are read by LoadKWs.
    TFavoriteKW(std::string AUserName, std::string AFileName);
    // A record for a new list in folder AFilePath; holds only the password line until codes are
    // added. A name whose Base64 form holds "/" or a line break gets no file name (CanSave false).
    TFavoriteKW(std::string AUserName, std::string_view APlainPassword, std::string_view AFilePath);

    std::string FUserName;
    std::string FFileName;
    std::vector<std::string> FFavoriteCodes;  // [0] the password line, then one code per entry

    // Appends one record per "*.fvxml" file (extension in any case) of folder AFilePath to
    // AFovoriteInfoList. A missing folder adds nothing; sub-folders and files whose name is not
    // canonical Base64 are skipped.
    static void GetFavoriteList(std::string_view AFilePath,
                                std::vector<std::unique_ptr<TFavoriteKW>>& AFovoriteInfoList);

    // Reads the file unless the list is already in memory and checks the password. A wrong
    // password empties the list (so a later call reads the file again); a missing, unreadable or
    // empty file gives false.
    bool LoadKWs(std::string_view APlainPassword);
    // Writes the list, password line first, replacing the file as a whole (written to a
    // temporary file that is then renamed over it). False, and the old file untouched, when the
    // file cannot be written or the user name gives no usable file name.
    bool SaveKWs() const;
    // False when the record has no file name (see the second constructor).
    bool CanSave() const;
};

using TFavoriteList = std::vector<std::unique_ptr<TFavoriteKW>>;
extern TFavoriteList FavoriteList;

// Base64 (RFC 4648 alphabet, "=" padding) of the bytes of a text, with CR LF after every 76
// output characters.
std::string EncodeBase64(std::string_view text);
// The reverse; null when the text is not valid Base64 (CR and LF are ignored).
std::optional<std::string> DecodeBase64(std::string_view text);
// The password line stored for a plain password: its Base64 form, reversed. Kept on one line
// (no CR LF after 76 characters) so that passwords longer than 57 bytes survive a save.
std::string PasswordLine(std::string_view APlainPassword);
// File name (without folder) for a user: Base64 of the name + ".fvxml".
std::string FavoriteFileName(std::string_view AUserName);
