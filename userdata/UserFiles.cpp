#include "userdata/UserFiles.h"

#include "userdata/Config.h"
#include "userdata/Favorites.h"
#include "userdata/SearchHistory.h"

std::string UserFilesNotice() {
    std::string notice;
    for (const std::string& part : {UserConfigNotice(), SearchHistoryNotice(), FavoriteFilesNotice(FavoriteList)}) {
        if (part.empty()) continue;
        if (!notice.empty()) notice += '\n';
        notice += part;
    }
    return notice;
}
