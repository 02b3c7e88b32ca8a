#include "userdata/UserData.h"

std::string UserFilesNotice(const TUserData& AUser) {
    std::string notice;
    for (const std::string& part :
         {UserConfigNotice(AUser.Settings, AUser.Folders), SearchHistoryNotice(AUser.History, AUser.Folders),
          FavoriteFilesNotice(AUser.Favorites)}) {
        if (part.empty()) continue;
        if (!notice.empty()) notice += '\n';
        notice += part;
    }
    return notice;
}
