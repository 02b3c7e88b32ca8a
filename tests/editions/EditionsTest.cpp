// Member names, dates of service and the edition in effect on them.
#include <gtest/gtest.h>

#include "editions/Editions.h"
#include "editions/ReleaseFiles.h"
#include "editions/ZipMembers.h"

TEST(ParseMemberName, PublishedNamesOfEveryYearAndUpdate) {
    struct TCase {
        const char* name;
        bool member;
        TMemberKind kind;
        int year;
        int month;
    };
    const TCase cases[] = {
        {"icd10cm_tabular_2021.xml", true, TMemberKind::Tabular, 2021, 0},
        {"icd10cm-tabular-2026.xml", true, TMemberKind::Tabular, 2026, 0},
        {"icd10cm_order_2023.txt", true, TMemberKind::Order, 2023, 0},
        {"icd10cm-order-April-2024.txt", true, TMemberKind::Order, 2024, 4},
        {"icd10cm_eindex_2024_April1.xml", true, TMemberKind::ExternalIndex, 2024, 4},
        {"ICD10CM_INDEX_2017.XML.gz", true, TMemberKind::DiseaseIndex, 2017, 0},
        {"icd10cm_neoplasm_2022.xml", true, TMemberKind::Neoplasms, 2022, 0},
        {"icd10cm-drug-2025.xml", true, TMemberKind::Drugs, 2025, 0},
        {"icd10cm_order_2023.xml", false, TMemberKind::Order, 0, 0},      // order file must be text
        {"icd10cm_tabular_2023.txt", false, TMemberKind::Tabular, 0, 0},  // tabular must be XML
        {"icd10cm_order_addenda_2023.txt", false, TMemberKind::Order, 0, 0},
        {"icd10cm_codes_2023.txt", false, TMemberKind::Order, 0, 0},
        {"icd10cm_tabular_2023.xml.bak", false, TMemberKind::Order, 0, 0},
    };
    for (const auto& test : cases) {
        const auto name = ParseMemberName(test.name);
        ASSERT_EQ(name.has_value(), test.member) << test.name;
        if (!name) continue;
        EXPECT_EQ(name->Kind, test.kind) << test.name;
        EXPECT_EQ(name->Year, test.year) << test.name;
        EXPECT_EQ(name->Month, test.month) << test.name;
    }
}

TEST(UnsafeMemberName, RefusesNamesThatLeaveTheFolder) {
    for (const char* name : {"../x.xml", "a/../../x.xml", "/etc/passwd", "a\\..\\x.xml", "C:x.xml", "..", ""})
        EXPECT_TRUE(UnsafeMemberName(name)) << name;
    for (const char* name : {"a/b/icd10cm_tabular_2022.xml", "..a/x.xml", "a..b.xml"})
        EXPECT_FALSE(UnsafeMemberName(name)) << name;
}

TEST(ParseDate, IsoAndUsDatesThatExist) {
    EXPECT_EQ(ParseDate("2021-06-30"), (TDate{2021, 6, 30}));
    EXPECT_EQ(ParseDate("06/30/2021"), (TDate{2021, 6, 30}));
    EXPECT_EQ(ParseDate("2020-02-29"), (TDate{2020, 2, 29}));
    for (const char* text : {"2021-02-29", "2021-13-01", "2021-6-30", "30/06/2021", "2021-06-30x", "", "yesterday"})
        EXPECT_FALSE(ParseDate(text).has_value()) << text;
}

TEST(EditionInEffect, FiscalYearsAndMidYearUpdates) {
    std::vector<TEditionInfo> editions{EmbeddedEdition()};
    TEditionInfo fy2022;
    fy2022.Id = "2022";
    fy2022.Year = 2022;
    fy2022.EffectiveFrom = {2021, 10, 1};
    TEditionInfo update2022 = fy2022;
    update2022.Id = "2022-04";
    update2022.EffectiveFrom = {2022, 4, 1};
    editions.push_back(fy2022);
    editions.push_back(update2022);
    const std::pair<const char*, const char*> cases[] = {
        {"2020-10-01", "2021"},    {"2021-06-30", "2021"}, {"2021-09-30", "2021"},
        {"2021-10-01", "2022"},    {"2022-03-31", "2022"}, {"2022-04-01", "2022-04"},
        {"2022-09-30", "2022-04"}, {"2020-09-30", ""},     {"2022-10-01", ""},
    };
    for (const auto& [date, id] : cases) {
        const auto edition = EditionInEffect(editions, *ParseDate(date));
        EXPECT_EQ(edition ? edition->Id : "", id) << date;
    }
    const std::string message = NoEditionMessage(editions, {2019, 5, 1});
    EXPECT_NE(message.find("2019-05-01"), std::string::npos) << message;
    EXPECT_NE(message.find("2021 embedded (2020-10-01 to 2021-09-30)"), std::string::npos) << message;
    EXPECT_NE(message.find("2022-04 (2022-04-01 to 2022-09-30)"), std::string::npos) << message;
}
