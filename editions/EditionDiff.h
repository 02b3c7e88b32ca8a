// What changed between two editions, from their order files: reportable codes added, deleted
// (including a code that became a header because it gained children) and revised (long title
// changed), and categories added and deleted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class TChangeKind { CategoryAdded, CategoryDeleted, Added, Deleted, Revised };

// "category-added", "category-deleted", "added", "deleted", "revised".
const char* ChangeKindWord(TChangeKind AKind);

struct TEditionChange {
    TChangeKind Kind = TChangeKind::Added;
    std::string Code;      // dotted
    std::string OldTitle;  // empty for an addition
    std::string NewTitle;  // empty for a deletion
};

// The changes from AFromOrder to AToOrder (two order-file texts): categories added, categories
// deleted, codes added, deleted, revised; each kind in tabular order.
std::vector<TEditionChange> DiffOrderFiles(std::string_view AFromOrder, std::string_view AToOrder);

// "kind TAB code TAB old title TAB new title" (tabs in titles become blanks), without a line end.
std::string FormatChange(const TEditionChange& AChange);
