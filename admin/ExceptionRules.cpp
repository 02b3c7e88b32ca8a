#include "admin/ExceptionRules.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <unordered_set>

#include "model/CodeLookup.h"

namespace {

constexpr int FirstRulePosition = 4;
constexpr int LastRulePosition = 6;

// A rule matches a dotted code when the code is long enough and has the character at the
// 0-based index equal to the position (the dot makes index and undotted position coincide).
bool RuleMatches(const TExceptionRule& ARule, const std::string& ACode) {
    const auto index = static_cast<std::size_t>(ARule.Position);
    return index < ACode.size() && ACode[index] == ARule.Value;
}

void CollectLeaves(const TCodeInfo& ANode, const TSevenCharDef* ADefinition, std::vector<const TCodeInfo*>& ALeaves) {
    if (ANode.FSubCodeList.empty()) {
        if (ANode.Get7CharDef() == ADefinition) ALeaves.push_back(&ANode);
        return;
    }
    for (const auto& child : ANode.FSubCodeList) {
        // A child with a definition of its own hands that one down instead.
        if (child->GetSelf7CharDef() == nullptr || child->GetSelf7CharDef() == ADefinition) {
            CollectLeaves(*child, ADefinition, ALeaves);
        }
    }
}

struct TDerivationWalk {
    const std::set<std::string>& listedCodes;
    const std::unordered_set<std::string>& generatedCodes;
    std::vector<TDerivedException> result;

    void VisitDefinition(const TCodeInfo& AOwner, const TSevenCharDef& ADefinition) {
        std::vector<const TCodeInfo*> leaves;
        CollectLeaves(AOwner, &ADefinition, leaves);
        for (std::size_t index = 0; index < ADefinition.FDefList.size(); ++index) {
            const TCharDef& character = *ADefinition.FDefList[index];
            std::vector<std::string> excluded;
            std::vector<std::string> kept;
            for (const TCodeInfo* leaf : leaves) {
                const std::string completed = CompletedCode(*leaf, character);
                if (!generatedCodes.count(completed)) {
                    throw std::runtime_error("the completion " + completed +
                                             " is not among the codes the Tabular List generates");
                }
                (listedCodes.count(completed) ? kept : excluded).push_back(leaf->FCode);
            }
            if (excluded.empty()) continue;
            try {
                result.push_back(
                    {AOwner.FCode, index, character.FChar, FormatExceptionRules(DeriveExceptionRules(excluded, kept))});
            } catch (const std::runtime_error& error) {
                throw std::runtime_error("seventh character \"" + character.FChar + "\" of " + AOwner.FCode + ": " +
                                         error.what());
            }
        }
    }

    void Visit(const TCodeInfo& ANode) {
        if (const TSevenCharDef* definition = ANode.GetSelf7CharDef()) VisitDefinition(ANode, *definition);
        if (ANode.FSubCodeList.empty() && ANode.Get7CharDef() == nullptr && !listedCodes.count(ANode.FCode)) {
            throw std::runtime_error(
                "the order file does not list the code " + ANode.FCode +
                ", and no seventh-character rule can leave out a code without a seventh character");
        }
        for (const auto& child : ANode.FSubCodeList) Visit(*child);
    }
};

}  // namespace

std::vector<TExceptionRule> DeriveExceptionRules(const std::vector<std::string>& AExcluded,
                                                 const std::vector<std::string>& AKept) {
    // Admissible rules: those that match no kept code.
    std::vector<TExceptionRule> admissible;
    for (int position = FirstRulePosition; position <= LastRulePosition; ++position) {
        std::array<bool, 256> usedByKept{};
        for (const auto& code : AKept) {
            if (static_cast<std::size_t>(position) < code.size())
                usedByKept[static_cast<unsigned char>(code[position])] = true;
        }
        std::array<bool, 256> usedByExcluded{};
        for (const auto& code : AExcluded) {
            if (static_cast<std::size_t>(position) < code.size()) {
                usedByExcluded[static_cast<unsigned char>(code[position])] = true;
            }
        }
        for (int value = 0; value < 256; ++value) {
            if (usedByExcluded[value] && !usedByKept[value]) admissible.push_back({position, static_cast<char>(value)});
        }
    }

    std::vector<bool> covered(AExcluded.size(), false);
    for (std::size_t i = 0; i < AExcluded.size(); ++i) {
        const bool explainable = std::any_of(admissible.begin(), admissible.end(), [&](const TExceptionRule& rule) {
            return RuleMatches(rule, AExcluded[i]);
        });
        if (!explainable) {
            throw std::runtime_error("no position:character rule leaves out " + AExcluded[i] +
                                     " without also leaving out a code the order file lists");
        }
    }

    std::vector<TExceptionRule> chosen;
    std::size_t remaining = AExcluded.size();
    while (remaining > 0) {
        // admissible is ordered by position, then character, so the first best wins ties.
        std::size_t bestCount = 0;
        const TExceptionRule* best = nullptr;
        for (const auto& rule : admissible) {
            std::size_t count = 0;
            for (std::size_t i = 0; i < AExcluded.size(); ++i) {
                if (!covered[i] && RuleMatches(rule, AExcluded[i])) ++count;
            }
            if (count > bestCount) {
                bestCount = count;
                best = &rule;
            }
        }
        for (std::size_t i = 0; i < AExcluded.size(); ++i) {
            if (!covered[i] && RuleMatches(*best, AExcluded[i])) covered[i] = true;
        }
        remaining -= bestCount;
        chosen.push_back(*best);
    }
    std::sort(chosen.begin(), chosen.end(), [](const TExceptionRule& a, const TExceptionRule& b) {
        return a.Position != b.Position ? a.Position < b.Position
                                        : static_cast<unsigned char>(a.Value) < static_cast<unsigned char>(b.Value);
    });
    return chosen;
}

std::string FormatExceptionRules(const std::vector<TExceptionRule>& ARules) {
    std::string text;
    for (const auto& rule : ARules) {
        if (!text.empty()) text += ';';
        text += std::to_string(rule.Position) + ":" + rule.Value;
    }
    return text;
}

std::vector<TDerivedException> DeriveTabularExceptions(const TChapterList& AChapters,
                                                       const std::set<std::string>& AListedCodes) {
    std::unordered_set<std::string> generated;
    for (const auto& chapter : AChapters) {
        for (const auto& section : chapter->FSubList) {
            for (const auto& category : section->FCodeList) {
                TStringList codes;
                TStringList descriptions;
                category->GetAllValideCodes(codes, descriptions);
                generated.insert(codes.begin(), codes.end());
            }
        }
    }
    TDerivationWalk walk{AListedCodes, generated, {}};
    for (const auto& chapter : AChapters) {
        for (const auto& section : chapter->FSubList) {
            for (const auto& category : section->FCodeList) walk.Visit(*category);
        }
    }
    for (const auto& code : AListedCodes) {
        if (!generated.count(code)) {
            throw std::runtime_error("the order file lists " + code + ", which the Tabular List cannot generate");
        }
    }
    return walk.result;
}
