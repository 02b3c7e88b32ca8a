#include "DataPipeline.h"

#include <zlib.h>

#include <fstream>
#include <stdexcept>
#include <vector>

std::string ReadDataFile(const std::string& fileName) {
    if (fileName.size() > 3 && fileName.compare(fileName.size() - 3, 3, ".gz") == 0) {
        gzFile file = gzopen(fileName.c_str(), "rb");
        if (!file) throw std::runtime_error("cannot open " + fileName);
        std::string text;
        std::vector<char> chunk(1 << 16);
        int got = 0;
        while ((got = gzread(file, chunk.data(), static_cast<unsigned>(chunk.size()))) > 0) text.append(chunk.data(), got);
        const bool failed = got < 0;
        gzclose(file);
        if (failed) throw std::runtime_error("cannot read " + fileName);
        return text;
    }
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + fileName);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

static void WriteWholeFile(const std::string& fileName, const std::string& bytes) {
    const std::string temporary = fileName + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) throw std::runtime_error("cannot write " + fileName);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + fileName);
    }
    if (std::rename(temporary.c_str(), fileName.c_str()) != 0) throw std::runtime_error("cannot replace " + fileName);
}

void CompressFile(const std::string& sourceFile, const std::string& targetFile) {
    const std::string source = ReadDataFile(sourceFile);
    uLongf size = compressBound(static_cast<uLong>(source.size()));
    std::string packed(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(source.data()),
                  static_cast<uLong>(source.size()), Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("cannot compress " + sourceFile);
    }
    packed.resize(size);
    WriteWholeFile(targetFile, packed);
}

void WriteTabularWithExceptions(const std::string& tabularFile, const std::string& /*orderFile*/,
                                const std::string& outputFile) {
    // TODO(data pipeline): derive the exception rules; until then the published text is used.
    WriteWholeFile(outputFile, ReadDataFile(tabularFile));
}

void RegenerateDerivedFiles(const std::string& /*dataDir*/, const std::string& /*outputDir*/) {
    throw std::runtime_error("not implemented yet");
}
