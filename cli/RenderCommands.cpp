// Render sub-command: lays a category out as the Tabular Search window would and prints one page
// with each line's kind digit, so the layout can be checked by eye.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/CliData.h"
#include "cli/Commands.h"
#include "entry/CodeEntry.h"
#include "model/CodeResolver.h"
#include "render/CodeTextPager.h"
#include "services/DataSets.h"
#include "services/TextUtil.h"
#include "startup/LoadedData.h"

namespace {

constexpr const char* ShowUsage =
    "  show CODE [--width N] [--lines N] [--page N]\n"
    "                             lay out the category of CODE at N characters per line (90) and N\n"
    "                             lines per page (16) and print the page holding CODE (or page N):\n"
    "                             a \"page p/n\" line, then one line per text line: kind digit, '|',\n"
    "                             the text; the underlined code's line is marked with '_' after the digit";

int UsageError() {
    std::fprintf(stderr, "usage:\n%s\n", ShowUsage);
    return 2;
}

// Strict positive integer option value.
bool ParsePositive(const std::string& text, int& value) {
    if (text.empty() || text.size() > 6) return false;
    for (char character : text) {
        if (character < '0' || character > '9') return false;
    }
    value = std::atoi(text.c_str());
    return value > 0;
}

int RunShow(const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::printf("usage:\n%s\n", ShowUsage);
        return 0;
    }
    std::string codeText;
    int width = 90;
    int linesPerPage = 16;
    int page = 0;
    for (std::size_t index = 0; index < args.size(); ++index) {
        const std::string& arg = args[index];
        int* target = arg == "--width" ? &width : arg == "--lines" ? &linesPerPage : arg == "--page" ? &page : nullptr;
        if (target) {
            if (index + 1 >= args.size() || !ParsePositive(args[index + 1], *target)) return UsageError();
            ++index;
        } else if (codeText.empty() && !arg.starts_with("--")) {
            codeText = arg;
        } else {
            return UsageError();
        }
    }
    if (codeText.empty()) return UsageError();
    // The window never lays out below 20 columns or 10 lines; the layout itself works at any size.
    if (!NormalizeCodeText(codeText)) {
        std::fprintf(stderr, "show: \"%s\" is not a code text\n", codeText.c_str());
        return 2;
    }
    if (!LoadEmbeddedTabular()) std::fprintf(stderr, "show: the Tabular List did not load completely\n");
    // Shown as go to code shows it: a seventh-character code at the code it belongs to.
    const TGoToCodePlan codePlan = PlanGoToCode(LoadedData().CodeResolver(), codeText);
    if (codePlan.FCategory == nullptr) {
        std::fprintf(stderr, "Code is not exist!\n");
        return 1;
    }
    if (codePlan.FStep == TGoToCodeStep::SeventhCharRefused) {
        std::fprintf(stderr, "show: %s; showing the category\n",
                     SeventhCharRefusal(LoadedData().CodeResolver(), LoadedData().CodeResolver().Resolve(codeText))
                         .FReason.c_str());
    } else if (codePlan.FStep == TGoToCodeStep::SubCategoryMissing) {
        std::fprintf(stderr, "show: %s: Code found but Sub-Category is not correct; showing the category\n",
                     codeText.c_str());
    }
    TCodeInfo* categoryNode = codePlan.FCategory;
    const std::string& tail = codePlan.FSubCode;

    TCodeTextPager pager;
    pager.FWordsPerLine = width;
    pager.FLinePerPage = linesPerPage;
    pager.ShowCodeAt(categoryNode, tail);
    if (page > 0) pager.ShowPage(page, false);

    const TRenderPlan& plan = pager.FLastPlan;
    std::printf("page %s, %zu lines, width %d, %d lines per page\n", pager.PageCounterText().c_str(),
                pager.FContentStringList.size(), width, linesPerPage);
    const int first = (pager.FCurPageIndex - 1) * linesPerPage;
    for (std::size_t index = 0; index < plan.LineStarts.size(); ++index) {
        const std::size_t line = static_cast<std::size_t>(first) + index;
        const bool underlined =
            plan.HasUnderline && plan.Underline.Start >= plan.LineStarts[index] &&
            (index + 1 == plan.LineStarts.size() || plan.Underline.Start < plan.LineStarts[index + 1]);
        std::printf("%c%c|%s\n", pager.FLineBoldFlagStr[line], underlined ? '_' : ' ',
                    U32ToUtf8(pager.FContentStringList[line]).c_str());
    }
    return 0;
}

}  // namespace

std::vector<TCliCommand> RenderCommands() {
    return {{"show", ShowUsage, RunShow}};
}
