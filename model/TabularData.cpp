#include "model/TabularData.h"

TChapterList ChapterList;
std::atomic<std::uint64_t> TabularLoadCount{0};
TIntroduction Introduction;
