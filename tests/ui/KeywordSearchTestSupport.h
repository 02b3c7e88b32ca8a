// Shared by the Tabular Search window tests: a category of the loaded data by its code, and the
// window shown and active, opened as its openers do.
#pragma once

#include <QTest>
#include <memory>

#include "model/CodeLookup.h"
#include "model/TabularData.h"
#include "services/DataSets.h"
#include "startup/LoadedData.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/KeywordSearch.h"

inline TCodeInfo* Category(const char* code) {
    TCodeInfo* category = FindNode(LoadedData().Tabular.Chapters, code);
    Q_ASSERT(category != nullptr);
    return category;
}

inline std::unique_ptr<TfrmKeyWordSearch> OpenWindow(TTabularObject object, TTabularOpening initType) {
    auto window = std::make_unique<TfrmKeyWordSearch>();
    window->FInitType = initType;
    window->FInitObject = object;
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
    return window;
}
