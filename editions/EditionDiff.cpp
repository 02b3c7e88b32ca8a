#include "editions/EditionDiff.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

#include "admin/OrderFile.h"
#include "editions/Editions.h"

namespace {

struct TLine {
    bool Reportable = false;
    std::string Title;
};

// The entries of an order file in file order, and by code.
struct TOrder {
    std::vector<TOrderFileEntry> Entries;
    std::unordered_map<std::string, TLine> ByCode;
};

TOrder ReadOrder(std::string_view AText) {
    TOrder order;
    order.Entries = ParseOrderFile(AText);
    order.ByCode.reserve(order.Entries.size());
    for (const auto& entry : order.Entries) order.ByCode[entry.Code] = {entry.Flag == '1', entry.LongDesc};
    return order;
}

std::string WithoutTabs(std::string text) {
    std::replace(text.begin(), text.end(), '\t', ' ');
    return text;
}

}  // namespace

const char* ChangeKindWord(TChangeKind AKind) {
    switch (AKind) {
        case TChangeKind::CategoryAdded:
            return "category-added";
        case TChangeKind::CategoryDeleted:
            return "category-deleted";
        case TChangeKind::Added:
            return "added";
        case TChangeKind::Deleted:
            return "deleted";
        case TChangeKind::Revised:
            return "revised";
    }
    return "";
}

std::vector<TEditionChange> DiffOrderFiles(std::string_view AFromOrder, std::string_view AToOrder) {
    const TOrder from = ReadOrder(AFromOrder);
    const TOrder to = ReadOrder(AToOrder);
    std::vector<TEditionChange> categoriesAdded, categoriesDeleted, added, deleted, revised;
    for (const auto& entry : to.Entries) {
        const auto old = from.ByCode.find(entry.Code);
        const bool category = entry.Code.size() == 3;
        if (category && old == from.ByCode.end())
            categoriesAdded.push_back({TChangeKind::CategoryAdded, entry.Code, {}, entry.LongDesc});
        if (entry.Flag != '1') continue;
        if (old == from.ByCode.end() || !old->second.Reportable) {
            added.push_back({TChangeKind::Added, entry.Code, {}, entry.LongDesc});
        } else if (old->second.Title != entry.LongDesc) {
            revised.push_back({TChangeKind::Revised, entry.Code, old->second.Title, entry.LongDesc});
        }
    }
    for (const auto& entry : from.Entries) {
        const auto now = to.ByCode.find(entry.Code);
        if (entry.Code.size() == 3 && now == to.ByCode.end())
            categoriesDeleted.push_back({TChangeKind::CategoryDeleted, entry.Code, entry.LongDesc, {}});
        if (entry.Flag == '1' && (now == to.ByCode.end() || !now->second.Reportable))
            deleted.push_back({TChangeKind::Deleted, entry.Code, entry.LongDesc, {}});
    }
    std::vector<TEditionChange> changes;
    for (auto* kind : {&categoriesAdded, &categoriesDeleted, &added, &deleted, &revised})
        changes.insert(changes.end(), std::make_move_iterator(kind->begin()), std::make_move_iterator(kind->end()));
    return changes;
}

std::vector<TEditionChange> DiffEditions(const TEditionInfo& AFrom, const TEditionInfo& ATo,
                                         const TResourceProvider& AProgram) {
    std::string orders[2];
    const TEditionInfo* editions[2] = {&AFrom, &ATo};
    for (std::size_t i = 0; i < 2; ++i) {
        try {
            orders[i] = EditionOrderText(*OpenEditionResources(*editions[i], AProgram));
        } catch (const std::exception& error) {
            throw std::runtime_error("edition " + editions[i]->Id + ": " + error.what());
        }
    }
    return DiffOrderFiles(orders[0], orders[1]);
}

bool ChangeInNewerEdition(TChangeKind AKind) {
    return AKind == TChangeKind::Added || AKind == TChangeKind::Revised || AKind == TChangeKind::CategoryAdded;
}

std::string FormatChange(const TEditionChange& AChange) {
    return std::string(ChangeKindWord(AChange.Kind)) + "\t" + AChange.Code + "\t" + WithoutTabs(AChange.OldTitle) +
           "\t" + WithoutTabs(AChange.NewTitle);
}
