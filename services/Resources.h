// The nine data resources carried inside the program: each one zlib stream (0x78 0xDA) whose
// inflated content is a CR LF text file. A provider finds a resource's compressed bytes by name;
// the start-up opens one stream per resource, and each loader takes its stream once, reads it
// through an inflating stream and releases it.
#pragma once

#include <zlib.h>

#include <array>
#include <cstddef>
#include <istream>
#include <memory>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

// Resource names in the order of the resource table (and of opening at start-up).
inline constexpr std::array<const char*, 9> ResourceNames = {"Tabular",      "DIndex",           "EIndex",
                                                             "TableOfDrugs", "TableOfNeoplasms", "SpecialKWs",
                                                             "Spellings",    "CodeKeywords",     "ShortDesc"};

struct TResourceBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

class TResourceProvider {
public:
    virtual ~TResourceProvider() = default;
    virtual std::optional<TResourceBytes> Find(std::string_view name) const = 0;
};

// A std::streambuf that inflates a zlib stream from memory while it is read. A damaged or
// truncated stream makes reads fail (badbit on the owning istream through the exception it
// raises is avoided: underflow simply reports end of data and Failed() tells why).
class TInflateStreamBuf : public std::streambuf {
public:
    explicit TInflateStreamBuf(TResourceBytes source);
    ~TInflateStreamBuf() override;
    TInflateStreamBuf(const TInflateStreamBuf&) = delete;
    TInflateStreamBuf& operator=(const TInflateStreamBuf&) = delete;

    // True when the zlib data was damaged or ended before the stream's end marker.
    bool Failed() const { return FFailed; }
    // Error text for Failed().
    const std::string& Error() const { return FError; }

protected:
    int_type underflow() override;

private:
    z_stream FZ{};
    std::vector<char> FBuffer;
    bool FEnded = false;
    bool FFailed = false;
    std::string FError;
};

// An opened resource: an istream over its inflated text. Destroying it releases both streams.
class TResourceStream : public std::istream {
public:
    explicit TResourceStream(TResourceBytes source);
    TInflateStreamBuf& Buffer() { return FBuf; }

private:
    TInflateStreamBuf FBuf;
};

// Inflates a whole resource into memory; throws std::runtime_error on damaged data.
std::string InflateAll(TResourceBytes source);

// Streams opened by the start-up, one per resource name. A loader takes its stream with
// TakeResourceStream (at most once per run: a second take returns null) and lets it go when done.
// OpenResourceStreams throws std::runtime_error naming the first resource the provider lacks.
void OpenResourceStreams(const TResourceProvider& provider);
std::unique_ptr<TResourceStream> TakeResourceStream(std::string_view name);
