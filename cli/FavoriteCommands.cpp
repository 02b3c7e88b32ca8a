// The favourite code lists from the command line: list, add and remove codes of a user's list in
// the shared data folder, the same files the desktop program uses. The password is read from the
// terminal without echo, or from a file descriptor for scripts.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliData.h"
#include "cli/Commands.h"
#include "entry/CodeEntry.h"
#include "model/CodeLookup.h"
#include "model/CodeResolver.h"
#include "services/Folders.h"
#include "startup/LoadedData.h"
#include "userdata/Favorites.h"

namespace {

constexpr const char* FavoritesUsage =
    "  favorites [--password-fd N] list USER\n"
    "  favorites [--password-fd N] add USER CODE...\n"
    "  favorites [--password-fd N] remove USER CODE...\n"
    "      The favorite codes of USER (the lists the desktop program keeps in the shared data\n"
    "      folder): list prints them in their order, code, two blanks, description; add appends\n"
    "      categories and reportable codes not listed yet; remove takes codes out. Each change is\n"
    "      saved at once, all codes or none. The password is asked for on the terminal without\n"
    "      echo, or read as the first line of file descriptor N. Exit 0 done, 1 refused (unknown\n"
    "      user, wrong password, damaged list, code not allowed or not listed, save failed),\n"
    "      2 usage error.";

// One line from a descriptor, without its line end; null when nothing could be read.
std::optional<std::string> ReadLine(int descriptor) {
    std::string line;
    char c = 0;
    bool any = false;
    for (;;) {
        const ssize_t count = read(descriptor, &c, 1);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0 || c == '\n') break;
        any = true;
        line += c;
    }
    if (!any && c != '\n') return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// Asks on the controlling terminal with echo switched off.
std::optional<std::string> AskPassword(const std::string& userName) {
    const int terminal = open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (terminal < 0) return std::nullopt;
    const std::string prompt = "Password for " + userName + ": ";
    (void)!write(terminal, prompt.data(), prompt.size());
    termios saved{};
    const bool canHide = tcgetattr(terminal, &saved) == 0;
    if (canHide) {
        termios hidden = saved;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        hidden.c_lflag |= ECHONL;
        tcsetattr(terminal, TCSAFLUSH, &hidden);
    }
    std::optional<std::string> password = ReadLine(terminal);
    if (canHide) tcsetattr(terminal, TCSAFLUSH, &saved);
    close(terminal);
    return password;
}

std::string Description(const std::string& code) {
    if (code.size() == 3) {
        const TCodeInfo* category = LoadedData().CodeResolver().Resolve(code).FCategory;
        return category != nullptr ? category->FDesc : std::string();
    }
    const TCopyPlan plan = PlanCopy(LoadedData().CodeResolver(), code);
    return plan.FShowDialog ? std::string() : plan.FLongDesc;
}

int RunFavorites(const std::vector<std::string>& args) {
    std::size_t next = 0;
    int passwordDescriptor = -1;
    if (next < args.size() && (args[next] == "--help" || args[next] == "-h")) {
        std::printf("usage:\n%s\n", FavoritesUsage);
        return 0;
    }
    if (next + 1 < args.size() && args[next] == "--password-fd") {
        const std::string& text = args[next + 1];
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), passwordDescriptor);
        if (error != std::errc() || end != text.data() + text.size() || passwordDescriptor < 0) {
            std::fprintf(stderr, "favorites: --password-fd needs a descriptor number\n");
            return 2;
        }
        next += 2;
    }
    if (args.size() < next + 2) {
        std::fprintf(stderr, "usage:\n%s\n", FavoritesUsage);
        return 2;
    }
    const std::string action = args[next];
    const std::string userName = args[next + 1];
    const std::vector<std::string> codes(args.begin() + static_cast<long>(next) + 2, args.end());
    const bool listing = action == "list";
    if ((!listing && action != "add" && action != "remove") || listing != codes.empty()) {
        std::fprintf(stderr, "usage:\n%s\n", FavoritesUsage);
        return 2;
    }

    TFavoriteList users;
    TFavoriteKW::GetFavoriteList(SharedDataFolder(), users);
    TFavoriteKW* favorite = nullptr;
    for (const auto& user : users)
        if (user->FUserName == userName) favorite = user.get();
    if (favorite == nullptr) {
        std::fprintf(stderr, "favorites: there is no favorite list for \"%s\" in %s\n", userName.c_str(),
                     SharedDataFolder().c_str());
        return 1;
    }
    const std::optional<std::string> password =
        passwordDescriptor >= 0 ? ReadLine(passwordDescriptor) : AskPassword(userName);
    if (!password) {
        std::fprintf(stderr, "favorites: no password could be read (no terminal; use --password-fd)\n");
        return 2;
    }
    const TFavoriteOpen opened = favorite->Open(*password);
    if (opened == TFavoriteOpen::WrongPassword) {
        std::fprintf(stderr, "favorites: wrong password for \"%s\"\n", userName.c_str());
        return 1;
    }
    if (opened != TFavoriteOpen::Opened) {
        std::fprintf(stderr, "%s\n", FavoriteOpenMessage(opened, *favorite).c_str());
        return 1;
    }
    if (!LoadEmbeddedTabular()) return 1;
    if (listing) {
        for (const std::string& code : favorite->Codes())
            std::printf("%s  %s\n", code.c_str(), Description(code).c_str());
        return 0;
    }
    const bool adding = action == "add";
    const TFavoriteEditResult result = adding ? AddFavoriteCodes(LoadedData().CodeResolver(), *favorite, codes)
                                              : RemoveFavoriteCodes(*favorite, codes);
    const std::string message = FavoriteEditMessage(result, *favorite, adding);
    const bool changed = result.FOutcome == TFavoriteEdit::Done || result.FOutcome == TFavoriteEdit::AlreadyListed;
    std::fprintf(changed ? stdout : stderr, "%s\n", message.c_str());
    return changed ? 0 : 1;
}

}  // namespace

std::vector<TCliCommand> FavoriteCommands() {
    return {{"favorites", FavoritesUsage, RunFavorites}};
}
