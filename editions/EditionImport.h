// Importing a published release at run time: the release's files are found (editions/
// ReleaseFiles.h), checked, and everything the program needs is derived from them exactly as the
// build derives the embedded edition (admin/DataPipeline.h), then written, compressed, into a
// staging folder beside the installed editions that is renamed into place only at the end. A
// failed, cancelled or interrupted import leaves the installed editions as they were.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "editions/Editions.h"
#include "editions/ReleaseFiles.h"
#include "services/Resources.h"

struct TImportProgress {
    int Step = 0;  // 1 .. StepCount
    int StepCount = 0;
    std::string What;  // "Deriving the seventh-character rules and the keyword set"
};

// Called before every step; returning false cancels the import there.
using TImportProgressHandler = std::function<bool(const TImportProgress&)>;

struct TImportOptions {
    bool ReplaceInstalled = false;  // an edition of the same id already installed is replaced
    TImportProgressHandler Progress;
    TReleaseLimits Limits;
};

enum class TImportStatus { Installed, AlreadyInstalled, Cancelled, Failed };

struct TImportResult {
    TImportStatus Status = TImportStatus::Failed;
    std::string Message;   // Failed: what went wrong, naming the file; AlreadyInstalled: which
    TEditionInfo Edition;  // Installed (and AlreadyInstalled: the edition the files hold)
};

// Imports the release in APaths (zip files, folders, files) into AEditionsRoot/<id>/. AProgram
// gives the keyword generator's lists (KeywordStopWords, KeywordAbbreviations). Never throws.
TImportResult ImportRelease(const std::vector<std::string>& APaths, const std::string& AEditionsRoot,
                            const TResourceProvider& AProgram, const TImportOptions& AOptions = {});
