#include "admin/ExceptionRules.h"

#include <algorithm>
#include <array>
#include <set>
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

// Rules that match no kept code, ordered by position, then character.
std::vector<TExceptionRule> AdmissibleRules(const std::vector<std::string>& AExcluded,
                                            const std::vector<std::string>& AKept) {
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
    return admissible;
}

bool Explainable(const std::vector<TExceptionRule>& AAdmissible, const std::string& ACode) {
    return std::any_of(AAdmissible.begin(), AAdmissible.end(),
                       [&](const TExceptionRule& rule) { return RuleMatches(rule, ACode); });
}

struct TDerivationWalk {
    const std::set<std::string>& listedCodes;
    const std::unordered_set<std::string>& generatedCodes;
    TExceptionReport* report;  // null: strict
    std::vector<TDerivedException> result;

    // The leaves split by whether the completion with ACharacter is listed; AOwnLeaves are left out.
    void Split(const std::vector<const TCodeInfo*>& ALeaves, const std::set<const TCodeInfo*>& AOwnLeaves,
               const TCharDef& ACharacter, std::vector<std::string>& AExcluded, std::vector<std::string>& AKept) const {
        for (const TCodeInfo* leaf : ALeaves) {
            if (AOwnLeaves.count(leaf)) continue;
            const std::string completed = CompletedCode(*leaf, ACharacter);
            if (!generatedCodes.count(completed)) {
                throw std::runtime_error("the completion " + completed +
                                         " is not among the codes the Tabular List generates");
            }
            (listedCodes.count(completed) ? AKept : AExcluded).push_back(leaf->FCode);
        }
    }

    // Tolerant: the leaves that no rule set can describe, found until no more turn up (leaving a
    // leaf out of the kept codes can only admit more rules).
    std::set<const TCodeInfo*> LeavesNeedingOwnDefinition(const std::vector<const TCodeInfo*>& ALeaves,
                                                          const TSevenCharDef& ADefinition) const {
        std::set<const TCodeInfo*> own;
        if (report == nullptr) return own;
        for (bool grew = true; grew;) {
            grew = false;
            for (const auto& character : ADefinition.FDefList) {
                std::vector<std::string> excluded;
                std::vector<std::string> kept;
                Split(ALeaves, own, *character, excluded, kept);
                const std::vector<TExceptionRule> admissible = AdmissibleRules(excluded, kept);
                for (const TCodeInfo* leaf : ALeaves) {
                    if (own.count(leaf) || listedCodes.count(CompletedCode(*leaf, *character))) continue;
                    if (!Explainable(admissible, leaf->FCode)) grew = own.insert(leaf).second || grew;
                }
            }
        }
        return own;
    }

    void VisitDefinition(const TCodeInfo& AOwner, const TSevenCharDef& ADefinition) {
        std::vector<const TCodeInfo*> leaves;
        CollectLeaves(AOwner, &ADefinition, leaves);
        const std::set<const TCodeInfo*> own = LeavesNeedingOwnDefinition(leaves, ADefinition);
        for (std::size_t index = 0; index < ADefinition.FDefList.size(); ++index) {
            const TCharDef& character = *ADefinition.FDefList[index];
            std::vector<std::string> excluded;
            std::vector<std::string> kept;
            Split(leaves, own, character, excluded, kept);
            if (excluded.empty()) continue;
            try {
                result.push_back(
                    {AOwner.FCode, index, character.FChar, FormatExceptionRules(DeriveExceptionRules(excluded, kept))});
            } catch (const std::runtime_error& error) {
                throw std::runtime_error("seventh character \"" + character.FChar + "\" of " + AOwner.FCode + ": " +
                                         error.what());
            }
        }
        for (const TCodeInfo* leaf : leaves) {
            if (!own.count(leaf)) continue;
            TLeafDefinition definition{leaf->FCode, AOwner.FCode, {}};
            for (std::size_t index = 0; index < ADefinition.FDefList.size(); ++index) {
                if (listedCodes.count(CompletedCode(*leaf, *ADefinition.FDefList[index])))
                    definition.CharIndexes.push_back(index);
            }
            report->LeafDefinitions.push_back(std::move(definition));
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
    const std::vector<TExceptionRule> admissible = AdmissibleRules(AExcluded, AKept);
    std::vector<bool> covered(AExcluded.size(), false);
    for (const auto& code : AExcluded) {
        if (!Explainable(admissible, code)) {
            throw std::runtime_error("no position:character rule leaves out " + code +
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
                                                       const std::set<std::string>& AListedCodes,
                                                       TExceptionReport* AReport) {
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
    TDerivationWalk walk{AListedCodes, generated, AReport, {}};
    for (const auto& chapter : AChapters) {
        for (const auto& section : chapter->FSubList) {
            for (const auto& category : section->FCodeList) walk.Visit(*category);
        }
    }
    for (const auto& code : AListedCodes) {
        if (!generated.count(code)) {
            if (AReport != nullptr) {
                AReport->UnknownListedCodes.push_back(code);
                continue;
            }
            throw std::runtime_error("the order file lists " + code + ", which the Tabular List cannot generate");
        }
    }
    return walk.result;
}
