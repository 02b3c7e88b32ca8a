// Data pipeline operations used at build time and by the regenerate command.
#pragma once

#include <string>

// Reads a whole file; a name ending in ".gz" is gunzipped. Throws std::runtime_error on failure.
std::string ReadDataFile(const std::string& fileName);

// Writes the whole source file (plain or .gz) as one zlib stream at the highest level.
void CompressFile(const std::string& sourceFile, const std::string& targetFile);

// Writes the Tabular List with the "exception" attribute added to every seventh-character
// extension whose completions the order file does not list. Fails loudly (throws) when no
// position:character rule set explains the difference.
void WriteTabularWithExceptions(const std::string& tabularFile, const std::string& orderFile,
                                const std::string& outputFile);

// Rewrites every derived data file in outputDir from the published files in dataDir.
void RegenerateDerivedFiles(const std::string& dataDir, const std::string& outputDir);
