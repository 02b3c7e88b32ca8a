// Code entry members of TfrmKeyWordSearch: the code box, Go, and the code copies.
// Minimal definitions so the window links; the code entry work replaces this file.
#include <QEvent>

#include "KeywordSearch.h"

bool TfrmKeyWordSearch::GoToCode(const QString& /*text*/, bool /*refillTree*/) { return false; }

void TfrmKeyWordSearch::ShowAvailableCodes(const QString& /*code*/, bool /*APlusDesc*/) {}

void TfrmKeyWordSearch::ResetCodeBox() {}

void TfrmKeyWordSearch::SetUpCodeBox() {}

bool TfrmKeyWordSearch::CodeBoxEvent(QEvent* /*event*/) { return false; }
