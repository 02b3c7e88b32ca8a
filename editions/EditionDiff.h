// What changed between two editions, from their order files: reportable codes added, deleted
// (including a code that became a header because it gained children) and revised (long title
// changed), and categories added and deleted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TEditionInfo;
class TResourceProvider;

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

// The changes from edition AFrom to edition ATo, from their order files (the embedded edition's
// comes from AProgram). Throws std::runtime_error "edition ID: why" when one cannot be read.
std::vector<TEditionChange> DiffEditions(const TEditionInfo& AFrom, const TEditionInfo& ATo,
                                         const TResourceProvider& AProgram);

// Where the code of a change exists as the change describes it: an added or revised code and an
// added category in the newer edition, a deleted code or category in the older one.
bool ChangeInNewerEdition(TChangeKind AKind);

// "kind TAB code TAB old title TAB new title" (tabs in titles become blanks), without a line end.
std::string FormatChange(const TEditionChange& AChange);
